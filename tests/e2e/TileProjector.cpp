// Where tiles and the display's parts appear in the game's window, for the end-to-end scripts (in the data folder).
// "--team N width height": "x y windowX windowY" for each usable tile away from the edges at team N's view;
// "--hud width height": "name x0 y0 x1 y1" of endturn, preview, finishbox, finishbutton and notice.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/Camera.h"
#include "core/PropertyFile.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "view/BattleView.h"
#include "view/TeamView.h"
#include "ui/Interface.h"

namespace {

constexpr float startHeightAboveGround = 450.0f;
constexpr float fieldOfViewDegrees     = 45.0f;
constexpr float nearPlane              = 1.0f;
constexpr float farPlane               = 8000.0f;
constexpr int   margin                 = 60;

// Window pixel (origin top left) of a world point; false outside the depth range.
bool Project(const CCamera& camera, int width, int height, const CVector3& point, float& windowX, float& windowY) {
    const CVector3 forward = Normalize(camera.GetCenter() - camera.GetEye());
    const CVector3 side    = Normalize(Cross(forward, CVector3(0.0f, 1.0f, 0.0f)));
    const CVector3 d       = point - camera.GetEye();
    const float    depth   = Dot(d, forward);
    if (depth < nearPlane || depth > farPlane) {
        return false;
    }
    const float focal  = 1.0f / std::tan(fieldOfViewDegrees * static_cast<float>(M_PI) / 360.0f);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    windowX            = (focal / aspect * Dot(d, side) / depth + 1.0f) * 0.5f * static_cast<float>(width);
    windowY = static_cast<float>(height) * (1.0f - (focal * Dot(d, Cross(side, forward)) / depth + 1.0f) * 0.5f);
    return true;
}

// A display rectangle (rows counted up from the bottom) in window rows counted down from the top.
void PrintRect(const char* name, int left, int upper, int right, int lower, int height) {
    printf("%s %d %d %d %d\n", name, left, height - upper, right, height - lower);
}
void PrintRect(const char* name, const CHudRect& rect, int height) {
    PrintRect(name, rect.upperLeftX, rect.upperLeftY, rect.lowerRightX, rect.lowerRightY, height);
}

// The rectangle of the texts of `with` that `without` lacks: to `valueWidth` past the last one's start,
// a line height above the highest baseline, a quarter of it below the lowest.
bool AddedTexts(const CHudDrawList& with, const CHudDrawList& without, int lineHeight, int valueWidth, int& left,
                int& upper, int& right, int& lower) {
    left = lower = INT_MAX;
    right = upper = INT_MIN;
    for (size_t index = 0; index < with.GetCount(); ++index) {
        const CHudDrawItem& item  = with.GetItem(index);
        bool                known = item.kind != CHudDrawItem::textItem;
        for (size_t other = 0; !known && other < without.GetCount(); ++other) {
            const CHudDrawItem& was = without.GetItem(other);
            known = was.kind == item.kind && was.x == item.x && was.y == item.y && strcmp(was.text, item.text) == 0;
        }
        if (!known) {
            left  = std::min(left, item.x);
            right = std::max(right, item.x + valueWidth);
            upper = std::max(upper, item.y + lineHeight);
            lower = std::min(lower, item.y - lineHeight / 4);
        }
    }
    return left != INT_MAX;
}

int PrintHud(int width, int height) {
    const CInterface        hud("Interface\\interface.xml", width, height);
    const CInterfaceLayout& layout = hud.GetLayout();
    if (layout.endTurn.label.empty() || layout.finish.label.empty()) {
        fprintf(stderr, "ridgeline-tile-projector: no interface files here\n");
        return 1;
    }
    PrintRect("endturn", layout.endTurn.button, height);

    // Unit 0 of team 1 selected, unit 1 of team 2 under the pointer: with and without the shot's preview.
    CHudState state;
    state.units.resize(2);
    state.units[0].team      = 1;
    state.units[1].team      = 2;
    state.units[0].hitpoints = state.units[0].maxHitpoints = 1000;
    state.units[1].hitpoints = state.units[1].maxHitpoints = 40;
    state.maxHitpoints                                     = 1000;
    state.selectedUnit                                     = 0;
    state.selectedX = state.selectedY = 1;
    state.activeX = state.activeY = 2;
    state.activeTile.unit         = 1;
    CHudDrawList without, with;
    hud.BuildDrawList(state, without);
    state.preview.kind                   = CAttackPreview::attack;
    state.preview.attacker               = 0;
    state.preview.target                 = 1;
    state.preview.damageToTarget         = 60;
    state.preview.targetHitpointsAfter   = -20;
    state.preview.attackerHitpointsAfter = 1000;
    hud.BuildDrawList(state, with);
    const int fontSize = layout.fontRegular.description.size;
    int       left = 0, upper = 0, right = 0, lower = 0;
    if (!AddedTexts(with, without, fontSize, 4 * fontSize, left, upper, right, lower)) {
        fprintf(stderr, "ridgeline-tile-projector: the display shows no attack preview\n");
        return 1;
    }
    PrintRect("preview", left, upper, right, lower, height);

    PrintRect("finishbox", layout.finish.box, height);
    PrintRect("finishbutton", layout.finish.button, height);
    const int noticeY = height - CInterface::noticeTop, size = layout.fontHead.description.size;
    PrintRect("notice", width / 2 - 120, noticeY + size, width / 2 + 120, noticeY - size / 4, height);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool hud    = argc == 4 && strcmp(argv[1], "--hud") == 0;
    const int  team   = argc == 5 && strcmp(argv[1], "--team") == 0 ? atoi(argv[2]) : 0;
    const int  width  = argc >= 4 ? atoi(argv[argc - 2]) : 0;
    const int  height = argc >= 4 ? atoi(argv[argc - 1]) : 0;
    if (width <= 0 || height <= 0 || (!hud && team == 0)) {
        fprintf(stderr, "usage: ridgeline-tile-projector --hud | --team N, then width height\n");
        return 2;
    }
    if (hud) {
        return PrintHud(width, height);
    }
    CPropertyFile parameters("TestLevel\\Terrain\\ter_params.ini");
    std::string   error;
    const auto    match = CMatch::LoadLevel("TestLevel", 0, error);
    CVector3      eye, center;
    if (!parameters.LoadProperties() || !match || !CTeamView::Of(*match, team, eye, center)) {
        fprintf(stderr, "ridgeline-tile-projector: team %d has no view of TestLevel here: %s\n", team, error.c_str());
        return 1;
    }
    const CHeightmap    heightmap("TestLevel\\Terrain\\ter_heightmap.bmp", parameters.GetFloatProperty("maxwidth"),
                                  parameters.GetFloatProperty("maxheight"));
    const CGridManager& grid = match->GetBoard();
    CCamera             camera(&heightmap, startHeightAboveGround);
    camera.SetPosition(eye, center, CVector3(0.0f, 1.0f, 0.0f));
    camera.SetHeightAboveGround(startHeightAboveGround);
    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            float worldX = 0.0f, worldZ = 0.0f, windowX = 0.0f, windowY = 0.0f;
            grid.GetTileCentre(x, y, worldX, worldZ);
            const CVector3 ground(worldX, heightmap.HeightAt(worldX, worldZ), worldZ);
            if (!Project(camera, width, height, ground, windowX, windowY)) {
                continue;
            }
            const int px = static_cast<int>(std::lround(windowX)), py = static_cast<int>(std::lround(windowY));
            if (grid.IsTileUsable(x, y) && px >= margin && py >= margin && px <= width - margin &&
                py <= height - margin) {
                printf("%d %d %d %d\n", x, y, px, py);
            }
        }
    }
    return 0;
}
