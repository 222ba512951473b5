#pragma once

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "platform/SoundLibrary.h"

// One piece on the board: the values of its unit file and its state in the
// game. Units are addressed by their index in CUnitManager's list; the
// manager applies every rule to them, so this is a plain record. Texts hold
// at most maxTextLength characters; tiles are (column, row); world positions
// are on the ground plane (x, z); angles are degrees.
class CUnit {
public:
    static constexpr size_t maxTextLength = 255;

    std::string                          name;
    std::string                          effectWheels;
    std::string                          effectFire;
    std::string                          effectSmoke;
    std::string                          effectAttack;
    std::string                          effectExplosion;
    std::string                          effectSpecial; // the team file's text, kept with each unit of the team
    SoundSample                          soundMove      = noSound;
    SoundSample                          soundAttack    = noSound;
    SoundSample                          soundExplosion = noSound;
    int                                  modelInstance  = -1; // index in the level's world objects
    int                                  team           = 1;
    bool                                 isHeadquarter  = false;
    bool                                 isGeneral      = false;
    int                                  tileX = 0, tileY = 0;
    int                                  prevTileX = 0, prevTileY = 0;
    int                                  targetX = 0, targetY = 0;
    float                                worldX = 0.0f, worldZ = 0.0f;
    float                                yaw = 0.0f, pitch = 0.0f, roll = 0.0f; // model angles about y, x and z
    float                                speed         = 0.0f;
    int                                  smokeEffect   = -1; // running particle emitters, -1 none
    int                                  fireEffect    = -1;
    int                                  specialEffect = -1;
    int                                  wheelsEffect  = -1;
    int                                  movement = 0, fireMax = 0, fireMin = 0;
    int                                  slopeMax     = 0; // degrees
    int                                  maxHitpoints = 0, hitpoints = 0;
    int                                  attack = 0, defense = 0;
    int                                  bonusAttack = 0, bonusDefense = 0, bonusMovement = 0, bonusFirerange = 0;
    int                                  boostAttack = 0, boostDefense = 0, boostMovement = 0, boostFirerange = 0;
    bool                                 done              = false;
    bool                                 moving            = false;
    bool                                 moveSoundOn       = false; // its move sound loops on the move channel
    int                                  pathStep          = 0;     // index of the path node last reached
    int                                  startEffectSmoke  = 0;     // hit points below which smoke starts
    int                                  startEffectFire   = 0;     // hit points below which fire starts
    int                                  startEffectAttack = 0;     // damage above which a hit shows its effect
    std::vector<std::pair<float, float>> path;                      // tiles (x, y) from start to destination
    std::vector<int>                     notUsable;                 // terrain type ids the unit may not enter
};

// a + b, held within the int range (unit values come from files).
inline int SaturatedSum(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}
