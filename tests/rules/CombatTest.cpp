#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "RulesBoard.h"
#include "rules/Combat.h"
#include "rules/RulesFingerprint.h"

namespace {

using namespace RulesBoard;

// Powers of two divide exactly, so the strengths below are exact.
const CFightParams params{1.25f, 1.0f, 32.0f, 1.0f, 16.0f, 1.0f, 9.0f};

// Attack 16, defence 4, 1000 hit points on ground of defence 0.5 against 14, 6, 800 on defence 2; at height 100.
const CCombatSide attacker{16, 4, 1000, 100.0f, 0.5f, true};
const CCombatSide defender{14, 6, 800, 100.0f, 2.0f, true};

struct ExchangeCase {
    const char* label;
    CCombatSide attacker, defender;
    float       slope, bonusAttacker, bonusDefender, attackerAttack, defenderAttack, attackerDefend, defenderDefend;
    int         damageToAttacker, damageToDefender;
};

CCombatSide With(CCombatSide side, float height, int attack = -1, bool inRange = true) {
    side.tileHeight = height;
    side.attack     = attack >= 0 ? attack : side.attack;
    side.inRange    = inRange;
    return side;
}

// By hand: aa = (16 x 1.25 + bonusA) x 1000 / 32, da = (14 + bonusD) x 800 / 32, ad = 4.5 / 16 x 1000
// = 281.25, dd = 8 / 16 x 800 = 400; a bonus is the slope x 9 / 90.
const ExchangeCase exchangeCases[] = {
    {"equal heights", attacker, defender, 0, 0, 0, 625, 350, 281.25f, 400, 68, 225},
    {"a 45 degree step up is capped at 75", With(attacker, 164), defender, 75, 7.5f, 0, 859.375f, 350, 281.25f, 400, 68,
     459},
    {"a step down gives the defender the bonus", With(attacker, 36), defender, -90, 0, 9, 625, 575, 281.25f, 400, 293,
     225},
    {"far lower: no cap below", With(attacker, -540), defender, -168.578814f, 0, 16.8578814f, 625, 771.447034f, 281.25f,
     400, 490, 225},
    {"defender out of range deals nothing", attacker, With(defender, 100, -1, false), 0, 0, 0, 625, 350, 281.25f, 400,
     0, 225},
    {"attacker out of range deals nothing", With(attacker, 100, -1, false), defender, 0, 0, 0, 625, 350, 281.25f, 400,
     68, 0},
    {"a weak attack still costs 50", With(attacker, 100, 4), defender, 0, 0, 0, 156.25f, 350, 281.25f, 400, 68, 50},
};

TEST(Exchange, GivesTheHandComputedValues) {
    for (const ExchangeCase& expected : exchangeCases) {
        const CCombatExchange result = Combat::ResolveExchange(expected.attacker, expected.defender, tileSize, params);
        EXPECT_NEAR(result.slope, expected.slope, 1e-3f) << expected.label;
        EXPECT_NEAR(result.bonusAttacker, expected.bonusAttacker, 1e-4f) << expected.label;
        EXPECT_NEAR(result.bonusDefender, expected.bonusDefender, 1e-4f) << expected.label;
        EXPECT_NEAR(result.attackerAttack, expected.attackerAttack, 1e-2f) << expected.label;
        EXPECT_NEAR(result.defenderAttack, expected.defenderAttack, 1e-2f) << expected.label;
        EXPECT_FLOAT_EQ(result.attackerDefend, expected.attackerDefend) << expected.label;
        EXPECT_FLOAT_EQ(result.defenderDefend, expected.defenderDefend) << expected.label;
        EXPECT_EQ(result.damageToAttacker, expected.damageToAttacker) << expected.label;
        EXPECT_EQ(result.damageToDefender, expected.damageToDefender) << expected.label;
    }
}

// Whatever the parameters and values, the result is finite and the damage a whole number from 50 up.
TEST(ExchangeLimits, StayFiniteForAnyInput) {
    const float        inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    const CCombatSide  huge{INT_MAX, INT_MAX, INT_MAX, 1e30f, inf, true};
    const CCombatSide  low{INT_MIN, INT_MIN, INT_MIN, -1e30f, nan, true};
    const CFightParams odd[] = {
        {1, 1, 0, 0, -1, 0, 0}, {nan, nan, nan, nan, nan, nan, nan}, {inf, inf, 1e-38f, 0, 1e-38f, 0, -inf}};
    for (const CFightParams& fight : odd) {
        for (const auto& sides : {std::make_pair(huge, huge), std::make_pair(huge, low), std::make_pair(low, huge)}) {
            const CCombatExchange result = Combat::ResolveExchange(sides.first, sides.second, nan, fight);
            for (const float value : {result.slope, result.bonusAttacker, result.bonusDefender, result.attackerAttack,
                                      result.defenderAttack, result.attackerDefend, result.defenderDefend}) {
                EXPECT_TRUE(std::isfinite(value)) << value;
            }
            EXPECT_GE(std::min(result.damageToAttacker, result.damageToDefender), Combat::minDamage);
        }
    }
    EXPECT_FLOAT_EQ(Combat::ResolveExchange(attacker, defender, tileSize, odd[0]).defenderDefend,
                    8.0f * 800.0f / CFightParams().maxDefense)
        << "a divisor of 0 or less stands back for the standard one";
    EXPECT_EQ(Combat::ApplyDamage(INT_MIN + 5, INT_MAX), INT_MIN);
}

// The rules' own arctangent within the library's float error, over the rises of heightmaps and far beyond.
TEST(ExchangeSlope, TheRulesArctangentAgreesWithTheLibrary) {
    for (const float scale : {1.0f, 400.0f / 255.0f, 2.3529413f, 0.37f, 97.0f}) {
        for (int samples = -255; samples <= 255; ++samples) {
            const float rise = static_cast<float>(samples) * scale;
            EXPECT_NEAR(Combat::Atan2(rise, tileSize), std::atan2(rise, tileSize), 2e-7) << rise;
        }
    }
    EXPECT_TRUE(std::isnan(Combat::Atan2(std::nan(""), 1.0)));
    EXPECT_DOUBLE_EQ(Combat::Atan2(1.0, 0.0), std::atan2(1.0, 0.0));
    EXPECT_NEAR(Combat::Atan2(-1.0, -1.0), std::atan2(-1.0, -1.0), 1e-15);
    EXPECT_NEAR(Combat::Atan2(1e300, 1.0), std::atan2(1e300, 1.0), 1e-15);
}

// A change to any rule that alters a probe must change this value, and rulesVersion, on purpose.
TEST(RulesFingerprint, IsPinned) {
    EXPECT_EQ(ComputeRulesFingerprint(), 0xa74ea5e1d593ce81ULL);
}

} // namespace
