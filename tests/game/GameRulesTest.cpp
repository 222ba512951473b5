#include <gtest/gtest.h>

#include "RulesBoard.h"

namespace {

using namespace RulesBoard;

// Team 1 (current) has two tanks, team 2 one; both have a headquarters.
class TurnFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnitTraits hq;
        hq.hq       = true;
        hq.movement = 0;
        hq1         = b.AddUnit(hq, 1, 0, 0);
        hq2         = b.AddUnit(hq, 2, 31, 31);
        first       = b.AddUnit(UnitTraits(), 1, 5, 5);
        second      = b.AddUnit(UnitTraits(), 1, 8, 5);
        enemy       = b.AddUnit(UnitTraits(), 2, 20, 20);
    }

    int    hq1 = -1, hq2 = -1, first = -1, second = -1, enemy = -1;
    CBoard b;
};

TEST_F(TurnFlowTest, AUnitActsOncePerTurn) {
    for (const int outside : {-1, 32, -2147483647 - 1, 2147483647}) {
        b.Click(outside, 5); // commands from a stream may name any tile
        b.Click(5, outside);
    }
    b.Click(20, 20);
    EXPECT_EQ(b.rules->GetSelectedUnit(), -1) << "not the current team's unit";
    b.Click(5, 5);
    EXPECT_EQ(b.rules->GetSelectedUnit(), first);
    EXPECT_EQ(b.rules->GetUnitMode(), CGameRules::unitModeMove);
    EXPECT_EQ(b.rules->GetSelection().moveArea.GetCount(), 2 * 5 * 6 + 1 - 1)
        << "the diamond less the other tank's tile";
    EXPECT_FALSE(b.Enter().turnStarted);
    EXPECT_TRUE(b.units->IsDone(first));
    EXPECT_EQ(b.rules->GetSelectedUnit(), -1);
    b.Click(5, 5);
    EXPECT_EQ(b.rules->GetSelectedUnit(), -1) << "done for this turn";
}

TEST_F(TurnFlowTest, AMoveIsTentativeUntilTheActionEnds) {
    b.Click(5, 5);
    b.Click(7, 7);
    EXPECT_TRUE(b.units->IsMoving(first)) << "moving from the order on";
    b.Space();
    EXPECT_EQ(b.rules->GetUnitMode(), CGameRules::unitModeMove) << "a moving unit takes no command";
    ASSERT_TRUE(b.Settle());
    EXPECT_EQ(b.Unit(first).tileX, 7);
    EXPECT_EQ(b.grid->GetTile(5, 5).unit, first) << "the grid keeps the origin";
    EXPECT_EQ(b.grid->GetTile(7, 7).unit, -1);
    EXPECT_EQ(b.rules->GetSelection().moveArea.GetCount(), 60) << "the same area around the origin";

    b.Click(8, 8); // elsewhere within the area
    ASSERT_TRUE(b.Settle());
    b.Cancel(); // walks back and can act again
    ASSERT_TRUE(b.Settle());
    EXPECT_EQ(b.Unit(first).tileX, 5);
    EXPECT_EQ(b.Unit(first).tileY, 5);
    EXPECT_FLOAT_EQ(b.Unit(first).worldX, 5.5f * tileSize);
    EXPECT_FALSE(b.units->IsDone(first));
    EXPECT_EQ(b.rules->GetSelectedUnit(), -1);

    b.Click(5, 5);
    b.Click(6, 7);
    ASSERT_TRUE(b.Settle());
    b.Click(6, 7); // its current tile: fire mode
    EXPECT_EQ(b.rules->GetUnitMode(), CGameRules::unitModeFire);
    b.Cancel();
    EXPECT_EQ(b.rules->GetUnitMode(), CGameRules::unitModeMove);
    b.Enter();
    EXPECT_EQ(b.grid->GetTile(5, 5).unit, -1);
    EXPECT_EQ(b.grid->GetTile(6, 7).unit, first) << "committed";
}

TEST_F(TurnFlowTest, TheTurnPassesWhenNoUnitIsReady) {
    b.Click(5, 5);
    b.Enter();
    b.Click(8, 5);
    b.Space();
    const CCommandOutcome outcome = b.Click(8, 5); // its own tile in fire mode finishes it
    EXPECT_TRUE(outcome.turnStarted);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 2);
    EXPECT_FALSE(b.units->IsDone(first)) << "ready again for team 1's next turn";
    b.Click(31, 31); // a headquarters may act, but never counts as ready
    EXPECT_EQ(b.rules->GetSelectedUnit(), hq2);
    EXPECT_EQ(b.rules->GetSelection().moveArea.GetCount(), 1);
    b.Click(31, 31);
    EXPECT_EQ(b.rules->GetUnitMode(), CGameRules::unitModeFire) << "movement 0: a click on itself fires";
    EXPECT_FALSE(b.Click(31, 31).turnStarted) << "team 2's tank is still ready";
    b.Click(20, 20);
    EXPECT_TRUE(b.Enter().turnStarted);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 1);
}

TEST_F(TurnFlowTest, SpaceWithoutSelectionEndsTheTurnAndUndoesAMove) {
    EXPECT_TRUE(b.Space().turnStarted);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 2);
    b.Click(20, 20);
    b.Click(22, 20);
    ASSERT_TRUE(b.Settle());
    EXPECT_TRUE(b.EndTurn().turnStarted) << "the end-turn button works with a selection";
    ASSERT_TRUE(b.Settle());
    EXPECT_EQ(b.Unit(enemy).tileX, 20) << "the uncommitted move walked back";
    EXPECT_EQ(b.rules->GetSelectedUnit(), -1);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 1);
}

TEST_F(TurnFlowTest, AUnitThatCannotWalkBackIsPutBack) {
    // Its origin is a tile it may not enter: the search can leave it but not return.
    b.grid->SetTileTerrainType(5, 5, rock);
    UnitTraits picky;
    picky.notUsable = {rock};
    b.grid->SetTileUnit(5, 5, -1);
    const int unit = b.AddUnit(picky, 1, 5, 5);
    b.Click(5, 5);
    ASSERT_TRUE(b.rules->GetSelection().moveArea.Contains(5, 6));
    b.Click(5, 6);
    ASSERT_TRUE(b.Settle());
    b.Cancel();
    ASSERT_TRUE(b.Settle());
    EXPECT_EQ(b.Unit(unit).tileX, 5);
    EXPECT_EQ(b.Unit(unit).tileY, 5);
    EXPECT_FLOAT_EQ(b.Unit(unit).worldZ, 5.5f * tileSize);
}

TEST_F(TurnFlowTest, DestroyedHeadquartersLoseTheGameAndEndIt) {
    UnitTraits sniper;
    sniper.attack  = 1000;
    sniper.fireMax = 60;
    b.AddUnit(sniper, 1, 10, 10);
    b.Click(10, 10);
    b.Space();
    const CCommandOutcome outcome = b.Click(31, 31);
    EXPECT_LE(b.units->GetHitpoints(hq2), 0);
    EXPECT_GT(b.units->CountLivingUnits(2), 0) << "it still had a fighting unit";
    ASSERT_TRUE(outcome.gameOver);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 1);
    for (const CommandKind kind : {CommandKind::click, CommandKind::fireMode, CommandKind::endTurn}) {
        const CCommandOutcome ignored = b.rules->Apply({kind, 5, 5});
        EXPECT_FALSE(ignored.turnStarted || ignored.gameOver);
    }
    EXPECT_EQ(b.rules->GetSelectedUnit(), -1);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 1);
}

struct StartCase {
    const char* label;
    bool        team1Fighter, team1Hq, team2Fighter, team2Hq;
    int         firstTeam;
    bool        over;
    int         winner;
};

class GameStart : public ::testing::TestWithParam<StartCase> {};

INSTANTIATE_TEST_SUITE_P(
    Teams, GameStart,
    ::testing::Values(StartCase{"both_complete", true, true, true, true, 1, false, 1},
                      StartCase{"team_2_loaded_no_unit", true, true, false, false, 1, true, 1},
                      StartCase{"current_team_loaded_no_unit", false, false, true, true, 1, true, 2},
                      StartCase{"team_2_without_headquarters", true, true, true, false, 2, true, 1},
                      StartCase{"neither_team_has_units", false, false, false, false, 2, true, 2},
                      StartCase{"only_headquarters", false, true, true, true, 2, true, 2}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.label); });

TEST_P(GameStart, ATeamWithoutFightingUnitsOrHeadquartersLosesAtTheFirstCheck) {
    const StartCase& start = GetParam();
    CBoard           b(FlatGround, start.firstTeam);
    UnitTraits       hq;
    hq.hq = true;
    if (start.team1Fighter) {
        b.AddUnit(UnitTraits(), 1, 3, 3);
    }
    if (start.team1Hq) {
        b.AddUnit(hq, 1, 1, 1);
    }
    if (start.team2Fighter) {
        b.AddUnit(UnitTraits(), 2, 28, 28);
    }
    if (start.team2Hq) {
        b.AddUnit(hq, 2, 30, 30);
    }
    const CCommandOutcome outcome = b.rules->StartGame();
    EXPECT_EQ(outcome.gameOver, start.over);
    EXPECT_EQ(b.rules->IsGameOver(), start.over);
    EXPECT_FALSE(outcome.turnStarted);
    EXPECT_EQ(b.rules->GetCurrentTeam(), start.winner);
}

} // namespace
