#include <cstdint>
#include <vector>

#include "FuzzInput.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "rules/TerrainTypes.h"

// Reads the input as a level's tile file and as the terrain type list, then
// looks every tile's type up the way movement and combat do.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const CHeightmap heightmap(33, std::vector<int>(33 * 33, 10), 2048.0f, 255.0f);
    const std::string       path = WriteFuzzInput(data, size, "terrain.xml");
    CGridManager            grid(path.c_str(), &heightmap);
    const CTerrainTypes     types(path.c_str());
    float                   total = 0.0f;
    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            const int type = grid.GetTile(x, y).terrainType;
            if (grid.IsTileUsable(x, y) && types.IsPassable(type)) {
                total += types.GetMovement(type) + types.GetDefense(type) + types.GetAttack(type);
            }
            total += static_cast<float>(types.GetName(type).size());
        }
    }
    return total < 0.0f ? 0 : 0;
}
