#pragma once

#include <string>
#include <vector>

#include "tools/LevelLayout.h"

class CHeightmap;
class CXmlFile;

// A level of LevelLayout's designs: its heightmap samples, the tile file
// derived from them, the two team files and the placed objects.
namespace LevelGenerator {

struct TileInfo {
    int  terrainId = 0;
    bool usable    = true;
};

// The design's samples per side squared, row-major, row 0 at the top of the picture.
std::vector<int> BuildHeightSamples(const LevelLayout::Design& design);
// One record per tile, index y * 32 + x, consistent with the heightmap.
std::vector<TileInfo> ClassifyTiles(const LevelLayout::Design& design, const CHeightmap& heightmap);

bool WriteTerrainFile(CXmlFile& file, const std::vector<TileInfo>& tiles);
bool WriteTeamFile(const LevelLayout::Design& design, CXmlFile& file, int team);
// Trees on forest, houses beside the roads on open ground, rocks on rough
// ground; never on a tile where a unit starts.
bool WriteObjectsFile(const LevelLayout::Design& design, CXmlFile& file, const std::vector<TileInfo>& tiles);

// Reads a tile file back (missing or short lists leave grass, usable).
std::vector<TileInfo> ReadTerrainFile(const std::string& path);

} // namespace LevelGenerator
