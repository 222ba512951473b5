#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"

namespace ContentStages {

bool RunLevelMedia(CContentGenerator& generator, const CHeightmap& heightmap,
                   const std::vector<LevelGenerator::TileInfo>& tiles) {
    (void)generator;
    (void)heightmap;
    (void)tiles;
    return true;
}

} // namespace ContentStages
