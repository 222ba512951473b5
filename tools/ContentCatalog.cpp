#include "tools/ContentCatalog.h"

#include "tools/LevelLayout.h"

namespace ContentCatalog {

using namespace LevelLayout;

// Recon: fast and light, climbs almost anything, hunts artillery (which
// cannot fire back at short range). Tank: heavy armour, slow, no forest.
// Howitzer: long range with a minimum range, fragile, needs gentle open
// ground. General: weak in a fight, boosts a unit of its own team.
// Headquarters: a building; losing it loses the game.
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
         0,
         0,
         0,
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
         0,
         0,
         0,
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
         0,
         0,
         0,
         0,
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
         0,
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
