#pragma once

class CUnit;
struct CUnitMedia;

// Bounds on the values of a unit file. Unit files are shared and edited by
// players; every rule computes with these values (a team's hit-point sum,
// the combat's strengths times hit points, areas across the board, the step
// a moving model takes per frame), so a value out of its bounds is clamped
// to the nearest bound and the clamp logged. No later sum then overflows an
// int and no divisor is zero.
class CUnitLimits {
public:
    // At least 1: a unit that starts destroyed never plays, and the largest
    // hit points divide the strength bars. At most 100000: a full board of
    // 1024 units sums to 1e8, and strength times hit points stays far inside
    // what float and int hold.
    static constexpr int minHitpoints = 1;
    static constexpr int maxHitpoints = 100000;
    // Attack and defence (bonuses may lower them, down to the negated bound).
    static constexpr int maxStrength = 1000;
    // Tiles: the farthest two tiles of the 32 x 32 board are 62 apart.
    static constexpr int maxRange = 64;
    // Degrees.
    static constexpr int maxSlope = 90;
    // The model moves speed * 500 world units per second.
    static constexpr float maxSpeed = 100.0f;

    // Clamps the unit's file values into their bounds, logging one line per
    // value changed (with the file's path); returns how many were changed.
    static int Apply(CUnit& unit, CUnitMedia& media, const char* path);
};
