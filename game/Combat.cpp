#include "game/Combat.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

namespace {

constexpr float degreesPerRadian = 180.0f * 0.31830988614222805f;
// 1/90 as a float: a 90-degree slope gives the whole maxSlopeBonus.
constexpr float perNinetyDegrees = 0.011111111f;

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

CombatExchange ResolveExchange(const CombatSide& attacker, const CombatSide& defender, float tileSize,
                               const FightParams& fight) {
    const FightParams safe;
    const float       slopeBonus   = Finite(fight.maxSlopeBonus, safe.maxSlopeBonus);
    const float       attackBonus  = Finite(fight.attackBonus, safe.attackBonus);
    const float       attackFactor = Finite(fight.attackFactor, safe.attackFactor);
    const float       perAttack    = Inverse(fight.maxAttack, safe.maxAttack);
    const float       perDefense   = Inverse(fight.maxDefense, safe.maxDefense);

    CombatExchange exchange;
    exchange.slope = 2.0f * std::atan2(attacker.tileHeight - defender.tileHeight, tileSize) * degreesPerRadian;
    if (!std::isfinite(exchange.slope)) {
        exchange.slope = 0.0f;
    }
    if (exchange.slope > maxSlope) {
        exchange.slope = maxSlope;
    }
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
