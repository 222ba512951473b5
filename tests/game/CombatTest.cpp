#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "RulesBoard.h"
#include "game/Combat.h"

namespace {

using namespace RulesBoard;

// Powers of two divide exactly, so the strengths below are exact.
const FightParams params{1.25f, 1.0f, 32.0f, 1.0f, 16.0f, 1.0f, 9.0f};
const char* const paramsFile = "<attackBonus>1.25</attackBonus><attackFactor>1</attackFactor><maxAttack>32</maxAttack>"
                               "<minAttack>1</minAttack><maxDefense>16</maxDefense><minDefense>1</minDefense>"
                               "<maxSlopeBonus>9</maxSlopeBonus>";

// attack 16, defence 4 on ground of defence 0.5, 1000 hit points; against
// attack 14, defence 6 on defence 2, 800 hit points; both at height 100.
CombatSide Attacker() {
    return {16, 4, 1000, 100.0f, 0.5f, true};
}
CombatSide Defender() {
    return {14, 6, 800, 100.0f, 2.0f, true};
}

struct ExchangeCase {
    const char* label;
    CombatSide  attacker, defender;
    // slope, bonuses, aa, da, ad, dd, damage to attacker, damage to defender
    float slope, bonusAttacker, bonusDefender, attackerAttack, defenderAttack, attackerDefend, defenderDefend;
    int   damageToAttacker, damageToDefender;
};

CombatSide With(CombatSide side, float height, int attack = -1, bool inRange = true) {
    side.tileHeight = height;
    side.attack     = attack >= 0 ? attack : side.attack;
    side.inRange    = inRange;
    return side;
}

// By hand: aa = (16 x 1.25 + bonusA) x 1000 / 32, da = (14 + bonusD) x 800 / 32,
// ad = 4.5 / 16 x 1000 = 281.25, dd = 8 / 16 x 800 = 400; a bonus is the
// slope x 9 / 90. Atan(10) = 84.2894 degrees.
const ExchangeCase exchangeCases[] = {
    {"equal heights", Attacker(), Defender(), 0, 0, 0, 625, 350, 281.25f, 400, 68, 225},
    {"a 45 degree step up is capped at 75", With(Attacker(), 164), Defender(), 75, 7.5f, 0, 859.375f, 350, 281.25f, 400,
     68, 459},
    {"a step down gives the defender the bonus", With(Attacker(), 36), Defender(), -90, 0, 9, 625, 575, 281.25f, 400,
     293, 225},
    {"far lower: no cap below", With(Attacker(), -540), Defender(), -168.578814f, 0, 16.8578814f, 625, 771.447034f,
     281.25f, 400, 490, 225},
    {"defender out of range deals nothing", Attacker(), With(Defender(), 100, -1, false), 0, 0, 0, 625, 350, 281.25f,
     400, 0, 225},
    {"attacker out of range deals nothing", With(Attacker(), 100, -1, false), Defender(), 0, 0, 0, 625, 350, 281.25f,
     400, 68, 0},
    {"a weak attack still costs 50", With(Attacker(), 100, 4), Defender(), 0, 0, 0, 156.25f, 350, 281.25f, 400, 68, 50},
};

class Exchange : public ::testing::TestWithParam<ExchangeCase> {};

INSTANTIATE_TEST_SUITE_P(HandComputed, Exchange, ::testing::ValuesIn(exchangeCases),
                         [](const ::testing::TestParamInfo<ExchangeCase>& info) {
                             std::string name = info.param.label;
                             for (char& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

TEST_P(Exchange, GivesTheHandComputedValues) {
    const ExchangeCase&  expected = GetParam();
    const CombatExchange result   = Combat::ResolveExchange(expected.attacker, expected.defender, tileSize, params);
    EXPECT_NEAR(result.slope, expected.slope, 1e-3f);
    EXPECT_NEAR(result.bonusAttacker, expected.bonusAttacker, 1e-4f);
    EXPECT_NEAR(result.bonusDefender, expected.bonusDefender, 1e-4f);
    EXPECT_NEAR(result.attackerAttack, expected.attackerAttack, 1e-2f);
    EXPECT_NEAR(result.defenderAttack, expected.defenderAttack, 1e-2f);
    EXPECT_FLOAT_EQ(result.attackerDefend, expected.attackerDefend);
    EXPECT_FLOAT_EQ(result.defenderDefend, expected.defenderDefend);
    EXPECT_EQ(result.damageToAttacker, expected.damageToAttacker);
    EXPECT_EQ(result.damageToDefender, expected.damageToDefender);
}

// Whatever the parameters and values, the result is finite and the damage
// a whole number from 50 up: no division by zero, no NaN, no overflow.
TEST(ExchangeLimits, StayFiniteForAnyInput) {
    const float       inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    const CombatSide  huge{INT_MAX, INT_MAX, INT_MAX, 1e30f, inf, true};
    const CombatSide  low{INT_MIN, INT_MIN, INT_MIN, -1e30f, nan, true};
    const FightParams odd[] = {
        {1, 1, 0, 0, -1, 0, 0}, {nan, nan, nan, nan, nan, nan, nan}, {inf, inf, 1e-38f, 0, 1e-38f, 0, -inf}};
    for (const FightParams& fight : odd) {
        for (const auto& sides : {std::make_pair(huge, huge), std::make_pair(huge, low), std::make_pair(low, huge)}) {
            const CombatExchange result = Combat::ResolveExchange(sides.first, sides.second, nan, fight);
            for (const float value : {result.slope, result.bonusAttacker, result.bonusDefender, result.attackerAttack,
                                      result.defenderAttack, result.attackerDefend, result.defenderDefend}) {
                EXPECT_TRUE(std::isfinite(value)) << value;
            }
            EXPECT_GE(std::min(result.damageToAttacker, result.damageToDefender), Combat::minDamage);
        }
    }
    EXPECT_FLOAT_EQ(Combat::ResolveExchange(Attacker(), Defender(), tileSize, odd[0]).defenderDefend,
                    8.0f * 800.0f / FightParams().maxDefense)
        << "a divisor of 0 or less stands back for the standard one";
    EXPECT_EQ(Combat::ApplyDamage(INT_MIN + 5, INT_MAX), INT_MIN);
}

// ---- Attack and Boost on a board ----

std::vector<std::string> InfoLines() {
    std::vector<std::string> lines;
    std::istringstream       text(ReadFile("log_info.txt"));
    std::string              line;
    while (std::getline(text, line)) {
        lines.push_back(line);
    }
    return lines;
}

// Team 1 (current) with an attacker on grass at (5, 5), team 2 with a
// defender on forest at (7, 5); both teams keep a headquarters far away.
class AttackTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile("fight.xml", paramsFile);
        ASSERT_TRUE(b.units->LoadFightParams("fight.xml"));
        b.grid->SetTileTerrainType(7, 5, forest);
        UnitTraits hq;
        hq.hq       = true;
        hq.movement = 0;
        b.AddUnit(hq, 1, 0, 31);
        b.AddUnit(hq, 2, 31, 31);
    }

    int AddAttacker(int hitpoints = 1000) {
        UnitTraits traits;
        traits.attack    = 16;
        traits.defense   = 4;
        traits.hitpoints = hitpoints;
        return b.AddUnit(traits, 1, 5, 5);
    }
    int AddDefender(int hitpoints = 800, int fireMin = 1) {
        UnitTraits traits;
        traits.attack    = 14;
        traits.defense   = 6;
        traits.hitpoints = hitpoints;
        traits.fireMin   = fireMin;
        return b.AddUnit(traits, 2, 7, 5);
    }
    CCommandOutcome Fire(int fromX, int fromY, int atX, int atY) {
        b.Click(fromX, fromY);
        b.Space();
        return b.Click(atX, atY);
    }

    CBoard b;
};

TEST_F(AttackTest, TracesTheExchangeInTheInfoLog) {
    const int attacker = AddAttacker();
    const int defender = AddDefender();
    ASSERT_EQ(attacker, 2);
    const CCommandOutcome outcome = Fire(5, 5, 7, 5);
    EXPECT_EQ(outcome.attackMessage, AttackMessage::goodAttack) << "225 is more than twice 100";
    EXPECT_EQ(b.units->GetHitpoints(attacker), 900);
    EXPECT_EQ(b.units->GetHitpoints(defender), 575);
    const std::vector<std::string> expected = {
        "************* unit 2 (team 1, hitpoints 1000) attacks 3 (team 2, hitpoints 800) ***********",
        "** slope (attacker->defender): 0.000000, bonus attacker: 0.000000, bonus defender: 0.000000",
        "** attacker attack: 625.000000",
        "** defender attack: 350.000000",
        "** attacker defend: 250.000000",
        "** defender defend: 400.000000",
        "*** unit 2 has now 900 hitpoints",
        "*** unit 3 has now 575 hitpoints",
        "",
    };
    EXPECT_EQ(InfoLines(), expected);
    // Both turned to each other: the defender lies towards +x.
    EXPECT_NEAR(b.Unit(attacker).yaw, -90.0f, 1e-3f);
    EXPECT_NEAR(b.Unit(defender).yaw, 90.0f, 1e-3f);
    EXPECT_TRUE(outcome.turnStarted) << "its team had no other ready unit";
}

TEST_F(AttackTest, BothDestroyedTogetherClearsBothTilesAndTheCurrentTeamWins) {
    const int             attacker = AddAttacker(40);
    const int             defender = AddDefender(30);
    const CCommandOutcome outcome  = Fire(5, 5, 7, 5);
    EXPECT_LE(b.units->GetHitpoints(attacker), 0);
    EXPECT_LE(b.units->GetHitpoints(defender), 0);
    EXPECT_EQ(b.grid->GetTile(5, 5).unit, -1);
    EXPECT_EQ(b.grid->GetTile(7, 5).unit, -1);
    EXPECT_TRUE(outcome.gameOver);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 1);
    EXPECT_EQ(b.rules->GetSelectedUnit(), -1);
}

TEST_F(AttackTest, AnAttackerDestroyedByReturnFireLosesTheGameForItsTeam) {
    const int attacker = AddAttacker(40);
    AddDefender(5000);
    const CCommandOutcome outcome = Fire(5, 5, 7, 5);
    EXPECT_LE(b.units->GetHitpoints(attacker), 0);
    EXPECT_EQ(outcome.attackMessage, AttackMessage::weakAttack);
    EXPECT_EQ(b.grid->GetTile(5, 5).unit, -1);
    EXPECT_NE(b.grid->GetTile(7, 5).unit, -1);
    EXPECT_TRUE(outcome.gameOver);
    EXPECT_EQ(b.rules->GetCurrentTeam(), 2);
}

TEST_F(AttackTest, ABoostLastsUntilTheBoostedTeamsNextTurnAndNeverStacks) {
    UnitTraits general;
    general.general = true;
    general.fireMax = 2;
    UnitTraits boosted;
    boosted.movement       = 3;
    boosted.bonusAttack    = 3;
    boosted.bonusDefense   = 4;
    boosted.bonusMovement  = 2;
    boosted.bonusFirerange = 1;
    const int first        = b.AddUnit(general, 1, 10, 10);
    const int second       = b.AddUnit(general, 1, 12, 10);
    const int unit         = b.AddUnit(boosted, 1, 11, 10);
    b.AddUnit(UnitTraits(), 2, 20, 20);
    for (const int g : {first, second}) {
        const CUnit&          shooter = b.Unit(g);
        const CCommandOutcome outcome = Fire(shooter.tileX, shooter.tileY, 11, 10);
        EXPECT_EQ(outcome.attackMessage, AttackMessage::none);
        EXPECT_TRUE(b.units->IsDone(g));
        EXPECT_EQ(b.units->GetEffectiveMovement(unit), 5) << "set, not added";
        EXPECT_EQ(b.units->GetEffectiveAttack(unit), 10 + 3);
        EXPECT_EQ(b.units->GetEffectiveDefense(unit), 10 + 4);
        EXPECT_EQ(b.units->GetEffectiveFireMax(unit), 3 + 1);
        EXPECT_EQ(b.units->GetHitpoints(unit), 1000) << "a boost does no damage";
    }
    EXPECT_TRUE(InfoLines().empty()) << "a boost writes no trace";
    b.Click(11, 10);
    EXPECT_EQ(b.rules->GetSelection().moveRange, 5);
    b.Enter(); // the last ready unit: team 2's turn begins, the boost stays
    ASSERT_EQ(b.rules->GetCurrentTeam(), 2);
    EXPECT_EQ(b.units->GetBoostMovement(unit), 2);
    b.EndTurn();
    ASSERT_EQ(b.rules->GetCurrentTeam(), 1);
    EXPECT_EQ(b.units->GetBoostMovement(unit), 0);
    EXPECT_EQ(b.units->GetEffectiveFireMax(unit), 3);
}

// After a tentative move a general finds its own origin tile, still its own
// in the grid, in its fire ring; a unit never fires at itself.
TEST_F(AttackTest, NoUnitFiresAtItself) {
    UnitTraits general;
    general.general = true;
    const int g     = b.AddUnit(general, 1, 10, 20);
    b.AddUnit(UnitTraits(), 2, 20, 20);
    b.Click(10, 20);
    b.Click(12, 20);
    ASSERT_TRUE(b.Settle());
    b.Space();
    ASSERT_TRUE(b.rules->GetSelection().fireArea.Contains(10, 20));
    b.Click(10, 20);
    EXPECT_EQ(b.units->GetBoostAttack(g), 0);
    EXPECT_EQ(b.rules->GetSelectedUnit(), g) << "the command was ignored";
}

} // namespace
