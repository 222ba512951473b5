#include "tools/TileMetrics.h"

#include <cmath>

#include "core/Heightmap.h"

namespace TileMetrics {

namespace {
constexpr float degreesPerSlopeUnit = 0.3529412f; // 90 / 255
}

int SamplesPerTile(const CHeightmap& heightmap) {
    return (heightmap.GetWidth() - 1) / tilesPerSide;
}

int CentreSample(const CHeightmap& heightmap, int x, int y) {
    const int steps = SamplesPerTile(heightmap);
    return heightmap.GetSample((2 * x + 1) * steps / 2, (2 * y + 1) * steps / 2);
}

int SlopeDegrees(const CHeightmap& heightmap, int x, int y) {
    const int steps = SamplesPerTile(heightmap);
    float     sum   = 0.0f;
    for (int row = y * steps; row <= y * steps + steps; ++row) {
        for (int column = x * steps; column <= x * steps + steps; ++column) {
            sum += std::fabs(heightmap.SlopeAt(column, row));
        }
    }
    const float slope = sum / static_cast<float>((steps + 1) * (steps + 1));
    return static_cast<int>(std::floor(slope * degreesPerSlopeUnit + 0.5f));
}

} // namespace TileMetrics
