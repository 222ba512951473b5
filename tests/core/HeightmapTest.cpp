#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "TestSupport.h"
#include "core/Heightmap.h"
#include "core/BmpHandler.h"

namespace {

constexpr float maxWidth  = 2048.0f;
constexpr float maxHeight = 510.0f; // two world units per sample step

// A missing image gives an empty map that answers 0.
TEST(Heightmap, ReadsTheRedChannelWithRowZeroAtTheTop) {
    {
        CBmpHandler image;
        image.Create("map.bmp", false, 5, 5);
        image.SetPixel(0, 1, 200, 7, 9, 0);
        image.SetPixel(4, 3, 17, 250, 250, 0);
        image.Save();
    }
    const CHeightmap map("map.bmp", maxWidth, maxHeight);
    EXPECT_EQ(map.GetWidth(), 5);
    EXPECT_EQ(std::make_tuple(map.GetSample(1, 0), map.GetSample(3, 4), map.GetSample(0, 0)),
              std::make_tuple(200, 17, 0));
    const CHeightmap missing("none.bmp", maxWidth, maxHeight);
    EXPECT_TRUE(missing.IsEmpty() && missing.GetSample(3, 3) == 0 && missing.HeightAt(100.0f, 100.0f) == 0 &&
                missing.SlopeAt(0, 0) == 0);
}

// On the ramp both triangles interpolate to column + 10 * row exactly; outside the map the border sample holds; a
// position that is not a number gives 0. (u, v) in sample steps; the height in samples (two world units each).
TEST(Heightmap, ReadsAreClampedAndHeightAtInterpolatesOnTheSampleTriangles) {
    CHeightmap  map(4, Samples(4, [](int column, int row) { return column + 10 * row; }), maxWidth, maxHeight);
    const float spacing = map.GetSpacing(), nan = std::nanf(""), inf = std::numeric_limits<float>::infinity();
    const int   huge         = std::numeric_limits<int>::max();
    const int   samples[][3] = {{-5, -5, 0}, {9, 1, 13}, {1, 9, 31}, {-huge, huge, 30}};
    for (const auto& sample : samples) {
        EXPECT_EQ(map.GetSample(sample[0], sample[1]), sample[2]) << sample[0] << "," << sample[1];
    }
    const float heights[][3] = {
        {0, 0, 0},  {2, 1, 12},      {0.25f, 0.25f, 2.75f}, {0.75f, 0.75f, 8.25f}, {1.5f, 2.5f, 26.5f}, {3, 3, 33},
        {10, 0, 3}, {0, 1.0e9f, 30}, {-1.0e9f, -4, 0},      {nan, 1, 0},           {1, inf, 0}};
    for (const auto& point : heights) {
        EXPECT_NEAR(map.HeightAt(point[0] * spacing, point[1] * spacing), point[2] * 2.0f, 1e-3f)
            << point[0] << "," << point[1];
    }
    map.SetSample(7, -2, 99);
    EXPECT_EQ(map.GetSample(3, 0), 99);
    // A terrain width that is not a number gives no usable spacing either.
    EXPECT_EQ(CHeightmap(2, {1, 2, 3, 4}, nan, 255.0f).HeightAt(0.5f, 0.5f), 0.0f);
    // Which triangle a point falls in matters where the four corners are not planar.
    const CHeightmap corner(2, {0, 0, 0, 100}, 1.0f, 255.0f);
    for (const auto& [at, height] :
         {std::make_pair(0.4f, 0.0f), std::make_pair(0.6f, 20.0f), std::make_pair(1.0f, 100.0f)}) {
        EXPECT_NEAR(corner.HeightAt(at, at), height, 1e-4f) << at;
    }
}

// A step of 255 between the two neighbours is a gradient of 127.5, which comes out just under 255; a flat map and
// the clamped border give 0. Transposed, the vertical difference gives the same value.
TEST(Heightmap, SlopeFollowsTheLargerCentralDifference) {
    // A row of the map (repeated three times), the column and its slope.
    const std::tuple<std::array<int, 3>, int, float> cases[] = {
        {{50, 50, 50}, 1, 0.0f},      {{0, 0, 255}, 1, 254.99927f}, {{255, 9, 0}, 1, 254.99927f},
        {{0, 10, 20}, 1, 161.19073f}, {{0, 0, 255}, 0, 0.0f},       {{0, 0, 255}, 2, 254.99927f}};
    for (const auto& [row, column, slope] : cases) {
        std::vector<int> rows(9), columns(9);
        for (int i = 0; i < 9; ++i) {
            rows[static_cast<size_t>(i)]    = row[i % 3];
            columns[static_cast<size_t>(i)] = row[i / 3];
        }
        EXPECT_NEAR(CHeightmap(3, rows, 1.0f, 1.0f).SlopeAt(column, 1), slope, 1e-3f) << row[2];
        EXPECT_NEAR(CHeightmap(3, columns, 1.0f, 1.0f).SlopeAt(1, column), slope, 1e-3f) << row[2];
    }
}

} // namespace
