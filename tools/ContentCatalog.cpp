#include "tools/ContentCatalog.h"

#include "tools/LevelLayout.h"

namespace ContentCatalog {

using namespace LevelLayout;

// Recon: fast and light, climbs almost anything, hunts artillery (which
// cannot fire back at short range). Tank: heavy armour, slow, no forest.
// Howitzer: long range with a minimum range, fragile, needs gentle open
// ground. General: weak in a fight, boosts a unit of its own team.
// Headquarters: a building; losing it loses the game.
//
// A general's boost gives the boosted unit its own bonus values until its
// team's next turn, in place of the general's own shot (about 50 damage, the
// minimum, at anything armoured). At full strength on open ground:
// - Recon +4 attack, +2 movement: it reaches a howitzer two tiles further
//   off and hits it for about 320 of its 650 hit points instead of 195.
//   No extra range: at 3 tiles it would stand in the howitzer's own ring.
// - Tank +3 attack, +3 defence, +1 movement: it wins a tank duel outright,
//   dealing about 485 and taking 83 instead of 329 and 183.
// - Howitzer +4 attack, +1 fire range: it reaches 7 tiles and nearly
//   doubles its shot at a tank (277 instead of 141).
// - Headquarters +4 defence: braced for the enemy's turn, a tank's shot at
//   it falls from about 330 to 130.
// - General: its values matter only to another general of its team.
const std::vector<UnitKind>& UnitKinds() {
    static const std::vector<UnitKind> kinds = {
        {"recon.xml",
         "Recon",
         "recon.3ds",
         "recon",
         "wheels.xml",
         "explosion.xml",
         600,
         9,
         6,
         7,
         1,
         2,
         40,
         1.6f,
         false,
         false,
         4,
         0,
         2,
         0,
         {water, rock}},
        {"tank.xml",
         "Tank",
         "tank.3ds",
         "tank",
         "wheels.xml",
         "explosion.xml",
         1000,
         14,
         12,
         5,
         1,
         3,
         25,
         1.0f,
         false,
         false,
         3,
         3,
         1,
         0,
         {water, rock, forest}},
        {"howitzer.xml",
         "Howitzer",
         "howitzer.3ds",
         "howitzer",
         "wheels.xml",
         "explosion.xml",
         650,
         16,
         4,
         3,
         3,
         6,
         18,
         0.8f,
         false,
         false,
         4,
         0,
         0,
         1,
         {water, rock, forest, rough}},
        {"general.xml",
         "General",
         "command.3ds",
         "command",
         "wheels.xml",
         "explosion.xml",
         800,
         5,
         9,
         5,
         1,
         2,
         30,
         1.2f,
         true,
         false,
         4,
         4,
         2,
         1,
         {water, rock}},
        {"headquarters.xml",
         "Headquarters",
         "headquarters.3ds",
         "headquarters",
         "wheels.xml",
         "explosion_large.xml",
         1500,
         2,
         8,
         0,
         1,
         2,
         90,
         0.0f,
         false,
         true,
         0,
         4,
         0,
         0,
         {water, rock}},
    };
    return kinds;
}

const std::vector<std::string>& ObjectModels() {
    static const std::vector<std::string> models = {"pine.3ds", "oak.3ds", "house.3ds", "rock.3ds"};
    return models;
}

const std::vector<MusicPiece>& MusicPieces() {
    static const std::vector<MusicPiece> pieces = {
        {"intro.wav", 0},          {"advance.wav", 1},   {"high_ground.wav", 1},
        {"river_crossing.wav", 1}, {"interlude.wav", 2}, {"victory.wav", 3},
    };
    return pieces;
}

} // namespace ContentCatalog
