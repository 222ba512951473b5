#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/Heightmap.h"
#include "rules/GridManager.h"
#include "rules/Match.h"
#include "rules/TerrainTypes.h"

// A match on a made-up board: a heightmap in memory (129 samples over 2048
// world units, so a tile is 64 units and 4 sample steps), tiles that are all
// usable grass unless a test says otherwise, three terrain types. The
// working directory is the test's own temporary folder. Header-only: only *Test.cpp
// files are compiled into the test programs.
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

// The rules' values of one unit.
struct UnitTraits {
    int              hitpoints   = 1000;
    int              attack      = 10;
    int              defense     = 10;
    int              movement    = 5;
    int              fireMin     = 1;
    int              fireMax     = 3;
    int              slopeMax    = 30;
    bool             general     = false;
    bool             hq          = false;
    int              bonusAttack = 0, bonusDefense = 0, bonusMovement = 0, bonusFirerange = 0;
    std::vector<int> notUsable;
};

// The standard traits as `change` leaves them:
// Traits([](UnitTraits& t) { t.hq = true; }).
template <class Change> UnitTraits Traits(Change change) {
    UnitTraits traits;
    change(traits);
    return traits;
}

// A headquarters that stays where it stands.
inline UnitTraits Headquarters() {
    return Traits([](UnitTraits& t) { t.hq = true, t.movement = 0; });
}

inline CUnit UnitOf(const UnitTraits& traits) {
    CUnit unit;
    unit.name      = "Unit";
    unit.hitpoints = unit.maxHitpoints = traits.hitpoints;
    unit.attack                        = traits.attack;
    unit.defense                       = traits.defense;
    unit.movement                      = traits.movement;
    unit.fireMin                       = traits.fireMin;
    unit.fireMax                       = traits.fireMax;
    unit.slopeMax                      = traits.slopeMax;
    unit.isGeneral                     = traits.general;
    unit.isHeadquarter                 = traits.hq;
    unit.bonusAttack                   = traits.bonusAttack;
    unit.bonusDefense                  = traits.bonusDefense;
    unit.bonusMovement                 = traits.bonusMovement;
    unit.bonusFirerange                = traits.bonusFirerange;
    unit.notUsable                     = traits.notUsable;
    return unit;
}

// Heights of the samples, (column, row) to 0..255; world height = sample.
using SampleHeight = int (*)(int column, int row);

inline int FlatGround(int, int) {
    return 100;
}

// The seed whose match lets `team` move first.
inline uint64_t SeedForTeam(int team) {
    uint64_t seed = 0;
    while (CMatch::FirstTeamOf(seed) != team) {
        ++seed;
    }
    return seed;
}

class CBoard {
public:
    // paint may change the tiles before the match copies them.
    explicit CBoard(SampleHeight height = FlatGround, int firstTeam = 1,
                    const std::function<void(CGridManager&)>& paint = nullptr) {
        WriteFile("terraintypes.xml", TerrainTypesFile());
        map = std::make_shared<CHeightmap>(mapSize, Samples(mapSize, height), mapWidth, 255.0f);
        CGridManager grid("none.xml", map.get());
        for (int y = 0; y < board; ++y) {
            for (int x = 0; x < board; ++x) {
                grid.SetTileUsable(x, y, true);
                grid.SetTileTerrainType(x, y, grass);
            }
        }
        if (paint) {
            paint(grid);
        }
        match = std::make_unique<CMatch>(grid, map, std::make_shared<CTerrainTypes>("terraintypes.xml"),
                                         SeedForTeam(firstTeam));
    }

    int AddUnit(const UnitTraits& traits, int team, int x, int y) { return match->AddUnit(UnitOf(traits), team, x, y); }

    CApplyResult Move(int unit, int x, int y) { return match->Apply(CCommand::Move(unit, x, y)); }
    CApplyResult Fire(int unit, int x, int y) { return match->Apply(CCommand::Fire(unit, x, y)); }
    CApplyResult Finish(int unit) { return match->Apply(CCommand::Finish(unit)); }
    CApplyResult Undo(int unit) { return match->Apply(CCommand::Undo(unit)); }
    CApplyResult EndTurn() { return match->Apply(CCommand::EndTurn()); }

    const CUnit& Unit(int index) const { return *match->GetUnit(index); }
    int          TileUnit(int x, int y) const { return match->GetBoard().GetTile(x, y).unit; }

    std::shared_ptr<CHeightmap> map;
    std::unique_ptr<CMatch>     match;
};

// Whether any event of the result is of the kind.
inline bool Has(const CApplyResult& result, CMatchEvent::Kind kind) {
    return std::any_of(result.events.begin(), result.events.end(),
                       [kind](const CMatchEvent& event) { return event.kind == kind; });
}

} // namespace RulesBoard
