#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "rules/UnitFile.h"
#include "rules/UnitLimits.h"

namespace {

TEST(UnitLimits, OutOfBoundsValuesAreClampedWithALine) {
    const struct {
        const char* key;
        int CUnit::*field;
        int         fileValue, expected;
    } cases[] = {{"hitpoints", &CUnit::hitpoints, -40, CUnitLimits::minHitpoints},
                 {"hitpoints", &CUnit::hitpoints, INT_MAX, CUnitLimits::maxHitpoints},
                 {"attack", &CUnit::attack, INT_MIN, 0},
                 {"movement", &CUnit::movement, 5000, CUnitLimits::maxRange},
                 {"fireMax", &CUnit::fireMax, -1, 0},
                 {"slopeMax", &CUnit::slopeMax, 91, CUnitLimits::maxSlope},
                 {"bonusAttack", &CUnit::bonusAttack, 1 << 30, CUnitLimits::maxStrength},
                 {"bonusMovement", &CUnit::bonusMovement, -100, -CUnitLimits::maxRange}};
    for (const auto& limit : cases) {
        CUnit      unit;
        CUnitMedia media;
        unit.hitpoints    = 100; // every other value starts inside its bounds
        unit.*limit.field = limit.fileValue;
        EXPECT_EQ(CUnitLimits::Apply(unit, media, "units\\odd.xml"), 1) << limit.key;
        EXPECT_EQ(unit.*limit.field, limit.expected) << limit.key;
        const std::string line = std::string("CUnitLimits: units\\odd.xml: ") + limit.key + " " +
                                 std::to_string(limit.fileValue) + " lies outside";
        EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), line), 1) << ReadFile("log_error.txt");
    }
}

TEST(UnitLimits, MediaValuesAndSpeedAreBounded) {
    CUnit      unit;
    CUnitMedia media;
    unit.hitpoints         = 1000;
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
    // The largest strength times the largest hit points fits an int for any combat factor up to 10.
    EXPECT_LT(2.0 * CUnitLimits::maxStrength * CUnitLimits::maxHitpoints * 10.0, static_cast<double>(INT_MAX));
}

} // namespace
