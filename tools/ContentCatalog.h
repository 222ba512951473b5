#pragma once

#include <string>
#include <vector>

// Names shared between the data files and the media that the generator
// makes for them, so that every file a data file names is also generated.
namespace ContentCatalog {

struct UnitKind {
    const char*      unitFile;  // in "units"
    const char*      name;      // shown on the HUD
    const char*      model;     // in "objects"
    const char*      soundStem; // "sounds\<stem>_move.wav", "_shot.wav", "_explosion.wav"
    const char*      wheels;    // particle effect while moving
    const char*      explosion; // particle effect when destroyed
    int              hitpoints, attack, defense, movement, fireMin, fireMax, slopeMax;
    float            speed;
    bool             isGeneral, isHeadquarter;
    int              bonusAttack, bonusDefense, bonusMovement, bonusFirerange;
    std::vector<int> notUsable; // terrain type ids
};

const std::vector<UnitKind>& UnitKinds();

// Models placed on the map and offered by the editor.
const std::vector<std::string>& ObjectModels();

struct MusicPiece {
    const char* fileName;
    int         role; // 0 intro, 1 track, 2 bridge, 3 end
};
const std::vector<MusicPiece>& MusicPieces();

} // namespace ContentCatalog
