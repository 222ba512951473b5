#include "rules/Combat.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

namespace {

constexpr float degreesPerRadian = 180.0f * 0.31830988614222805f;
// 1/90 as a float: a 90-degree slope gives the whole maxSlopeBonus.
constexpr float perNinetyDegrees = 0.011111111f;

// tan(pi / 12): below it the arctangent's series converges fast.
constexpr double tanTwelfth  = 0.2679491924311227;
constexpr double sqrtThree   = 1.7320508075688772;
constexpr double pi          = 3.141592653589793;
constexpr int    seriesTerms = 15; // the 16th term is below 1e-18 for |t| <= tan(pi / 12)

double AtanSeries(double t) {
    const double square = t * t;
    double       sum    = 0.0;
    for (int k = seriesTerms - 1; k >= 0; --k) {
        sum = 1.0 / (2 * k + 1) - square * sum; // t (1 - t^2 (1/3 - t^2 (1/5 - ...)))
    }
    return t * sum;
}

// Reduced to the series' range by atan(t) = pi/2 - atan(1/t) and
// atan(t) = pi/6 + atan((t sqrt3 - 1) / (sqrt3 + t)).
double Atan(double t) {
    if (t < 0.0) {
        return -Atan(-t);
    }
    if (t > 1.0) {
        return pi / 2.0 - Atan(1.0 / t);
    }
    if (t > tanTwelfth) {
        return pi / 6.0 + AtanSeries((t * sqrtThree - 1.0) / (sqrtThree + t));
    }
    return AtanSeries(t);
}

float Finite(float value, float fallback) {
    return std::isfinite(value) ? value : fallback;
}

// A divisor that is not a positive finite number falls back to the safe default.
float Inverse(float divisor, float fallback) {
    return 1.0f / (std::isfinite(divisor) && divisor > 0.0f ? divisor : fallback);
}

// Strengths below zero count as zero; overflow stops at the largest float.
float Strength(float value) {
    if (!(value > 0.0f)) {
        return 0.0f;
    }
    return value > FLT_MAX ? FLT_MAX : value;
}

// Attack minus defence, truncated towards zero, at least minDamage.
int Damage(float attack, float defend) {
    const float difference = attack - defend;
    if (!(difference >= static_cast<float>(Combat::minDamage))) {
        return Combat::minDamage;
    }
    return difference >= 2147483648.0f ? INT_MAX : static_cast<int>(difference);
}

} // namespace

namespace Combat {

double Atan2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) {
        return x + y;
    }
    if (x > 0.0) {
        return Atan(y / x);
    }
    if (x < 0.0) {
        return y >= 0.0 ? Atan(y / x) + pi : Atan(y / x) - pi;
    }
    return y > 0.0 ? pi / 2.0 : y < 0.0 ? -pi / 2.0 : 0.0;
}

float Slope(float attackerHeight, float defenderHeight, float tileSize) {
    const float rise  = attackerHeight - defenderHeight;
    float       slope = 2.0f * static_cast<float>(Atan2(rise, tileSize)) * degreesPerRadian;
    if (!std::isfinite(slope)) {
        slope = 0.0f;
    }
    return slope > maxSlope ? maxSlope : slope;
}

CCombatExchange ResolveExchange(const CCombatSide& attacker, const CCombatSide& defender, float tileSize,
                                const CFightParams& fight) {
    return ResolveExchangeAtSlope(attacker, defender, Slope(attacker.tileHeight, defender.tileHeight, tileSize), fight);
}

CCombatExchange ResolveExchangeAtSlope(const CCombatSide& attacker, const CCombatSide& defender, float slope,
                                       const CFightParams& fight) {
    const CFightParams safe;
    const float        slopeBonus   = Finite(fight.maxSlopeBonus, safe.maxSlopeBonus);
    const float        attackBonus  = Finite(fight.attackBonus, safe.attackBonus);
    const float        attackFactor = Finite(fight.attackFactor, safe.attackFactor);
    const float        perAttack    = Inverse(fight.maxAttack, safe.maxAttack);
    const float        perDefense   = Inverse(fight.maxDefense, safe.maxDefense);

    CCombatExchange exchange;
    exchange.slope         = slope;
    exchange.bonusAttacker = std::max(0.0f, exchange.slope * slopeBonus * perNinetyDegrees);
    exchange.bonusDefender = std::max(0.0f, exchange.slope * slopeBonus * -perNinetyDegrees);

    const float attackerHitpoints = static_cast<float>(attacker.hitpoints);
    const float defenderHitpoints = static_cast<float>(defender.hitpoints);
    exchange.attackerAttack = Strength((static_cast<float>(attacker.attack) * attackBonus + exchange.bonusAttacker) *
                                       attackFactor * attackerHitpoints * perAttack);
    exchange.defenderAttack = Strength((static_cast<float>(defender.attack) + exchange.bonusDefender) * attackFactor *
                                       defenderHitpoints * perAttack);
    exchange.attackerDefend = Strength((static_cast<float>(attacker.defense) + Finite(attacker.terrainDefense, 0.0f)) *
                                       perDefense * attackerHitpoints);
    exchange.defenderDefend = Strength((static_cast<float>(defender.defense) + Finite(defender.terrainDefense, 0.0f)) *
                                       perDefense * defenderHitpoints);

    exchange.damageToAttacker = defender.inRange ? Damage(exchange.defenderAttack, exchange.attackerDefend) : 0;
    exchange.damageToDefender = attacker.inRange ? Damage(exchange.attackerAttack, exchange.defenderDefend) : 0;
    return exchange;
}

int ApplyDamage(int hitpoints, int damage) {
    const long long left = static_cast<long long>(hitpoints) - damage;
    return left < INT_MIN ? INT_MIN : left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

} // namespace Combat
