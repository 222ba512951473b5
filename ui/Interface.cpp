#include "ui/Interface.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// Both bounds are inclusive; the rectangle's corners count upwards from the
// bottom edge, the mouse downwards from the top edge.
bool IsOver(const CHudRect& rect, int screenHeight, int mouseX, int mouseY) {
    return rect.upperLeftX <= mouseX && mouseX <= rect.lowerRightX && screenHeight - rect.upperLeftY <= mouseY &&
           mouseY <= screenHeight - rect.lowerRightY;
}

// The layout coordinate under the centre of window pixel `pixel`, the
// window's `windowSize` pixels showing `layoutSize` layout units. A window
// of no size (not yet known) is taken as the layout's own.
int ToLayout(int pixel, int windowSize, int layoutSize) {
    if (windowSize <= 0 || windowSize == layoutSize) {
        return pixel;
    }
    const long long scaled = (2LL * pixel + 1) * layoutSize / (2LL * windowSize);
    return static_cast<int>(std::clamp<long long>(scaled, INT_MIN, INT_MAX));
}

// Appends to a debug line when the whole text fits.
void AppendIfRoom(char (&line)[CInterface::debugLineSize], size_t& length, const char* format, int index,
                  int hitpoints) {
    char      piece[64];
    const int pieceLength = snprintf(piece, sizeof piece, format, index, hitpoints);
    if (pieceLength > 0 && length + static_cast<size_t>(pieceLength) < sizeof line) {
        memcpy(line + length, piece, static_cast<size_t>(pieceLength) + 1);
        length += static_cast<size_t>(pieceLength);
    }
}

} // namespace

CInterface::CInterface(const char* indexPath, int screenWidth, int screenHeight)
    : screenWidth(screenWidth), screenHeight(screenHeight) {
    CInterfaceLayoutReader(screenWidth, screenHeight).Load(indexPath, layout);
    fontRegular.SetDescription(layout.fontRegular.description);
    fontHead.SetDescription(layout.fontHead.description);
    fontFinish.SetDescription(layout.fontFinish.description);
    font3d.SetDescription(layout.font3d.description);
}

int CInterface::ResolveX(const char* position, const char* alignment) const {
    return CInterfaceLayoutReader(screenWidth, screenHeight).ResolveX(position, alignment);
}

int CInterface::ResolveY(const char* position, const char* alignment) const {
    return CInterfaceLayoutReader(screenWidth, screenHeight).ResolveY(position, alignment);
}

void CInterface::UpdateHover(int mouseX, int mouseY, int windowWidth, int windowHeight) {
    const int x = ToLayout(mouseX, windowWidth, screenWidth);
    const int y = ToLayout(mouseY, windowHeight, screenHeight);
    if (finished) {
        finishButtonHovered = IsOver(layout.finish.button, screenHeight, x, y);
    } else {
        endTurnHovered = IsOver(layout.endTurn.button, screenHeight, x, y);
    }
}

bool CInterface::ShowMessage(int kind, int currentTeam) {
    if (IsMessageRunning()) {
        return false;
    }
    switch (kind) {
    case messageGoodAttack:
        message.Start(CMessageAnimation::goodAttack, layout.messages.goodAttack);
        goodAttackMessageRunning = true;
        break;
    case messageWeakAttack:
        message.Start(CMessageAnimation::weakAttack, layout.messages.weakAttack);
        weakAttackMessageRunning = true;
        break;
    case messageTurn:
        message.Start(CMessageAnimation::turn,
                      currentTeam == 1 ? layout.messages.turnTeam1 : layout.messages.turnTeam2);
        turnMessageRunning = true;
        break;
    default:
        break;
    }
    return true;
}

const CFont& CInterface::GetFont(HudFont font) const {
    switch (font) {
    case HudFont::head:
        return fontHead;
    case HudFont::finish:
        return fontFinish;
    case HudFont::regular:
        break;
    }
    return fontRegular;
}

void CInterface::ReportUnitUnderCursor(int unit, const CHudState& state,
                                       const std::function<void(const char*)>& addLine) {
    char         line[debugLineSize];
    const size_t count = state.units.size();
    if (unit >= 0 && static_cast<size_t>(unit) < count) {
        const CHudUnit& shown = state.units[static_cast<size_t>(unit)];
        snprintf(line, sizeof line,
                 "Unit %d (%s): %d Hitpoints, %d Attackpoints, %d Defensepoints, %d MaxFireRange, %d MinFireRange",
                 unit, shown.name != nullptr ? shown.name : "", shown.hitpoints, shown.attack, shown.defense,
                 shown.fireMax, shown.fireMin);
    } else {
        snprintf(line, sizeof line, "No unit under mouse cursor");
    }
    addLine(line);
    for (int team = 1; team <= 2; ++team) {
        size_t length = static_cast<size_t>(snprintf(line, sizeof line, "Team %d: ", team));
        for (size_t index = 0; index < count; ++index) {
            if (state.units[index].team == team) {
                AppendIfRoom(line, length, " %d:%d  ", static_cast<int>(index), state.units[index].hitpoints);
            }
        }
        addLine(line);
    }
}
