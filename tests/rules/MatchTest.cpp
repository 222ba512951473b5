#include <gtest/gtest.h>

#include "RulesBoard.h"

namespace {

using namespace RulesBoard;

// Team 1 moves first: a headquarters, two tanks and a wreck; team 2 a headquarters and a tank.
struct MatchUnits {
    MatchUnits() {
        hq1    = b.AddUnit(Headquarters(), 1, 0, 0);
        hq2    = b.AddUnit(Headquarters(), 2, 31, 31);
        first  = b.AddUnit(UnitTraits(), 1, 5, 5);
        second = b.AddUnit(UnitTraits(), 1, 8, 5);
        enemy  = b.AddUnit(UnitTraits(), 2, 20, 20);
        wreck  = b.AddUnit(Traits([](UnitTraits& t) { t.hitpoints = 0; }), 1, 0, 10);
    }

    CBoard b;
    int    hq1 = -1, hq2 = -1, first = -1, second = -1, enemy = -1, wreck = -1;
};

class MatchTest : public ::testing::Test, protected MatchUnits {};

struct RefusalCase {
    Refusal               expected;
    std::vector<CCommand> before; // accepted first
    CCommand              command;
};

// Units 2 and 3 are team 1's tanks at (5, 5) and (8, 5), 4 team 2's tank, 5 team 1's wreck.
const RefusalCase refusalCases[] = {
    {Refusal::unknownUnit, {}, CCommand::Move(99, 1, 1)},
    {Refusal::notYourUnit, {}, CCommand::Move(4, 21, 20)},
    {Refusal::unitDestroyed, {}, CCommand::Finish(5)},
    {Refusal::unitDone, {CCommand::Finish(2)}, CCommand::Move(2, 6, 5)},
    {Refusal::anotherUnitMoved, {CCommand::Move(2, 6, 6)}, CCommand::Finish(3)},
    {Refusal::outsideBoard, {}, CCommand::Move(2, 40, 5)},
    {Refusal::outsideBoard, {}, CCommand::Fire(2, -1, 5)},
    {Refusal::outsideMoveArea, {}, CCommand::Move(2, 15, 5)},
    {Refusal::outsideMoveArea, {}, CCommand::Move(2, 8, 5)},
    {Refusal::alreadyThere, {}, CCommand::Move(2, 5, 5)},
    {Refusal::nothingToUndo, {}, CCommand::Undo(2)},
    {Refusal::outOfRange, {}, CCommand::Fire(2, 20, 20)},
    {Refusal::noTarget, {}, CCommand::Fire(2, 6, 5)},
    {Refusal::noTarget, {CCommand::Move(2, 6, 5)}, CCommand::Fire(2, 5, 5)},
    {Refusal::ownTarget, {}, CCommand::Fire(2, 8, 5)},
    {Refusal::unknownCommand, {}, CCommand{static_cast<CCommand::Kind>(42), 2, 0, 0}},
};

TEST(MatchRefusal, ChangesNothingAndSaysWhy) {
    for (const RefusalCase& refusal : refusalCases) {
        MatchUnits units;
        CBoard&    b = units.b;
        for (const CCommand& command : refusal.before) {
            ASSERT_TRUE(b.match->Apply(command).Accepted()) << command.ToText();
        }
        const uint64_t     before = b.match->StateHash();
        const CApplyResult result = b.match->Apply(refusal.command);
        EXPECT_EQ(result.refusal, refusal.expected) << refusal.command.ToText();
        EXPECT_EQ(b.match->Check(refusal.command), refusal.expected) << refusal.command.ToText();
        EXPECT_TRUE(result.events.empty()) << refusal.command.ToText();
        EXPECT_EQ(b.match->StateHash(), before) << refusal.command.ToText();
        EXPECT_STRNE(RefusalText(result.refusal), "");
    }
}

TEST_F(MatchTest, TheTurnPassesWhenNoFightingUnitIsReady) {
    ASSERT_TRUE(b.Finish(first).Accepted());
    const CApplyResult last = b.Finish(second);
    ASSERT_TRUE(Has(last, CMatchEvent::turnStarted)) << "the headquarters and the wreck are never ready";
    EXPECT_EQ(b.match->GetCurrentTeam(), 2);
    EXPECT_EQ(b.match->GetTurn(), 2);
    EXPECT_FALSE(b.Unit(first).done) << "ready again for team 1's next turn";
    EXPECT_TRUE(b.Finish(hq2).Accepted()) << "a headquarters may act";
    EXPECT_EQ(b.match->GetCurrentTeam(), 2) << "team 2's tank is still ready";
}

// Its origin is a tile it may not enter: the search can leave it but not return.
TEST(MatchMoves, AUnitThatCannotDriveBackIsPutBack) {
    CBoard    b(FlatGround, 1, [](CGridManager& grid) { grid.SetTileTerrainType(5, 5, rock); });
    const int unit = b.AddUnit(Traits([](UnitTraits& t) { t.notUsable = {rock}; }), 1, 5, 5);
    b.AddUnit(UnitTraits(), 2, 20, 20);
    ASSERT_TRUE(b.match->Apply(CCommand::Move(unit, 5, 6)).Accepted());
    const CApplyResult back = b.match->Apply(CCommand::Undo(unit));
    ASSERT_TRUE(back.Accepted());
    ASSERT_EQ(back.events[0].path.size(), 1u) << "put there at once";
    EXPECT_EQ(b.Unit(unit).tileY, 5);
}

// Team 1 (to move) attacks from grass at (5, 5) team 2's defender on forest at (7, 5); both keep a headquarters.
struct AttackBoard {
    AttackBoard() : b(FlatGround, 1, [](CGridManager& grid) { grid.SetTileTerrainType(7, 5, forest); }) {
        b.match->SetFightParams({1.25f, 1.0f, 32.0f, 1.0f, 16.0f, 1.0f, 9.0f});
        b.AddUnit(Headquarters(), 1, 0, 31);
        b.AddUnit(Headquarters(), 2, 31, 31);
    }
    CBoard b;
};

class MatchAttack : public ::testing::Test, protected AttackBoard {};

// Both destroyed: the team to move wins; return fire destroys the attacker; the last fighting unit falls.
TEST(MatchEnding, ClearsTheTilesOfTheDestroyedAndNamesTheWinner) {
    const struct {
        int  attackerHitpoints, defenderHitpoints;
        bool attackerLives, defenderLives;
        int  winner;
    } cases[] = {{40, 30, false, false, 1}, {40, 5000, false, true, 2}, {1000, 30, true, false, 1}};
    for (const auto& ending : cases) {
        AttackBoard board;
        CBoard&     b  = board.b;
        const int   hp = ending.attackerHitpoints, defenderHp = ending.defenderHitpoints;
        const int   attacker =
            b.AddUnit(Traits([&](UnitTraits& t) { t.attack = 16, t.defense = 4, t.hitpoints = hp; }), 1, 5, 5);
        b.AddUnit(Traits([&](UnitTraits& t) { t.attack = 14, t.defense = 6, t.hitpoints = defenderHp; }), 2, 7, 5);
        ASSERT_TRUE(Has(b.Fire(attacker, 7, 5), CMatchEvent::gameOver)) << ending.attackerHitpoints;
        EXPECT_EQ(b.TileUnit(5, 5) != -1, ending.attackerLives) << ending.attackerHitpoints;
        EXPECT_EQ(b.TileUnit(7, 5) != -1, ending.defenderLives) << ending.attackerHitpoints;
        EXPECT_EQ(b.match->GetWinner(), ending.winner) << ending.attackerHitpoints;
        for (const CCommand& command : {CCommand::EndTurn(), CCommand::Finish(attacker)}) {
            EXPECT_EQ(b.match->Apply(command).refusal, Refusal::gameOver);
        }
    }
}

TEST_F(MatchAttack, ABoostLastsUntilTheBoostedTeamsNextTurnAndNeverStacks) {
    const UnitTraits general = Traits([](UnitTraits& t) { t.general = true, t.fireMax = 2; });
    const UnitTraits boosted = Traits([](UnitTraits& t) {
        t.movement = 3, t.bonusAttack = 3, t.bonusDefense = 4, t.bonusMovement = 2, t.bonusFirerange = 1;
    });
    const int        first   = b.AddUnit(general, 1, 10, 10);
    const int        second  = b.AddUnit(general, 1, 12, 10);
    const int        unit    = b.AddUnit(boosted, 1, 11, 10);
    b.AddUnit(UnitTraits(), 2, 20, 20);
    for (const int g : {first, second}) {
        const CShotPreview preview = b.match->PreviewShot(g, 11, 10);
        EXPECT_TRUE(preview.kind == CShotPreview::boost && preview.boostMovement == 2);
        ASSERT_TRUE(Has(b.Fire(g, 11, 10), CMatchEvent::boosted));
        EXPECT_TRUE(b.Unit(g).done);
        // Movement is set, not added; a boost does no damage.
        EXPECT_EQ(std::make_tuple(b.match->GetEffectiveMovement(unit), b.match->GetEffectiveAttack(unit),
                                  b.match->GetEffectiveDefense(unit), b.match->GetEffectiveFireMax(unit),
                                  b.Unit(unit).hitpoints),
                  std::make_tuple(5, 10 + 3, 10 + 4, 3 + 1, 1000));
    }
    EXPECT_EQ(ReadFile("log_info.txt"), "") << "a boost writes no trace";
    CTileArea area;
    b.match->FillMoveArea(unit, area);
    EXPECT_TRUE(area.Contains(11, 15)) << "five tiles away";
    ASSERT_TRUE(b.Finish(unit).Accepted()); // the last ready unit: team 2's turn, the boost stays
    ASSERT_EQ(b.match->GetCurrentTeam(), 2);
    EXPECT_EQ(b.Unit(unit).boostMovement, 2);
    b.match->Apply(CCommand::EndTurn());
    ASSERT_EQ(b.match->GetCurrentTeam(), 1);
    EXPECT_EQ(b.Unit(unit).boostMovement, 0);
    EXPECT_EQ(b.match->GetEffectiveFireMax(unit), 3);
}

TEST_F(MatchAttack, DestroyedHeadquartersLoseTheGame) {
    const int shooter = b.AddUnit(Traits([](UnitTraits& t) { t.attack = 1000, t.fireMax = 60; }), 1, 10, 10);
    b.AddUnit(UnitTraits(), 2, 20, 20);
    const CApplyResult result = b.Fire(shooter, 31, 31);
    EXPECT_TRUE(Has(result, CMatchEvent::destroyed));
    EXPECT_GT(b.match->CountLivingUnits(2), 0) << "it still had a fighting unit";
    EXPECT_EQ(b.match->GetWinner(), 1);
}

TEST(MatchStart, ATeamWithoutFightingUnitsOrHeadquartersLosesAtTheFirstCheck) {
    const struct {
        bool present[4]; // team 1's fighter and headquarters, team 2's
        int  firstTeam;
        bool over;
        int  winner;
    } cases[]                 = {{{true, true, true, true}, 1, false, 0},    {{true, true, false, false}, 1, true, 1},
                                 {{false, false, true, true}, 1, true, 2},   {{true, true, true, false}, 2, true, 1},
                                 {{false, false, false, false}, 2, true, 2}, {{false, true, true, true}, 2, true, 2}};
    const UnitTraits hq       = Traits([](UnitTraits& t) { t.hq = true; });
    const int        tiles[4] = {3, 1, 28, 30};
    for (const auto& start : cases) {
        CBoard b(FlatGround, start.firstTeam);
        for (int i = 0; i < 4; ++i) {
            if (start.present[i]) {
                b.AddUnit(i % 2 == 0 ? UnitTraits() : hq, i < 2 ? 1 : 2, tiles[i], tiles[i]);
            }
        }
        const CApplyResult result = b.match->Start();
        EXPECT_EQ(Has(result, CMatchEvent::gameOver), start.over) << &start - cases;
        EXPECT_FALSE(Has(result, CMatchEvent::turnStarted)) << &start - cases;
        EXPECT_EQ(b.match->GetWinner(), start.winner) << &start - cases;
    }
}

TEST(MatchCommands, TheTextFormReadsBackAndRefusesAnythingElse) {
    for (const CCommand& command : {CCommand::Move(3, 0, 31), CCommand::Undo(0), CCommand::Fire(12, -1, 2147483647),
                                    CCommand::Finish(7), CCommand::EndTurn()}) {
        CCommand read = CCommand::Finish(99);
        ASSERT_TRUE(CCommand::FromText(command.ToText(), read)) << command.ToText();
        EXPECT_EQ(read, command);
    }
    for (const char* text : {"", "move 1 2", "move 1 2 3 4", "end 1", "fire a 1 2", "finish 99999999999", "Move 1 2 3",
                             "undo 1x", "finish 1\n2"}) {
        CCommand read = CCommand::EndTurn();
        EXPECT_FALSE(CCommand::FromText(text, read)) << text;
    }
}

} // namespace
