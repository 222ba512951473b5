#include <gtest/gtest.h>

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

// A size x size map whose sample at (column, row) is column + 10 * row.
CHeightmap RampMap(int size) {
    std::vector<int> samples(static_cast<size_t>(size) * size);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            samples[static_cast<size_t>(row) * size + column] = column + 10 * row;
        }
    }
    return CHeightmap(size, samples, maxWidth, maxHeight);
}

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
}

TEST(Heightmap, MissingImageGivesAnEmptyMapThatAnswersZero) {
    const CHeightmap map("none.bmp", maxWidth, maxHeight);
    EXPECT_TRUE(map.IsEmpty() && map.GetSample(3, 3) == 0 && map.HeightAt(100.0f, 100.0f) == 0 &&
                map.SlopeAt(0, 0) == 0);
}

TEST(Heightmap, SampleAccessIsClampedToTheMap) {
    CHeightmap map  = RampMap(4);
    const int  huge = std::numeric_limits<int>::max();
    EXPECT_EQ(
        std::make_tuple(map.GetSample(-5, -5), map.GetSample(9, 1), map.GetSample(1, 9), map.GetSample(-huge, huge)),
        std::make_tuple(0, 3 + 10, 1 + 30, 30));
    map.SetSample(7, -2, 99);
    EXPECT_EQ(map.GetSample(3, 0), 99);
}

// On the ramp both triangles interpolate to column + 10 * row exactly;
// outside the map the border sample holds. (u, v) in sample steps.
TEST(Heightmap, HeightAtInterpolatesOnTheSampleTriangles) {
    const CHeightmap map     = RampMap(4);
    const float      spacing = map.GetSpacing();
    const float cases[][3] = {{0, 0, 0},  {2, 1, 12}, {0.25f, 0.25f, 2.75f}, {0.75f, 0.75f, 8.25f}, {1.5f, 2.5f, 26.5f},
                              {3, 3, 33}, {10, 0, 3}, {0, 1.0e9f, 30},       {-1.0e9f, -4, 0}};
    for (const auto& point : cases) {
        EXPECT_NEAR(map.HeightAt(point[0] * spacing, point[1] * spacing), point[2] * 2.0f, 1e-3f)
            << point[0] << "," << point[1];
    }
}

// Which triangle a point falls in matters where the four corners are not planar.
TEST(Heightmap, HeightAtPicksTheTriangleByTheDiagonal) {
    std::vector<int> samples = {0, 0, 0, 100};
    const CHeightmap map(2, samples, 1.0f, 255.0f);
    for (const auto& [at, height] :
         {std::make_pair(0.4f, 0.0f), std::make_pair(0.6f, 20.0f), std::make_pair(1.0f, 100.0f)}) {
        EXPECT_NEAR(map.HeightAt(at, at), height, 1e-4f) << at;
    }
}

TEST(Heightmap, HeightAtOfNonFiniteWorldPositionIsZero) {
    const CHeightmap map = RampMap(4);
    EXPECT_EQ(map.HeightAt(std::nanf(""), 1.0f), 0.0f);
    EXPECT_EQ(map.HeightAt(1.0f, std::numeric_limits<float>::infinity()), 0.0f);
    // A terrain width that is not a number gives no usable spacing either.
    const CHeightmap unscaled(2, {1, 2, 3, 4}, std::nanf(""), 255.0f);
    EXPECT_EQ(unscaled.HeightAt(0.5f, 0.5f), 0.0f);
}

struct SlopeCase {
    std::vector<int> row; // one row repeated three times
    int              column;
    float            slope;
};

class HeightmapSlopeAt : public ::testing::TestWithParam<SlopeCase> {};

// A step of 255 between the two neighbours is a gradient of 127.5, which
// comes out just under 255; a flat map and the clamped border give 0.
INSTANTIATE_TEST_SUITE_P(Steps, HeightmapSlopeAt,
                         ::testing::Values(SlopeCase{{50, 50, 50}, 1, 0.0f}, SlopeCase{{0, 0, 255}, 1, 254.99927f},
                                           SlopeCase{{255, 9, 0}, 1, 254.99927f}, SlopeCase{{0, 10, 20}, 1, 161.19073f},
                                           SlopeCase{{0, 0, 255}, 0, 0.0f}, SlopeCase{{0, 0, 255}, 2, 254.99927f}));

TEST_P(HeightmapSlopeAt, FollowsTheLargerCentralDifference) {
    std::vector<int> samples;
    for (int copy = 0; copy < 3; ++copy) {
        samples.insert(samples.end(), GetParam().row.begin(), GetParam().row.end());
    }
    const CHeightmap map(3, samples, 1.0f, 1.0f);
    EXPECT_NEAR(map.SlopeAt(GetParam().column, 1), GetParam().slope, 1e-3f);
    // Transposed, the vertical difference gives the same value.
    std::vector<int> transposed(9);
    for (int i = 0; i < 9; ++i) {
        transposed[static_cast<size_t>(i % 3) * 3 + i / 3] = samples[static_cast<size_t>(i)];
    }
    const CHeightmap turned(3, transposed, 1.0f, 1.0f);
    EXPECT_NEAR(turned.SlopeAt(1, GetParam().column), GetParam().slope, 1e-3f);
}

} // namespace
