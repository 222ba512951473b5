#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "LayoutFiles.h"
#include "TestSupport.h"
#include "ui/Interface.h"

namespace {

bool SameColour(const CColour& a, const CColour& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// Attack 5, defence 3, movement 4, fire range 1 to 4, no boosts.
CHudUnit Unit(const char* name, int team, int hitpoints, int maxHitpoints, bool headquarters = false) {
    return {name, team, hitpoints, maxHitpoints, 5, 3, 4, 1, 4, 0, 0, 0, 0, headquarters};
}

// The layout of LayoutFiles.h at 1024 x 768: text rows of the team-strength
// panel at y 44 and 27; the hover panel's head at y 160, hit points at 138,
// then every 17 pixels down, labels at x 734 and values at x 844.
constexpr int labelX = 734, valueX = 844, hitpointsY = 138, row = 17;

struct CTextAt {
    int         x, y;
    const char* text;
};

class HudPanelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.Write();
        hud                     = std::make_unique<CInterface>("Interface\\interface.xml", 1024, 768);
        state.units             = {Unit("Tank", 1, 800, 800), Unit("Base", 1, 200, 200, true), Unit("Jeep", 2, 0, 400),
                                   Unit("Gun", 2, -20, 400)};
        state.startHitpoints[0] = 1000;
        state.startHitpoints[1] = 800;
        state.maxHitpoints      = 800;
        state.options.showRenderInfo = false;
    }

    void Build() { hud->BuildDrawList(state, list); }
    // The texts drawn at (x, y), in order.
    std::vector<std::string> TextsAt(int x, int y) {
        std::vector<std::string> texts;
        for (size_t index = 0; index < list.GetCount(); ++index) {
            const CHudDrawItem& item = list.GetItem(index);
            if (item.kind == CHudDrawItem::textItem && item.x == x && item.y == y) {
                texts.emplace_back(item.text);
            }
        }
        return texts;
    }
    // Each text is the only one drawn at its place.
    void ExpectTexts(std::initializer_list<CTextAt> texts) {
        for (const CTextAt& text : texts) {
            EXPECT_EQ(TextsAt(text.x, text.y), std::vector<std::string>{text.text})
                << "at " << text.x << ", " << text.y;
        }
    }
    const CHudDrawItem* FindText(const char* text) {
        for (size_t index = 0; index < list.GetCount(); ++index) {
            if (list.GetItem(index).kind == CHudDrawItem::textItem && strcmp(list.GetItem(index).text, text) == 0) {
                return &list.GetItem(index);
            }
        }
        return nullptr;
    }
    // The bars (quads) whose bottom edge lies at y.
    std::vector<const CHudDrawItem*> BarsAt(int y) {
        std::vector<const CHudDrawItem*> bars;
        for (size_t index = 0; index < list.GetCount(); ++index) {
            const CHudDrawItem& item = list.GetItem(index);
            if (item.kind == CHudDrawItem::quadItem && item.corners[1][1] == y && item.corners[0][1] == y + 13) {
                bars.push_back(&item);
            }
        }
        return bars;
    }
    static int Length(const CHudDrawItem* bar) { return bar->corners[2][0] - bar->corners[1][0]; }

    CTempWorkDir                work;
    CLayoutFiles                files;
    std::unique_ptr<CInterface> hud;
    CHudState                   state;
    CHudDrawList                list;
};

TEST_F(HudPanelsTest, TeamStrengthBars) {
    Build();
    const CHitpointsPanel& panel = hud->GetLayout().hitpoints;
    // The stronger team at full strength: start, current bar exactly maxLength
    // in "from", and the headquarters' share in "to".
    const auto red = BarsAt(44);
    ASSERT_EQ(red.size(), 3u);
    EXPECT_EQ(red[0]->corners[1][0], 80);
    const CColour* colours[] = {&panel.start, &panel.from, &panel.to};
    for (int bar = 0; bar < 3; ++bar) {
        EXPECT_EQ(Length(red[bar]), bar < 2 ? 100 : 20) << "bar " << bar;
        EXPECT_TRUE(SameColour(red[bar]->colour, *colours[bar])) << "bar " << bar;
    }
    // A destroyed team shows only its starting strength.
    ASSERT_EQ(BarsAt(27).size(), 1u);
    EXPECT_EQ(Length(BarsAt(27)[0]), 80);

    // Half strength mixes the colours half way; lengths round half up.
    state.units[0].hitpoints = 300; // 300 + 200 of 1000
    state.units[2].hitpoints = 5;   // 0.5 pixel
    Build();
    EXPECT_FLOAT_EQ(BarsAt(44)[1]->colour.red, 0.5f);
    EXPECT_FLOAT_EQ(BarsAt(44)[1]->colour.green, 0.5f);
    EXPECT_EQ(Length(BarsAt(44)[1]), 50);
    ASSERT_EQ(BarsAt(27).size(), 2u);
    EXPECT_EQ(Length(BarsAt(27)[1]), 1);

    // No starting strength at all: no bars, no division by zero.
    state.startHitpoints[0] = state.startHitpoints[1] = 0;
    Build();
    EXPECT_TRUE(BarsAt(44).empty() && BarsAt(27).empty());
    ExpectTexts({{20, 44, "Red"}});
}

// Values no game gives (a bar far longer than the screen, a unit above the
// largest maximum) still make bars within the range of positions.
TEST_F(HudPanelsTest, ExtremeValuesStayInRange) {
    files.File("hoverunit").Set("maxlength", "2147483647");
    files.File("fontregular").Set("lineheight", "2147483647");
    files.Write();
    hud                      = std::make_unique<CInterface>("Interface\\interface.xml", 1024, 768);
    state.activeTile.unit    = 0;
    state.units[0].hitpoints = 2000000000;
    state.maxHitpoints       = 1;
    Build();
    for (size_t index = 0; index < list.GetCount(); ++index) {
        for (const auto& corner : list.GetItem(index).corners) {
            EXPECT_LE(corner[0], 2 * CInterfaceLayoutReader::maxPosition);
        }
    }
}

// The hover panel sees a selected unit that has moved on its current tile,
// not on the tile the grid still gives it.
TEST_F(HudPanelsTest, HoverPanelCorrectionsForAMovedUnit) {
    const struct {
        int         selected, tileUnit, activeX;
        const char* shown;
    } cases[] = {
        {0, -1, 7, "Tank (Red)"}, // its current tile, empty in the grid
        {0, 0, 3, "none"},        // its origin tile, which the grid still gives it
        {0, 0, 7, "Tank (Red)"},  // not moved yet: origin and current tile agree
        {0, 2, 3, "Jeep (Blue)"}, // another unit
        {-1, -1, 7, "none"},
    };
    for (const auto& test : cases) {
        state.selectedUnit    = test.selected;
        state.selectedX       = 7;
        state.selectedY       = 5;
        state.activeX         = test.activeX;
        state.activeY         = 5;
        state.activeTile.unit = test.tileUnit;
        Build();
        const std::string none = TextsAt(labelX, hitpointsY).empty() ? "" : TextsAt(labelX, hitpointsY)[0];
        const std::string name = TextsAt(valueX, 160).empty() ? none : TextsAt(valueX, 160)[0];
        EXPECT_EQ(name, test.shown) << "selected " << test.selected << ", tile unit " << test.tileUnit << ", pointer x "
                                    << test.activeX;
    }
}

TEST_F(HudPanelsTest, AttackAndBoostPreviews) {
    state.selectedUnit       = 0;
    state.activeTile.unit    = 2;
    state.units[2].hitpoints = 400;
    state.preview            = {CAttackPreview::attack, 0, 2, 50, 120, 750, 280};
    Build();
    // Each line names whose hit points it gives: the target's, then the selected unit's.
    ExpectTexts({{labelX, hitpointsY - 5 * row, "Blue Jeep"},
                 {valueX, hitpointsY - 5 * row, "400 - 120 = 280"},
                 {labelX, hitpointsY - 6 * row, "Red Tank"},
                 {valueX, hitpointsY - 6 * row, "800 - 50 = 750"}});
    // Bars of the unit's maximum over the largest maximum, of its hit points
    // after the shot, and of what the shot would take, in the "to" colour.
    const auto bars = BarsAt(hitpointsY);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_EQ(Length(bars[0]), 75);
    EXPECT_EQ(bars[2]->corners[1][0], valueX + 53);
    EXPECT_EQ(Length(bars[2]), 75 - 53);
    EXPECT_TRUE(SameColour(bars[2]->colour, hud->GetLayout().hoverUnit.to));

    // No negative hit points: a unit left with none is destroyed.
    state.preview.targetHitpointsAfter = -20;
    state.preview.damageToTarget       = 420;
    Build();
    ExpectTexts({{valueX, hitpointsY - 5 * row, "400 - 420: destroyed"}});

    // A preview for another unit than the one shown is not drawn.
    state.activeTile.unit = 3;
    Build();
    EXPECT_EQ(FindText("Blue Jeep"), nullptr);

    // A general's boost: each value it would change, before -> after, in
    // the "from" colour; a boost in force is replaced, not added to.
    state.activeTile.unit       = 1;
    state.units[1].boostDefense = 1;
    state.preview               = {CAttackPreview::boost, 0, 1, 0, 0, 0, 0, 2, 1, 0, 1};
    Build();
    ExpectTexts({{valueX, hitpointsY - row, "5 -> 7"},
                 {valueX, hitpointsY - 2 * row, "3 + 1"},
                 {valueX, hitpointsY - 3 * row, "4"},
                 {valueX, hitpointsY - 4 * row, "1 / 4 -> 1 / 5"},
                 {labelX, hitpointsY - 5 * row, "Boost given"}});
    ASSERT_NE(FindText("5 -> 7"), nullptr);
    EXPECT_TRUE(SameColour(FindText("5 -> 7")->colour, hud->GetLayout().hoverUnit.from));
}

// The end-turn label takes the current team's colour while hovered; the
// finished game has no team to move, no turn to end and no settings over the
// winner's box.
TEST_F(HudPanelsTest, EndTurnButtonAndFinishScreen) {
    state.options.showRenderInfo = true;
    state.options.renderMode     = renderBufferObjects;
    state.currentTeam            = 2;
    hud->UpdateHover(500, 50, 1024, 768);
    Build();
    ASSERT_NE(FindText("<< End turn >>"), nullptr);
    EXPECT_TRUE(SameColour(FindText("<< End turn >>")->colour, hud->GetLayout().endTurn.team2));
    for (const bool finished : {false, true}) {
        if (finished) {
            hud->SetFinished();
            Build();
        }
        for (const char* text : {"Blue to move", "<< End turn >>", "mode: vbo"}) {
            EXPECT_EQ(FindText(text) == nullptr, finished) << text;
        }
        for (const char* text : {"BLUE TEAM WINS", "<< Leave the Game >>"}) {
            EXPECT_EQ(FindText(text) != nullptr, finished) << text;
        }
    }
}

// Three lines per report however many units there are: units that no
// longer fit in a line of 511 characters are left out.
TEST_F(HudPanelsTest, DebugLinesAboutUnitsFitTheirLines) {
    std::vector<std::string> lines;
    const auto               record = [&lines](const char* line) { lines.emplace_back(line); };
    CInterface::ReportUnitUnderCursor(0, state, record);
    CInterface::ReportUnitUnderCursor(-1, state, record);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "Team 1:  0:800   1:200  ");
    EXPECT_EQ(lines[3], "No unit under mouse cursor");
    state.units.assign(100, Unit("Tank", 1, 1000, 1000));
    lines.clear();
    CInterface::ReportUnitUnderCursor(0, state, record);
    EXPECT_LE(lines[1].size(), 511u);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 10), " 50:1000  ");
}

} // namespace
