#pragma once

#include <vector>

#include "core/Options.h"

// What the game shows in the heads-up display, handed over as a plain
// record each frame. Texts point into the game's own objects and need to
// stay valid only for the frame. Units are addressed by their index in
// `units`, as the game addresses them; -1 is no unit.

// One unit's values; boosts are those in force.
struct CHudUnit {
    const char* name           = "";
    int         team           = 1;
    int         hitpoints      = 0;
    int         maxHitpoints   = 0;
    int         attack         = 0;
    int         defense        = 0;
    int         movement       = 0;
    int         fireMin        = 0;
    int         fireMax        = 0;
    int         boostAttack    = 0;
    int         boostDefense   = 0;
    int         boostMovement  = 0;
    int         boostFirerange = 0;
    bool        isHeadquarter  = false;
};

// The tile under the pointer and its terrain type.
struct CHudTile {
    int         unit            = -1;
    const char* terrainName     = "";
    float       terrainAttack   = 0.0f;
    float       terrainDefense  = 0.0f;
    float       terrainMovement = 0.0f;
    int         slopeDegrees    = 0;
    float       height          = 0.0f;
};

// What firing at the unit under the pointer would do, worked out by the
// game with the same rules that resolve the shot. An attack gives damage
// to both sides (0 for a side out of range) and the hit points each would
// have left; a general's shot at a unit of its own team gives a boost.
struct CAttackPreview {
    enum Kind { none = 0, attack = 1, boost = 2 };

    Kind kind                   = none;
    int  attacker               = -1; // the selected unit
    int  target                 = -1; // the unit under the pointer
    int  damageToAttacker       = 0;
    int  damageToTarget         = 0;
    int  attackerHitpointsAfter = 0;
    int  targetHitpointsAfter   = 0;
    int  boostAttack            = 0;
    int  boostDefense           = 0;
    int  boostMovement          = 0;
    int  boostFirerange         = 0;
};

// A replay's place: the command shown of the total, the turn and the pace.
struct CHudReplay {
    bool active  = false;
    int  command = 0;
    int  total   = 0;
    int  turn    = 0;
    int  speed   = 1;
    bool paused  = false;
};

struct CHudState {
    int         currentTeam = 1; // once finished, the winner
    const char* otherSeat =
        nullptr; // who plays the team to move when not this screen (the computer, a player elsewhere)
    const char*           waiting = nullptr; // what a network game waits for, shown in a box; null: nothing
    int                   activeX = 0;       // the tile under the pointer
    int                   activeY = 0;
    CHudTile              activeTile;
    int                   selectedUnit = -1;
    int                   selectedX    = -1; // the selected unit's current tile
    int                   selectedY    = -1;
    std::vector<CHudUnit> units;
    int                   startHitpoints[2] = {0, 0}; // per team, at level start
    int                   maxHitpoints      = 0;      // the largest maximum of all units
    CAttackPreview        preview;
    float                 frameTime       = 0.0f; // seconds; 0 while the first frame is drawn
    float                 framesPerSecond = 0.0f;
    CAppOptions           options;             // flags shown and the render settings
    const char*           notice      = "";    // one short line for the player; empty: none
    float                 noticeAlpha = 0.0f;  // 1, falling to 0 as the notice fades
    bool                  showHelp    = false; // the panel with the keys
    CHudReplay            replay;
};
