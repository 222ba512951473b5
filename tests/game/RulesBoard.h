#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "game/GameRules.h"
#include "game/GridManager.h"
#include "core/Heightmap.h"
#include "game/TerrainTypes.h"
#include "game/UnitManager.h"

// A board for the rules alone, without a GL context: a heightmap in memory
// (129 samples over 2048 world units, so a tile is 64 units and 4 sample
// steps), a grid whose tiles are all usable grass unless a test says
// otherwise, three terrain types, units written as files into a temporary
// working directory, and the rules. Header-only: only *Test.cpp files are
// compiled into the test programs.
namespace RulesBoard {

constexpr int   mapSize  = 129;
constexpr float mapWidth = 2048.0f;
constexpr float tileSize = 64.0f;
constexpr int   board    = CGridManager::gridSize;

// Terrain type ids of the board.
enum Terrain { grass = 0, forest = 1, rock = 2 };

// Grass: defence 0, cost 1; forest: defence 2, cost 2; rock: defence 6, cost 3.
inline const char* TerrainTypesFile() {
    return "<terraintypes>"
           "<0><name>Grass</name><attack>0</attack><defense>0</defense><movement>1</movement></0>"
           "<1><name>Forest</name><attack>1</attack><defense>2</defense><movement>2</movement></1>"
           "<2><name>Rock</name><attack>2</attack><defense>6</defense><movement>3</movement></2>"
           "</terraintypes>";
}

// The values of one unit file.
struct UnitTraits {
    int              hitpoints   = 1000;
    int              attack      = 10;
    int              defense     = 10;
    int              movement    = 5;
    int              fireMin     = 1;
    int              fireMax     = 3;
    int              slopeMax    = 30;
    float            speed       = 1.0f;
    bool             general     = false;
    bool             hq          = false;
    int              bonusAttack = 0, bonusDefense = 0, bonusMovement = 0, bonusFirerange = 0;
    int              startEffectSmoke = 600, startEffectFire = 300, startEffectAttack = 50;
    std::vector<int> notUsable;
    std::string      soundMove = "m.wav";
};

inline std::string UnitFile(const UnitTraits& traits) {
    auto element = [](const char* key, const std::string& value) {
        return std::string("<") + key + ">" + value + "</" + key + ">";
    };
    auto        number = [&](const char* key, int value) { return element(key, std::to_string(value)); };
    std::string text =
        element("name", "Unit") + element("filename", "unit.3ds") + element("effectWheels", "w.xml") +
        element("effectSmoke", "s.xml") + element("effectFire", "f.xml") + element("effectAttack", "a.xml") +
        element("effectExplosion", "e.xml") + element("soundMove", traits.soundMove) + element("soundAttack", "a.wav") +
        element("soundExplosion", "e.wav") + number("hitpoints", traits.hitpoints) +
        number("startEffectSmoke", traits.startEffectSmoke) + number("startEffectFire", traits.startEffectFire) +
        number("startEffectAttack", traits.startEffectAttack) + number("attack", traits.attack) +
        number("defense", traits.defense) + number("movement", traits.movement) + number("fireMin", traits.fireMin) +
        number("fireMax", traits.fireMax) + number("slopeMax", traits.slopeMax) +
        element("speed", std::to_string(traits.speed)) + number("isGeneral", traits.general ? 1 : 0) +
        number("isHeadquarter", traits.hq ? 1 : 0) + number("bonusAttack", traits.bonusAttack) +
        number("bonusDefense", traits.bonusDefense) + number("bonusMovement", traits.bonusMovement) +
        number("bonusFirerange", traits.bonusFirerange);
    if (!traits.notUsable.empty()) {
        text += "<notusable>";
        for (size_t n = 0; n < traits.notUsable.size(); ++n) {
            text += "<" + std::to_string(n) + ">" + number("terrainid", traits.notUsable[n]) + "</" +
                    std::to_string(n) + ">";
        }
        text += "</notusable>";
    }
    return text;
}

// Heights of the samples, (column, row) to 0..255; world height = sample.
using SampleHeight = int (*)(int column, int row);

inline int FlatGround(int, int) {
    return 100;
}

class CBoard {
public:
    // The units start their effects in `particles` and play their sounds
    // through `sound` when these are given.
    explicit CBoard(SampleHeight height = FlatGround, int firstTeam = 1, CParticleSystem* particles = nullptr,
                    CSoundLibrary* sound = nullptr) {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        MakeFolders("units");
        WriteFile("terraintypes.xml", TerrainTypesFile());
        std::vector<int> samples(static_cast<size_t>(mapSize) * mapSize);
        for (int row = 0; row < mapSize; ++row) {
            for (int column = 0; column < mapSize; ++column) {
                samples[static_cast<size_t>(row) * mapSize + column] = height(column, row);
            }
        }
        map   = std::make_unique<CHeightmap>(mapSize, samples, mapWidth, 255.0f);
        grid  = std::make_unique<CGridManager>("none.xml", map.get());
        types = std::make_unique<CTerrainTypes>("terraintypes.xml");
        for (int y = 0; y < board; ++y) {
            for (int x = 0; x < board; ++x) {
                grid->SetTileUsable(x, y, true);
                grid->SetTileTerrainType(x, y, grass);
            }
        }
        units = std::make_unique<CUnitManager>(nullptr, map.get(), grid.get(), types.get(), particles, sound);
        rules = std::make_unique<CGameRules>(*grid, *units, firstTeam);
    }

    // Loads a unit of the team onto tile (x, y), as the team loader does.
    int AddUnit(const UnitTraits& traits, int team, int x, int y) {
        const std::string file = "units/unit" + std::to_string(fileCount++) + ".xml";
        WriteFile(file, UnitFile(traits));
        const int index = units->LoadUnit(file.c_str());
        if (index >= 0) {
            units->AssignTeam(index, team);
            units->PlaceUnit(index, x, y);
            grid->SetTileUnit(x, y, index);
        }
        return index;
    }

    CCommandOutcome Click(int x, int y) { return rules->Apply({CommandKind::click, x, y}); }
    CCommandOutcome Space() { return rules->Apply({CommandKind::fireMode, 0, 0}); }
    CCommandOutcome Enter() { return rules->Apply({CommandKind::finishUnit, 0, 0}); }
    CCommandOutcome Cancel() { return rules->Apply({CommandKind::cancel, 0, 0}); }
    CCommandOutcome EndTurn() { return rules->Apply({CommandKind::endTurn, 0, 0}); }

    // Frames of frameTime seconds until no unit moves; false if one still
    // moves after maxFrames.
    bool Settle(float frameTime = 1.0f / 30.0f, int maxFrames = 3000) {
        for (int frame = 0; frame < maxFrames; ++frame) {
            rules->Update(frameTime);
            bool moving = false;
            for (int unit = 0; unit < units->GetCount(); ++unit) {
                moving |= units->IsMoving(unit);
            }
            if (!moving) {
                return true;
            }
        }
        return false;
    }

    const CUnit& Unit(int index) const { return *units->GetUnitByIndex(index); }

    CTempWorkDir                   folder;
    std::unique_ptr<CHeightmap>    map;
    std::unique_ptr<CGridManager>  grid;
    std::unique_ptr<CTerrainTypes> types;
    std::unique_ptr<CUnitManager>  units;
    std::unique_ptr<CGameRules>    rules;

private:
    int fileCount = 0;
};

} // namespace RulesBoard
