#include "game/UnitLimits.h"

#include "core/Logger.h"
#include "game/Unit.h"

namespace {

struct CIntLimit {
    const char* key;
    int CUnit::*field;
    int         low;
    int         high;
};

const CIntLimit intLimits[] = {
    {"hitpoints", &CUnit::hitpoints, CUnitLimits::minHitpoints, CUnitLimits::maxHitpoints},
    {"startEffectSmoke", &CUnit::startEffectSmoke, 0, CUnitLimits::maxHitpoints},
    {"startEffectFire", &CUnit::startEffectFire, 0, CUnitLimits::maxHitpoints},
    {"startEffectAttack", &CUnit::startEffectAttack, 0, CUnitLimits::maxHitpoints},
    {"attack", &CUnit::attack, 0, CUnitLimits::maxStrength},
    {"defense", &CUnit::defense, 0, CUnitLimits::maxStrength},
    {"movement", &CUnit::movement, 0, CUnitLimits::maxRange},
    {"fireMin", &CUnit::fireMin, 0, CUnitLimits::maxRange},
    {"fireMax", &CUnit::fireMax, 0, CUnitLimits::maxRange},
    {"slopeMax", &CUnit::slopeMax, 0, CUnitLimits::maxSlope},
    {"bonusAttack", &CUnit::bonusAttack, -CUnitLimits::maxStrength, CUnitLimits::maxStrength},
    {"bonusDefense", &CUnit::bonusDefense, -CUnitLimits::maxStrength, CUnitLimits::maxStrength},
    {"bonusMovement", &CUnit::bonusMovement, -CUnitLimits::maxRange, CUnitLimits::maxRange},
    {"bonusFirerange", &CUnit::bonusFirerange, -CUnitLimits::maxRange, CUnitLimits::maxRange},
};

} // namespace

int CUnitLimits::Apply(CUnit& unit, const char* path) {
    const char* file    = path != nullptr ? path : "";
    int         changed = 0;
    for (const CIntLimit& limit : intLimits) {
        int& value = unit.*limit.field;
        if (value >= limit.low && value <= limit.high) {
            continue;
        }
        const int bounded = value < limit.low ? limit.low : limit.high;
        GetLogger()->LogError("CUnitLimits: %s: %s %d lies outside %d..%d; %d is used", file, limit.key, value,
                              limit.low, limit.high, bounded);
        value = bounded;
        ++changed;
    }
    if (!(unit.speed >= 0.0f && unit.speed <= maxSpeed)) {
        const float bounded = unit.speed > maxSpeed ? maxSpeed : 0.0f; // also for a speed that is not a number
        GetLogger()->LogError("CUnitLimits: %s: speed %g lies outside 0..%g; %g is used", file,
                              static_cast<double>(unit.speed), static_cast<double>(maxSpeed),
                              static_cast<double>(bounded));
        unit.speed = bounded;
        ++changed;
    }
    return changed;
}
