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

// A match on a made-up board: 129 samples over 2048 world units (a tile is 64 units, 4 samples),
// all usable grass unless a test paints it, three terrain types. Header-only: only *Test.cpp compile.
namespace RulesBoard {

constexpr int   mapSize  = 129;
constexpr float mapWidth = 2048.0f;
constexpr float tileSize = 64.0f;
constexpr int   board    = CGridManager::gridSize;

enum Terrain { grass = 0, forest = 1, rock = 2 };

struct UnitTraits {
    int              hitpoints = 1000, attack = 10, defense = 10, movement = 5, fireMin = 1, fireMax = 3, slopeMax = 30;
    bool             general = false, hq = false;
    int              bonusAttack = 0, bonusDefense = 0, bonusMovement = 0, bonusFirerange = 0;
    std::vector<int> notUsable;
};

// The standard traits as `change` leaves them: Traits([](UnitTraits& t) { t.hq = true; }).
template <class Change> UnitTraits Traits(Change change) {
    UnitTraits traits;
    change(traits);
    return traits;
}

inline UnitTraits Headquarters() {
    return Traits([](UnitTraits& t) { t.hq = true, t.movement = 0; });
}

inline CUnit UnitOf(const UnitTraits& t) {
    CUnit unit;
    unit.name      = "Unit";
    unit.hitpoints = unit.maxHitpoints = t.hitpoints;
    unit.attack = t.attack, unit.defense = t.defense, unit.movement = t.movement, unit.slopeMax = t.slopeMax;
    unit.fireMin = t.fireMin, unit.fireMax = t.fireMax, unit.isGeneral = t.general, unit.isHeadquarter = t.hq;
    unit.bonusAttack = t.bonusAttack, unit.bonusDefense = t.bonusDefense, unit.bonusMovement = t.bonusMovement;
    unit.bonusFirerange = t.bonusFirerange, unit.notUsable = t.notUsable;
    return unit;
}

// Heights of the samples, (column, row) to 0..255; world height = sample.
using SampleHeight = int (*)(int column, int row);

constexpr auto FlatGround = [](int, int) { return 100; };

class CBoard {
public:
    // paint may change the tiles before the match copies them.
    explicit CBoard(SampleHeight height = FlatGround, int firstTeam = 1,
                    const std::function<void(CGridManager&)>& paint = nullptr) {
        // Grass: defence 0, cost 1; forest: defence 2, cost 2; rock: defence 6, cost 3.
        WriteFile("terraintypes.xml",
                  "<terraintypes><0><name>Grass</name><attack>0</attack><defense>0</defense><movement>1</movement></0>"
                  "<1><name>Forest</name><attack>1</attack><defense>2</defense><movement>2</movement></1>"
                  "<2><name>Rock</name><attack>2</attack><defense>6</defense><movement>3</movement></2>"
                  "</terraintypes>");
        map = std::make_shared<CHeightmap>(mapSize, Samples(mapSize, height), mapWidth, 255.0f);
        CGridManager grid("none.xml", map.get());
        for (int n = 0; n < CGridManager::tileCount; ++n) {
            grid.SetTileUsable(n % board, n / board, true);
            grid.SetTileTerrainType(n % board, n / board, grass);
        }
        if (paint) {
            paint(grid);
        }
        uint64_t seed = 0; // the first that lets firstTeam move first
        while (CMatch::FirstTeamOf(seed) != firstTeam) {
            ++seed;
        }
        match = std::make_unique<CMatch>(grid, map, std::make_shared<CTerrainTypes>("terraintypes.xml"), seed);
    }

    int AddUnit(const UnitTraits& traits, int team, int x, int y) { return match->AddUnit(UnitOf(traits), team, x, y); }

    CApplyResult Fire(int unit, int x, int y) { return match->Apply(CCommand::Fire(unit, x, y)); }
    CApplyResult Finish(int unit) { return match->Apply(CCommand::Finish(unit)); }

    const CUnit& Unit(int index) const { return *match->GetUnit(index); }
    int          TileUnit(int x, int y) const { return match->GetBoard().GetTile(x, y).unit; }

    std::shared_ptr<CHeightmap> map;
    std::unique_ptr<CMatch>     match;
};

inline bool Has(const CApplyResult& result, CMatchEvent::Kind kind) {
    return std::any_of(result.events.begin(), result.events.end(),
                       [kind](const CMatchEvent& event) { return event.kind == kind; });
}

} // namespace RulesBoard
