#include <vector>

#include "FuzzInput.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "rules/TerrainTypes.h"

// Where the lookups add up, so that none is optimised away.
float lookupSum = 0.0f;

// The input as a level's tile file and terrain type list; every tile's type looked up as movement and combat do.
FUZZ_TARGET("terrain.xml") {
    static const CHeightmap heightmap(33, std::vector<int>(33 * 33, 10), 2048.0f, 255.0f);
    CGridManager            grid(path.c_str(), &heightmap);
    const CTerrainTypes     types(path.c_str());
    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            const int type = grid.GetTile(x, y).terrainType;
            if (grid.IsTileUsable(x, y) && types.IsPassable(type)) {
                lookupSum += types.GetMovement(type) + types.GetDefense(type) + types.GetAttack(type);
            }
            lookupSum += static_cast<float>(types.GetName(type).size());
        }
    }
}
