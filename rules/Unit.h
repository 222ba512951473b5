#pragma once

#include <climits>
#include <string>
#include <vector>

// What the rules know of one unit: the values of its unit file and its state
// in the match. Units are addressed by their index in the match's list (an
// index never changes; destroyed units stay in the list). Everything that
// only shows a unit (model, angles, effects, sounds, speed) belongs to the
// view. Tiles are (column, row).
class CUnit {
public:
    static constexpr size_t maxTextLength = 255;

    std::string      name;
    int              team          = 1;
    bool             isHeadquarter = false;
    bool             isGeneral     = false;
    int              tileX = 0, tileY = 0; // where it stands, also during a move not yet finished
    int              movement = 0, fireMax = 0, fireMin = 0;
    int              slopeMax     = 0; // degrees
    int              maxHitpoints = 0, hitpoints = 0;
    int              attack = 0, defense = 0;
    int              bonusAttack = 0, bonusDefense = 0, bonusMovement = 0, bonusFirerange = 0;
    int              boostAttack = 0, boostDefense = 0, boostMovement = 0, boostFirerange = 0;
    bool             done = false;
    std::vector<int> notUsable; // terrain type ids the unit may not enter
};

// a + b, held within the int range (unit values come from files).
inline int SaturatedSum(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}
