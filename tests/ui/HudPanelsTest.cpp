#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "LayoutFiles.h"
#include "TestSupport.h"
#include "ui/Interface.h"

namespace {

// Attack 5, defence 3, movement 4, fire range 1 to 4, no boosts.
CHudUnit Unit(const char* name, int team, int hitpoints, int maxHitpoints, bool headquarters = false) {
    return {name, team, hitpoints, maxHitpoints, 5, 3, 4, 1, 4, 0, 0, 0, 0, headquarters};
}

// LayoutFiles.h at 1024 x 768: the hover panel's head at y 160, hit points at
// 138, then every 17 pixels down, labels at x 734 and values at x 844.
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
    // The texts drawn at (x, y), in order; without a place, all texts.
    std::vector<std::string> TextsAt(int x = -1, int y = -1) {
        std::vector<std::string> texts;
        for (size_t index = 0; index < list.GetCount(); ++index) {
            const CHudDrawItem& item = list.GetItem(index);
            if (item.kind == CHudDrawItem::textItem && (x < 0 || (item.x == x && item.y == y))) {
                texts.emplace_back(item.text);
            }
        }
        return texts;
    }
    // Each text is the only one drawn at its place; nothing is drawn where the text is empty.
    void ExpectTexts(const std::vector<CTextAt>& texts) {
        for (const CTextAt& text : texts) {
            EXPECT_EQ(TextsAt(text.x, text.y),
                      *text.text ? std::vector<std::string>{text.text} : std::vector<std::string>{})
                << "at " << text.x << ", " << text.y;
        }
    }
    bool Drawn(const char* text) {
        const std::vector<std::string> texts = TextsAt();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    CTempWorkDir                work;
    CLayoutFiles                files;
    std::unique_ptr<CInterface> hud;
    CHudState                   state;
    CHudDrawList                list;
};

// Values no game gives (a bar longer than the screen, a unit above the largest
// maximum, no starting strength) still make bars within the range of positions.
TEST_F(HudPanelsTest, ExtremeValuesStayInRange) {
    files.File("hoverunit").Set("maxlength", "2147483647");
    files.File("fontregular").Set("lineheight", "2147483647");
    files.Write();
    hud                      = std::make_unique<CInterface>("Interface\\interface.xml", 1024, 768);
    state.activeTile.unit    = 0;
    state.units[0].hitpoints = 2000000000;
    state.maxHitpoints       = 1;
    for (const int start : {1000, 0}) { // 0: no team-strength bars, and no division by zero
        state.startHitpoints[0] = state.startHitpoints[1] = start;
        Build();
        for (size_t index = 0; index < list.GetCount(); ++index) {
            for (const auto& corner : list.GetItem(index).corners) {
                EXPECT_LE(corner[0], 2 * CInterfaceLayoutReader::maxPosition);
            }
        }
    }
}

// The hover panel sees a moved selected unit on its current tile, not where the
// grid still has it; it previews an attack (none below zero) or a boost (one in
// force is replaced) only for the unit shown. "": nothing is drawn there.
TEST_F(HudPanelsTest, HoverPanelCorrectionsAndPreviews) {
    const CAttackPreview attack{CAttackPreview::attack, 0, 2, 50, 120, 750, 280};
    const CAttackPreview boost{CAttackPreview::boost, 0, 1, 0, 0, 0, 0, 2, 1, 0, 1};
    const int y1 = hitpointsY - row, y2 = y1 - row, y3 = y2 - row, y4 = y3 - row, y5 = y4 - row, y6 = y5 - row;
    const struct {
        int                  selected, tileUnit, activeX;
        CAttackPreview       preview;
        std::vector<CTextAt> texts;
    } cases[] = {
        // clang-format off
        {0, -1, 7, {}, {{valueX, 160, "Tank (Red)"}}}, // its current tile, empty in the grid
        {0, 0, 3, {}, {{labelX, hitpointsY, "none"}, {valueX, 160, ""}}}, // its origin tile, still its own in the grid
        {0, 2, 3, attack, {{valueX, 160, "Jeep (Blue)"}, {labelX, y5, "Blue Jeep"}, {valueX, y5, "400 - 120 = 280"},
                           {labelX, y6, "Red Tank"}, {valueX, y6, "800 - 50 = 750"}}},
        {0, 2, 3, {CAttackPreview::attack, 0, 2, 50, 420, 750, -20}, {{valueX, y5, "400 - 420: destroyed"}}},
        {0, 3, 3, attack, {{labelX, y5, ""}, {labelX, y6, ""}}},
        {0, 1, 3, boost, {{valueX, y1, "5 -> 7"}, {valueX, y2, "3 + 1"}, {valueX, y3, "4"},
                          {valueX, y4, "1 / 4 -> 1 / 5"}, {labelX, y5, "Boost given"}}},
        // clang-format on
    };
    state.units[2].hitpoints    = 400;
    state.units[1].boostDefense = 1;
    for (const auto& test : cases) {
        SCOPED_TRACE("selected " + std::to_string(test.selected) + ", tile unit " + std::to_string(test.tileUnit) +
                     ", pointer x " + std::to_string(test.activeX));
        state.selectedUnit = test.selected;
        state.selectedX    = 7;
        state.activeX      = test.activeX;
        state.selectedY = state.activeY = 5;
        state.activeTile.unit           = test.tileUnit;
        state.preview                   = test.preview;
        Build();
        ExpectTexts(test.texts);
    }
}

// The finished game shows no team to move, no end turn, no settings over the box.
TEST_F(HudPanelsTest, EndTurnButtonAndFinishScreen) {
    state.options.showRenderInfo = true;
    state.options.renderMode     = renderBufferObjects;
    state.currentTeam            = 2;
    hud->UpdateHover(500, 50, 1024, 768);
    for (const bool finished : {false, true}) {
        if (finished) {
            hud->SetFinished();
        }
        Build();
        for (const char* text : {"Blue to move", "<< End turn >>", "mode: vbo"}) {
            EXPECT_NE(Drawn(text), finished) << text;
        }
        for (const char* text : {"BLUE TEAM WINS", "<< Leave the Game >>"}) {
            EXPECT_EQ(Drawn(text), finished) << text;
        }
    }
}

// Three lines per report: units that do not fit in 511 characters are left out.
TEST_F(HudPanelsTest, DebugLinesAboutUnitsFitTheirLines) {
    std::vector<std::string> lines;
    const auto               record = [&lines](const char* line) { lines.emplace_back(line); };
    CInterface::ReportUnitUnderCursor(0, state, record);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Team 1:  0:800   1:200  ");
    state.units.assign(100, Unit("Tank", 1, 1000, 1000));
    lines.clear();
    CInterface::ReportUnitUnderCursor(0, state, record);
    EXPECT_LE(lines[1].size(), 511u);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 10), " 50:1000  ");
}

} // namespace
