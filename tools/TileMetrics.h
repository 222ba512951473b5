#pragma once

class CHeightmap;

// The tile grid's per-tile measures of a heightmap (32 x 32 tiles whatever
// its size): the raw sample at the tile centre and the slope in degrees,
// the mean SlopeAt over the tile's samples, borders included, mapped from
// the 0..255 scale to 0..90 degrees.
namespace TileMetrics {

constexpr int tilesPerSide = 32;

int SamplesPerTile(const CHeightmap& heightmap);
int CentreSample(const CHeightmap& heightmap, int x, int y);
int SlopeDegrees(const CHeightmap& heightmap, int x, int y);

} // namespace TileMetrics
