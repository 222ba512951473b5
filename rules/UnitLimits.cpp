#include "rules/UnitLimits.h"

#include "core/Logger.h"
#include "rules/UnitFile.h"

namespace {

template <typename Record> struct CIntLimit {
    const char* key;
    int Record::*field;
    int          low;
    int          high;
};

// Clamps each listed value of the record; returns how many were changed.
template <typename Record, size_t count>
int ApplyIntLimits(const CIntLimit<Record> (&limits)[count], Record& record, const char* file) {
    int changed = 0;
    for (const CIntLimit<Record>& limit : limits) {
        int& value = record.*limit.field;
        if (value >= limit.low && value <= limit.high) {
            continue;
        }
        const int bounded = value < limit.low ? limit.low : limit.high;
        GetLogger()->LogError("CUnitLimits: %s: %s %d lies outside %d..%d; %d is used", file, limit.key, value,
                              limit.low, limit.high, bounded);
        value = bounded;
        ++changed;
    }
    return changed;
}

const CIntLimit<CUnitMedia> mediaLimits[] = {
    {"startEffectSmoke", &CUnitMedia::startEffectSmoke, 0, CUnitLimits::maxHitpoints},
    {"startEffectFire", &CUnitMedia::startEffectFire, 0, CUnitLimits::maxHitpoints},
    {"startEffectAttack", &CUnitMedia::startEffectAttack, 0, CUnitLimits::maxHitpoints},
};

const CIntLimit<CUnit> unitLimits[] = {
    {"hitpoints", &CUnit::hitpoints, CUnitLimits::minHitpoints, CUnitLimits::maxHitpoints},
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

int CUnitLimits::Apply(CUnit& unit, CUnitMedia& media, const char* path) {
    const char* file    = path != nullptr ? path : "";
    int         changed = ApplyIntLimits(unitLimits, unit, file) + ApplyIntLimits(mediaLimits, media, file);
    if (!(media.speed >= 0.0f && media.speed <= maxSpeed)) {
        const float bounded = media.speed > maxSpeed ? maxSpeed : 0.0f; // also for a speed that is not a number
        GetLogger()->LogError("CUnitLimits: %s: speed %g lies outside 0..%g; %g is used", file,
                              static_cast<double>(media.speed), static_cast<double>(maxSpeed),
                              static_cast<double>(bounded));
        media.speed = bounded;
        ++changed;
    }
    return changed;
}
