#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "rules/UnitFile.h"
#include "rules/UnitLimits.h"

namespace {

struct LimitCase {
    const char* label;
    const char* key;
    int CUnit::*field;
    int         fileValue;
    int         expected;
};

class UnitLimitsInts : public ::testing::TestWithParam<LimitCase> {};

INSTANTIATE_TEST_SUITE_P(
    Cases, UnitLimitsInts,
    ::testing::Values(
        LimitCase{"HitpointsNegative", "hitpoints", &CUnit::hitpoints, -40, CUnitLimits::minHitpoints},
        LimitCase{"HitpointsAtIntLimit", "hitpoints", &CUnit::hitpoints, INT_MAX, CUnitLimits::maxHitpoints},
        LimitCase{"AttackBelowInt", "attack", &CUnit::attack, INT_MIN, 0},
        LimitCase{"MovementAcrossManyBoards", "movement", &CUnit::movement, 5000, CUnitLimits::maxRange},
        LimitCase{"FireMaxNegative", "fireMax", &CUnit::fireMax, -1, 0},
        LimitCase{"SlopeBeyondVertical", "slopeMax", &CUnit::slopeMax, 91, CUnitLimits::maxSlope},
        LimitCase{"BonusAttackHuge", "bonusAttack", &CUnit::bonusAttack, 1 << 30, CUnitLimits::maxStrength},
        LimitCase{"BonusMovementBelow", "bonusMovement", &CUnit::bonusMovement, -100, -CUnitLimits::maxRange}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.label); });

TEST_P(UnitLimitsInts, OutOfBoundsValueIsClampedWithALine) {
    CUnit      unit;
    CUnitMedia media;
    unit.hitpoints         = 100; // every other value starts inside its bounds
    unit.*GetParam().field = GetParam().fileValue;
    const int changed      = CUnitLimits::Apply(unit, media, "units\\odd.xml");
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(unit.*GetParam().field, GetParam().expected);
    const std::string line = std::string("CUnitLimits: units\\odd.xml: ") + GetParam().key + " " +
                             std::to_string(GetParam().fileValue) + " lies outside";
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), line), 1) << ReadFile("log_error.txt");
}

TEST(UnitLimits, MediaValuesAndSpeedAreBounded) {
    CUnit      unit;
    CUnitMedia media;
    unit.hitpoints         = 1000;
    unit.attack            = 14;
    media.speed            = 1.5f;
    media.startEffectSmoke = INT_MAX;
    EXPECT_EQ(CUnitLimits::Apply(unit, media, "units\\tank.xml"), 1);
    EXPECT_EQ(media.startEffectSmoke, CUnitLimits::maxHitpoints);
    media.startEffectSmoke = 0;
    EXPECT_EQ(CUnitLimits::Apply(unit, media, "units\\tank.xml"), 0);
    EXPECT_EQ(unit.hitpoints, 1000);

    for (const float speed : {FLT_MAX, -FLT_MAX, NAN, INFINITY, -0.5f}) {
        media.speed = speed;
        EXPECT_EQ(CUnitLimits::Apply(unit, media, "units\\tank.xml"), 1) << speed;
        EXPECT_TRUE(media.speed >= 0.0f && media.speed <= CUnitLimits::maxSpeed) << speed << " became " << media.speed;
    }
    // The largest bounded strength times the largest hit points still fits
    // an int with room to spare, for any combat factor up to 10.
    EXPECT_LT(2.0 * CUnitLimits::maxStrength * CUnitLimits::maxHitpoints * 10.0, static_cast<double>(INT_MAX));
}

} // namespace
