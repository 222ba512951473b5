#pragma once

// The combat parameters of the level's "fight.xml". The values here, the
// game's standard rules, stand when the file or a key is missing or unusable,
// so a damaged file never changes the game more than the key it loses;
// maxAttack and maxDefense divide and are kept above 0.
struct CFightParams {
    float attackBonus   = 1.25f; // multiplies the attacker's own attack value
    float attackFactor  = 1.0f;  // multiplies both sides' attack strengths
    float maxAttack     = 24.0f; // divides both attack strengths
    float minAttack     = 1.0f;  // read and kept; no rule uses it
    float maxDefense    = 30.0f; // divides both defence strengths
    float minDefense    = 1.0f;  // read and kept; no rule uses it
    float maxSlopeBonus = 6.0f;  // scale of the height bonus
};

// One side of an exchange, as plain values.
struct CCombatSide {
    int   attack         = 0;     // effective attack (with boost)
    int   defense        = 0;     // effective defence (with boost)
    int   hitpoints      = 0;     // before the exchange
    float tileHeight     = 0.0f;  // world height of its tile
    float terrainDefense = 0.0f;  // defence of its tile's terrain type
    bool  inRange        = false; // the other unit stands in this one's fire area
};

// What one exchange gives: every intermediate value the info log shows, and
// the damage each side takes (0 for a side the other cannot reach).
struct CCombatExchange {
    float slope            = 0.0f; // degrees, attacker's tile over the defender's; capped above only
    float bonusAttacker    = 0.0f;
    float bonusDefender    = 0.0f;
    float attackerAttack   = 0.0f;
    float defenderAttack   = 0.0f;
    float attackerDefend   = 0.0f;
    float defenderDefend   = 0.0f;
    int   damageToAttacker = 0;
    int   damageToDefender = 0;
};

// The interface message an attack earns.
enum class AttackMessage { none = 0, goodAttack = 1, weakAttack = 2 };

namespace Combat {

constexpr float maxSlope  = 75.0f; // degrees
constexpr int   minDamage = 50;    // per side in range, however strong the other

// Both units fire at the same time: strengths from attack, defence, terrain,
// the height difference and the hit points; each side in range deals the
// difference of its attack and the other's defence, at least minDamage.
// Deterministic, and finite for any input: strengths stay in 0..FLT_MAX,
// damage in minDamage..INT_MAX.
CCombatExchange ResolveExchange(const CCombatSide& attacker, const CCombatSide& defender, float tileSize,
                                const CFightParams& fight);
// The slope in degrees of the attacker's tile over the defender's: twice
// the angle of the rise over one tile, capped above at maxSlope only; 0
// when not finite.
float Slope(float attackerHeight, float defenderHeight, float tileSize);
// The exchange at a given slope (as Slope gives it).
CCombatExchange ResolveExchangeAtSlope(const CCombatSide& attacker, const CCombatSide& defender, float slope,
                                       const CFightParams& fight);

// The arctangent of y / x in the quadrant of (x, y), from the four basic
// operations alone, so that it gives the same bits on every machine (the C
// library's may differ in the last one). NaN for a NaN input.
double Atan2(double y, double x);

// Hit points after taking damage, without overflow.
int ApplyDamage(int hitpoints, int damage);

} // namespace Combat
