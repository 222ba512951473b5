// The 2D elements of the heads-up display as a list of quads and texts:
// what each panel shows and where, decided without GL.

#include <algorithm>
#include <cstring>

#include "ui/Interface.h"

namespace {

// Lengths are rounded half up, as (int)(value + 0.5), and kept within the
// range of positions.
int RoundedLength(double value) {
    const double limit = CInterfaceLayoutReader::maxPosition;
    return static_cast<int>(std::clamp(value, -limit, limit) + 0.5);
}

// The colour of a bar at `fraction` of full strength: "to" at 0, "from" at 1.
CColour BarColour(const CColour& from, const CColour& to, double fraction) {
    const auto mix = [fraction](float a, float b) { return static_cast<float>(b - (b - a) * fraction); };
    return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue), mix(from.alpha, to.alpha)};
}

// A bar from x0 to x0 + length, y to y + height; nothing for an empty bar.
void AddBar(CHudDrawList& list, const CColour& colour, int x0, int y, int length, int height) {
    if (length <= 0) {
        return;
    }
    const int corners[4][2] = {{x0, y + height}, {x0, y}, {x0 + length, y}, {x0 + length, y + height}};
    list.AddQuad(colour, corners);
}

const CHudUnit* UnitAt(const CHudState& state, int index) {
    return index >= 0 && static_cast<size_t>(index) < state.units.size() ? &state.units[static_cast<size_t>(index)]
                                                                         : nullptr;
}

// The unit the hover panel shows: the unit on the pointer tile, except that
// a selected unit that has moved is seen on its current tile and not on the
// tile the grid still gives it.
int HoveredUnit(const CHudState& state) {
    const bool onSelectedCell = state.activeX == state.selectedX && state.activeY == state.selectedY;
    const int  unit           = state.activeTile.unit;
    if (state.selectedUnit >= 0 && unit == -1 && onSelectedCell) {
        return state.selectedUnit;
    }
    if (state.selectedUnit >= 0 && unit == state.selectedUnit && !onSelectedCell) {
        return -1;
    }
    return unit;
}

const CColour& TeamColour(int team, const CColour& team1, const CColour& team2) {
    return team == 1 ? team1 : team2;
}

const char* TeamText(int team, const std::string& team1, const std::string& team2) {
    return team == 1 ? team1.c_str() : team2.c_str();
}

// The keys of the game, as the README lists them; a line without a key
// (null) heads a group, an empty key goes on with the one above.
const char* const helpLines[][2] = {
    {nullptr, "Playing"},
    {"Left click", "own unit: select it (or another ready one)"},
    {"", "in the orange area: drive there"},
    {"", "the unit itself, or Space: fire mode"},
    {"", "in the red ring: fire (a general: boost own unit)"},
    {"", "the unit in fire mode, or Enter: end its action"},
    {"Right click", "back to move mode; drive back and deselect"},
    {"Space, End turn", "end the turn (twice while units are ready)"},
    {nullptr, "Camera"},
    {"W, S, wheel", "zoom in and out"},
    {"Arrows, edges", "move across the map"},
    {"A, D, middle drag", "turn left and right"},
    {"R, F", "tilt up and down"},
    {"C, Home", "back to the team's own view"},
    {nullptr, "Other keys"},
    {"H, ?", "this help on and off"},
    {"F1 to F10", "render options (see the README)"},
    {"Escape", "quit"},
    {nullptr, "Replay"},
    {"P, T", "pause; take over and play on"},
    {", and .", "one command back, forward"},
    {"- and +", "slower, faster (1x to 8x)"},
    {"Page up, down", "jump to the start, the end"},
};

// Corners of a box from (left, lower) to (right, upper) in drawing order.
void AddBox(CHudDrawList& list, const CColour& colour, int left, int lower, int right, int upper) {
    const int corners[4][2] = {{left, upper}, {left, lower}, {right, lower}, {right, upper}};
    list.AddQuad(colour, corners);
}

} // namespace

void CInterface::BuildDrawList(const CHudState& state, CHudDrawList& list) const {
    list.Clear();
    AddBoxes(state, list);
    AddTerrainPanel(state, list);
    AddHitpointsPanel(state, list);
    AddUnitPanel(layout.selectedUnit, state.selectedUnit, state, false, list);
    AddUnitPanel(layout.hoverUnit, HoveredUnit(state), state, true, list);
    AddButtonsAndLines(state, list);
    // Once the game is over the winner's box stands alone: no team to move,
    // no turn to end, no render settings over it.
    if (finished) {
        AddFinishScreen(state, list);
    } else if (state.options.showRenderInfo) {
        AddRenderInfo(state, list);
    }
    if (!finished) {
        AddNotice(state, list);
    }
    if (state.showHelp) {
        AddHelp(list);
    }
    AddWaiting(state, list);
    AddReplayLine(state.replay, list);
}

// Centred below the top panels, on a dark backing as wide as the text.
void CInterface::AddNotice(const CHudState& state, CHudDrawList& list) const {
    if (state.notice == nullptr || state.notice[0] == '\0' || state.noticeAlpha <= 0.0f) {
        return;
    }
    const CFontDescription& font  = layout.fontHead.description;
    const int               width = static_cast<int>(std::strlen(state.notice)) * font.size * 11 / 20;
    const int               left  = screenWidth / 2 - width / 2;
    const int               y     = screenHeight - noticeTop;
    AddBox(list, {0.0f, 0.0f, 0.0f, 0.6f * state.noticeAlpha}, left - noticePadding, y - font.size / 2,
           left + width + noticePadding, y + font.size + noticePadding / 2);
    CColour text = font.colour;
    text.alpha *= state.noticeAlpha;
    list.AddText(HudFont::head, text, left, y, "%s", state.notice);
}

// In the middle of the screen, a line per '\n', on a dark backing: what a
// network game waits for covers the scene, which does not change meanwhile.
void CInterface::AddWaiting(const CHudState& state, CHudDrawList& list) const {
    if (state.waiting == nullptr || state.waiting[0] == '\0') {
        return;
    }
    std::vector<std::string> lines(1);
    for (const char* c = state.waiting; *c != '\0'; ++c) {
        if (*c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += *c;
        }
    }
    const CFontDescription& font    = layout.fontHead.description;
    const int               step    = font.lineHeight;
    size_t                  longest = 0;
    for (const std::string& line : lines) {
        longest = std::max(longest, line.size());
    }
    const int width = static_cast<int>(longest) * font.size * 11 / 20;
    const int left  = screenWidth / 2 - width / 2;
    const int upper = screenHeight / 2 + static_cast<int>(lines.size() + 1) * step / 2;
    AddBox(list, {0.0f, 0.0f, 0.0f, 0.8f}, left - noticePadding, upper - static_cast<int>(lines.size() + 1) * step,
           left + width + noticePadding, upper);
    int y = upper - step;
    for (const std::string& line : lines) {
        list.AddText(HudFont::head, font.colour, left, y, "%s", line.c_str());
        y -= step;
    }
}

void CInterface::AddHelp(CHudDrawList& list) const {
    const int      step  = layout.fontRegular.description.lineHeight;
    const int      count = static_cast<int>(sizeof helpLines / sizeof helpLines[0]);
    const int      left  = screenWidth / 2 - helpWidth / 2;
    const int      upper = screenHeight / 2 + (count + 1) * step / 2;
    const CColour& head  = layout.fontHead.description.colour;
    AddBox(list, {0.0f, 0.0f, 0.0f, 0.8f}, left, upper - (count + 1) * step, left + helpWidth, upper);
    int y = upper - step;
    for (const auto& line : helpLines) {
        if (line[0] == nullptr) {
            list.AddText(HudFont::head, head, left + noticePadding, y, "%s", line[1]);
        } else {
            list.AddText(HudFont::regular, head, left + noticePadding, y, "%s", line[0]);
            list.AddText(HudFont::regular, layout.fontRegular.description.colour, left + helpKeyWidth, y, "%s",
                         line[1]);
        }
        y -= step;
    }
}

// At the bottom between the panels, in the head font: a replay is never
// taken for a game.
void CInterface::AddReplayLine(const CHudReplay& replay, CHudDrawList& list) const {
    if (!replay.active) {
        return;
    }
    const CColour& colour = layout.fontHead.description.colour;
    const int      x      = screenWidth * 2 / 5;
    const int      y      = replayLineMargin + layout.fontHead.description.lineHeight;
    list.AddText(HudFont::head, colour, x, y, "replay %d / %d", replay.command, replay.total);
    list.AddText(HudFont::head, colour, x, replayLineMargin, "turn %d  %dx%s", replay.turn, replay.speed,
                 replay.paused ? "  paused" : "");
}

void CInterface::AddBoxes(const CHudState& state, CHudDrawList& list) const {
    for (const CHudBox& box : layout.boxes) {
        const int corners[4][2] = {{box.lowerRightX, box.lowerRightY},
                                   {box.lowerRightX, box.upperLeftY},
                                   {box.upperLeftX, box.upperLeftY},
                                   {box.upperLeftX, box.lowerRightY}};
        list.AddQuad(TeamColour(state.currentTeam, box.team1, box.team2), corners);
    }
}

void CInterface::AddTerrainPanel(const CHudState& state, CHudDrawList& list) const {
    const CTerrainPanel& panel   = layout.terrain;
    const CHudTile&      tile    = state.activeTile;
    const CColour&       head    = layout.fontHead.description.colour;
    const CColour&       regular = layout.fontRegular.description.colour;
    const int            step    = layout.fontRegular.description.lineHeight;
    list.AddText(HudFont::head, head, panel.posXLabels, panel.posY, "%s", panel.head.c_str());
    list.AddText(HudFont::regular, regular, panel.posXValues, panel.posY, "%s",
                 tile.terrainName != nullptr ? tile.terrainName : "");
    int y = panel.posY - layout.fontHead.description.lineHeight;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.attack.c_str());
    list.AddText(HudFont::regular, regular, panel.posXValues, y, "%.1f", tile.terrainAttack);
    y -= step;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.defense.c_str());
    list.AddText(HudFont::regular, regular, panel.posXValues, y, "%.1f", tile.terrainDefense);
    y -= step;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.movement.c_str());
    list.AddText(HudFont::regular, regular, panel.posXValues, y, "%.1f", tile.terrainMovement);
    y -= step;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.slope.c_str());
    list.AddText(HudFont::regular, regular, panel.posXValues, y, "%d", tile.slopeDegrees);
    y -= step;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.height.c_str());
    list.AddText(HudFont::regular, regular, panel.posXValues, y, "%.1f", tile.height);
}

// Per team: the starting strength, over it the living units' hit points in
// a colour from "from" (at the stronger team's start) to "to", over it the
// headquarters' share in "to". Without any starting strength no bar is drawn.
void CInterface::AddHitpointsPanel(const CHudState& state, CHudDrawList& list) const {
    const CHitpointsPanel& panel   = layout.hitpoints;
    const CColour&         regular = layout.fontRegular.description.colour;
    const int              height  = layout.fontRegular.description.size;
    list.AddText(HudFont::head, layout.fontHead.description.colour, panel.posXLabels, panel.posY, "%s",
                 panel.head.c_str());
    const int most = std::max(state.startHitpoints[0], state.startHitpoints[1]);
    int       y    = panel.posY - layout.fontHead.description.lineHeight;
    for (int team = 1; team <= 2; ++team) {
        list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", TeamText(team, panel.team1, panel.team2));
        if (most > 0) {
            long long living = 0, headquarters = 0;
            for (const CHudUnit& unit : state.units) {
                if (unit.team == team && unit.hitpoints > 0) {
                    living += unit.hitpoints;
                    headquarters += unit.isHeadquarter ? unit.hitpoints : 0;
                }
            }
            const double scale = static_cast<double>(panel.maxLength) / most;
            AddBar(list, panel.start, panel.posXValues, y, RoundedLength(state.startHitpoints[team - 1] * scale),
                   height);
            AddBar(list, BarColour(panel.from, panel.to, static_cast<double>(living) / most), panel.posXValues, y,
                   RoundedLength(living * scale), height);
            AddBar(list, panel.to, panel.posXValues, y, RoundedLength(headquarters * scale), height);
        }
        y -= layout.fontRegular.description.lineHeight;
    }
}

void CInterface::AddUnitPanel(const CUnitPanel& panel, int index, const CHudState& state, bool hover,
                              CHudDrawList& list) const {
    const CColour& regular = layout.fontRegular.description.colour;
    list.AddText(HudFont::head, layout.fontHead.description.colour, panel.posXLabels, panel.posY, "%s",
                 panel.head.c_str());
    int             y    = panel.posY - layout.fontHead.description.lineHeight;
    const CHudUnit* unit = UnitAt(state, index);
    if (unit == nullptr) {
        list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.none.c_str());
        return;
    }
    list.AddText(HudFont::regular, regular, panel.posXValues, panel.posY, "%s (%s)",
                 unit->name != nullptr ? unit->name : "", TeamText(unit->team, panel.team1, panel.team2));

    const CAttackPreview& preview   = state.preview;
    const bool            previewed = hover && preview.kind != CAttackPreview::none && preview.target == index &&
                           preview.attacker == state.selectedUnit && UnitAt(state, preview.attacker) != nullptr;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.hitpoints.c_str());
    if (state.maxHitpoints > 0) {
        const double scale   = static_cast<double>(panel.maxLength) / state.maxHitpoints;
        const int    current = std::max(unit->hitpoints, 0);
        const int    height  = layout.fontRegular.description.size;
        AddBar(list, panel.start, panel.posXValues, y, RoundedLength(unit->maxHitpoints * scale), height);
        AddBar(list, BarColour(panel.from, panel.to, static_cast<double>(current) / state.maxHitpoints),
               panel.posXValues, y, RoundedLength(current * scale), height);
        if (previewed && preview.kind == CAttackPreview::attack) {
            // The hit points the shot would take, in the "to" colour.
            const int left = RoundedLength(std::max(preview.targetHitpointsAfter, 0) * scale);
            AddBar(list, panel.to, panel.posXValues + left, y, RoundedLength(current * scale) - left, height);
        }
    }
    const bool boost = previewed && preview.kind == CAttackPreview::boost;
    AddUnitStats(panel, *unit, boost ? &preview : nullptr, y, list);
    y -= 4 * layout.fontRegular.description.lineHeight;
    if (previewed && preview.kind == CAttackPreview::attack) {
        AddAttackPreview(panel, *unit, state, y, list);
    } else if (boost) {
        y -= layout.fontRegular.description.lineHeight;
        list.AddText(HudFont::regular, panel.from, panel.posXLabels, y, "%s", panel.boost.c_str());
    }
}

// Attack, defence, movement and fire range with the boosts in force; for a
// boost preview, each value that the boost would change as before -> after
// (in the "from" colour). Boosts are set, not added: after is the base value
// plus the boost given.
void CInterface::AddUnitStats(const CUnitPanel& panel, const CHudUnit& unit, const CAttackPreview* boost, int y,
                              CHudDrawList& list) const {
    const CColour& colour = boost != nullptr ? panel.from : layout.fontRegular.description.colour;
    const CColour& labels = layout.fontRegular.description.colour;
    const int      step   = layout.fontRegular.description.lineHeight;
    const struct {
        const std::string& label;
        int                value;
        int                inForce;
        int                given;
    } stats[] = {
        {panel.attack, unit.attack, unit.boostAttack, boost != nullptr ? boost->boostAttack : 0},
        {panel.defense, unit.defense, unit.boostDefense, boost != nullptr ? boost->boostDefense : 0},
        {panel.movement, unit.movement, unit.boostMovement, boost != nullptr ? boost->boostMovement : 0},
        {panel.firerange, unit.fireMax, unit.boostFirerange, boost != nullptr ? boost->boostFirerange : 0},
    };
    for (const auto& stat : stats) {
        y -= step;
        list.AddText(HudFont::regular, labels, panel.posXLabels, y, "%s", stat.label.c_str());
        const long long before  = static_cast<long long>(stat.value) + stat.inForce;
        const long long after   = static_cast<long long>(stat.value) + stat.given;
        const bool      isRange = &stat.label == &panel.firerange;
        if (boost != nullptr && after != before) {
            if (isRange) {
                list.AddText(HudFont::regular, colour, panel.posXValues, y, "%d / %lld -> %d / %lld", unit.fireMin,
                             before, unit.fireMin, after);
            } else {
                list.AddText(HudFont::regular, colour, panel.posXValues, y, "%lld -> %lld", before, after);
            }
        } else if (isRange) {
            if (stat.inForce != 0) {
                list.AddText(HudFont::regular, colour, panel.posXValues, y, "%d / %d + %d", unit.fireMin, stat.value,
                             stat.inForce);
            } else {
                list.AddText(HudFont::regular, colour, panel.posXValues, y, "%d / %d", unit.fireMin, stat.value);
            }
        } else if (stat.inForce != 0) {
            list.AddText(HudFont::regular, colour, panel.posXValues, y, "%d + %d", stat.value, stat.inForce);
        } else {
            list.AddText(HudFont::regular, colour, panel.posXValues, y, "%d", stat.value);
        }
    }
}

// One line of an attack preview: whose hit points (team and name), then
// hit points - damage = what is left, or "destroyed" when nothing is.
void CInterface::AddHitpointsLine(const CUnitPanel& panel, const CHudUnit& unit, int damage, int after, int y,
                                  CHudDrawList& list) const {
    const CColour& regular = layout.fontRegular.description.colour;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s %s", TeamText(unit.team, panel.team1, panel.team2),
                 unit.name != nullptr ? unit.name : "");
    if (after > 0) {
        list.AddText(HudFont::regular, regular, panel.posXValues, y, "%d - %d = %d", unit.hitpoints, damage, after);
    } else {
        list.AddText(HudFont::regular, panel.to, panel.posXValues, y, "%d - %d: destroyed", unit.hitpoints, damage);
    }
}

// Two lines: the target's hit points, the damage dealt and what is left;
// then the same for the selected unit from the return fire.
void CInterface::AddAttackPreview(const CUnitPanel& panel, const CHudUnit& target, const CHudState& state, int y,
                                  CHudDrawList& list) const {
    const int             step     = layout.fontRegular.description.lineHeight;
    const CAttackPreview& preview  = state.preview;
    const CHudUnit&       attacker = *UnitAt(state, preview.attacker);
    y -= step;
    AddHitpointsLine(panel, target, preview.damageToTarget, preview.targetHitpointsAfter, y, list);
    y -= step;
    AddHitpointsLine(panel, attacker, preview.damageToAttacker, preview.attackerHitpointsAfter, y, list);
}

// The current-team line and the end-turn button's label while the game
// runs, and the frame rate.
void CInterface::AddButtonsAndLines(const CHudState& state, CHudDrawList& list) const {
    const CColour&   head = layout.fontHead.description.colour;
    const CTeamLine& team = layout.currentTeam;
    if (!finished) {
        list.AddText(HudFont::head, head, team.posXLabels, team.posY, "%s%s",
                     TeamText(state.currentTeam, team.team1, team.team2), team.head.c_str());
        const CEndTurnButton& button = layout.endTurn;
        if (state.otherSeat != nullptr) {
            // Another seat ends its own turns: the button's place says who plays.
            list.AddText(HudFont::regular, head, team.posXLabels, button.labelY, "%s", state.otherSeat);
        } else {
            list.AddText(HudFont::head,
                         endTurnHovered ? TeamColour(state.currentTeam, button.team1, button.team2) : head,
                         button.labelX, button.labelY, "<< %s >>", button.label.c_str());
        }
    }
    if (state.options.showFramerate) {
        list.AddText(HudFont::regular, layout.fontRegular.description.colour, layout.fps.posXLabels, layout.fps.posY,
                     "%s%.3f", layout.fps.label.c_str(), state.framesPerSecond);
    }
}

// The winner is the current team.
void CInterface::AddFinishScreen(const CHudState& state, CHudDrawList& list) const {
    const CFinishScreen& screen        = layout.finish;
    const CHudRect&      box           = screen.box;
    const int            corners[4][2] = {{box.upperLeftX, box.upperLeftY},
                                          {box.upperLeftX, box.lowerRightY},
                                          {box.lowerRightX, box.lowerRightY},
                                          {box.lowerRightX, box.upperLeftY}};
    list.AddQuad(TeamColour(state.currentTeam, screen.boxTeam1, screen.boxTeam2), corners);
    list.AddText(HudFont::finish, layout.fontFinish.description.colour, screen.headX, screen.headY, "%s%s",
                 TeamText(state.currentTeam, screen.team1, screen.team2), screen.head.c_str());
    const CColour& label = finishButtonHovered ? TeamColour(state.currentTeam, screen.buttonTeam1, screen.buttonTeam2)
                                               : layout.fontHead.description.colour;
    list.AddText(HudFont::head, label, screen.labelX, screen.labelY, "<< %s >>", screen.label.c_str());
}

void CInterface::AddRenderInfo(const CHudState& state, CHudDrawList& list) const {
    const CRenderInfoPanel& panel   = layout.renderInfo;
    const CAppOptions&      options = state.options;
    const auto              onOff   = [&panel](bool on) { return on ? panel.on.c_str() : panel.off.c_str(); };
    const char* const       mipmap  = options.mipmapMode == mipmapOff        ? panel.off.c_str()
                                      : options.mipmapMode == mipmapBilinear ? panel.bilinear.c_str()
                                                                             : panel.trilinear.c_str();
    const char* const       mode    = options.renderMode == renderBufferObjects  ? panel.vbo.c_str()
                                      : options.renderMode == renderVertexArrays ? panel.vertexArray.c_str()
                                                                                 : panel.immediate.c_str();
    const std::pair<const std::string&, const char*> lines[] = {
        {panel.fps, onOff(options.showFramerate)},
        {panel.wireframe, onOff(options.wireframe)},
        {panel.filter, options.textureFilter == textureFilterNearest ? panel.nearest.c_str() : panel.linear.c_str()},
        {panel.mipmap, mipmap},
        {panel.mode, mode},
        {panel.displayList, onOff(options.displayLists)},
        {panel.culling, onOff(options.frustumCulling)},
        {panel.transparency, onOff(options.transparency)},
        {panel.lod, onOff(options.levelOfDetail)},
    };
    const CColour& regular = layout.fontRegular.description.colour;
    const int      step    = layout.fontRegular.description.lineHeight;
    int            y       = panel.posY;
    list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s", panel.head.c_str());
    for (const auto& line : lines) {
        y -= step;
        list.AddText(HudFont::regular, regular, panel.posXLabels, y, "%s%s", line.first.c_str(), line.second);
    }
}
