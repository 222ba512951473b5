#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/XmlFile.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "core/BmpHandler.h"

namespace {

constexpr float maxWidth  = 2048.0f;
constexpr float maxHeight = 255.0f; // one world unit per sample step
constexpr int   gridSize  = CGridManager::gridSize;

using SampleFunction = int (*)(int column, int row);

CHeightmap MakeMap(int size, SampleFunction sample) {
    std::vector<int> samples(static_cast<size_t>(size) * size);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            samples[static_cast<size_t>(row) * size + column] = sample(column, row);
        }
    }
    return CHeightmap(size, samples, maxWidth, maxHeight);
}

int Scatter(int column, int row) {
    return (column * 7 + row * 13) % 256;
}

int Flat(int, int) {
    return 77;
}

// Pairs of columns at 0 and 255: every inner sample's horizontal neighbours
// differ by 255.
int Stripes(int column, int) {
    return column % 4 < 2 ? 0 : 255;
}

std::string TileFile(const std::vector<std::string>& elements) {
    std::string text = "<tiles>\n";
    for (const std::string& element : elements) {
        text += element + "\n";
    }
    return text + "</tiles>\n";
}

std::string TileElement(int number, int usable, int terrainId) {
    const std::string name = std::to_string(number);
    return "<" + name + "><usable>" + std::to_string(usable) + "</usable><terrainID>" + std::to_string(terrainId) +
           "</terrainID></" + name + ">";
}

struct SizeCase {
    int size;
    int stepsPerTile;
};

class GridOnHeightmap : public ::testing::TestWithParam<SizeCase> {};

INSTANTIATE_TEST_SUITE_P(Sizes, GridOnHeightmap, ::testing::Values(SizeCase{257, 8}, SizeCase{513, 16}));

TEST_P(GridOnHeightmap, TileHeightIsTheScaledCentreSample) {
    CTempWorkDir       dir;
    const CHeightmap   map = MakeMap(GetParam().size, Scatter);
    const CGridManager grid("none.xml", &map);
    const int          s = GetParam().stepsPerTile;
    for (int y = 0; y < gridSize; ++y) {
        for (int x = 0; x < gridSize; ++x) {
            ASSERT_FLOAT_EQ(grid.GetTile(x, y).height, static_cast<float>(Scatter(s * x + s / 2, s * y + s / 2)))
                << "tile " << x << "," << y;
        }
    }
}

TEST_P(GridOnHeightmap, FlatMapHasNoSlope) {
    CTempWorkDir       dir;
    const CHeightmap   map = MakeMap(GetParam().size, Flat);
    const CGridManager grid("none.xml", &map);
    for (int n = 0; n < CGridManager::tileCount; ++n) {
        ASSERT_EQ(grid.GetTile(n % gridSize, n / gridSize).slope, 0.0f) << "tile " << n;
        ASSERT_EQ(grid.GetTile(n % gridSize, n / gridSize).slopeDegrees, 0) << "tile " << n;
    }
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CalcSlopes"), 0) << ReadFile("log_error.txt");
}

// Inner tiles are made only of 255-step samples; the outermost columns see a
// clamped neighbour and flatten the border tiles.
TEST_P(GridOnHeightmap, SteepestSamplesGiveNinetyDegrees) {
    CTempWorkDir       dir;
    const CHeightmap   map = MakeMap(GetParam().size, Stripes);
    const CGridManager grid("none.xml", &map);
    for (int x = 1; x < gridSize - 1; ++x) {
        EXPECT_GT(grid.GetTile(x, 5).slope, 254.99f) << "tile " << x;
        EXPECT_EQ(grid.GetTile(x, 5).slopeDegrees, 90) << "tile " << x;
    }
    EXPECT_LT(grid.GetTile(0, 5).slope, 254.99f);
}

// A cliff in the single column 8 of a 257 map: the column is the shared
// border of tiles 0 and 1 and counts in both, over (8 + 1)^2 samples.
TEST(GridManager, SlopeIsTheMeanOverTheTileIncludingBothBorders) {
    CTempWorkDir     dir;
    std::vector<int> samples(257 * 257, 0);
    for (int row = 0; row < 257; ++row) {
        for (int column = 9; column < 257; ++column) {
            samples[static_cast<size_t>(row) * 257 + column] = 255;
        }
    }
    const CHeightmap   map(257, samples, maxWidth, maxHeight);
    const CGridManager grid("none.xml", &map);
    const float        steep = map.SlopeAt(8, 0); // just under 255, as is column 9
    EXPECT_NEAR(grid.GetTile(0, 3).slope, steep * 9.0f / 81.0f, 1e-3f);
    EXPECT_NEAR(grid.GetTile(1, 3).slope, steep * 18.0f / 81.0f, 1e-3f);
    EXPECT_EQ(grid.GetTile(0, 3).slopeDegrees, 10);
    EXPECT_EQ(grid.GetTile(1, 3).slopeDegrees, 20);
    EXPECT_EQ(grid.GetTile(2, 3).slope, 0.0f);
}

TEST(GridManager, TileElementNumberIsRowTimes32PlusColumn) {
    CTempWorkDir dir;
    std::string  text = TileFile({});
    // Elements may stand in any order; 33 ends up at tile (1, 1).
    for (int n = 0; n < 40; ++n) {
        text.insert(8, TileElement(n, n == 33 ? 1 : 0, n));
    }
    WriteFile("terrain.xml", text);
    const CHeightmap   map = MakeMap(33, Flat);
    const CGridManager grid("terrain.xml", &map);
    EXPECT_EQ(grid.GetTile(1, 1).terrainType, 33);
    EXPECT_TRUE(grid.GetTile(1, 1).usable);
    EXPECT_EQ(grid.GetTile(7, 1).terrainType, 39);
    EXPECT_EQ(grid.GetTile(8, 1).terrainType, -1);
    EXPECT_FALSE(grid.GetTile(1, 0).usable);
}

TEST(GridManager, FirstIncompleteElementEndsTheList) {
    CTempWorkDir dir;
    WriteFile("terrain.xml", TileFile({TileElement(0, 1, 4), TileElement(1, 1, 5), "<2><usable>1</usable></2>",
                                       TileElement(3, 1, 6)}));
    const CHeightmap   map = MakeMap(33, Flat);
    const CGridManager grid("terrain.xml", &map);
    EXPECT_EQ(grid.GetTile(1, 0).terrainType, 5);
    EXPECT_EQ(grid.GetTile(2, 0).terrainType, -1);
    EXPECT_FALSE(grid.GetTile(2, 0).usable);
    EXPECT_EQ(grid.GetTile(3, 0).terrainType, -1);
}

TEST(GridManager, ElementsBeyondTheBoardAreIgnored) {
    CTempWorkDir             dir;
    std::vector<std::string> elements;
    for (int n = 0; n < 1030; ++n) {
        elements.push_back(TileElement(n, 1, n % 5));
    }
    WriteFile("terrain.xml", TileFile(elements));
    const CHeightmap   map = MakeMap(33, Flat);
    const CGridManager grid("terrain.xml", &map);
    EXPECT_EQ(grid.GetTile(31, 31).terrainType, 1023 % 5);
    EXPECT_TRUE(grid.IsTileUsable(31, 31));
}

TEST(GridManager, MissingFileOrListLeavesEveryTileUnusable) {
    CTempWorkDir dir;
    WriteFile("other.xml", "<tile>" + TileElement(0, 1, 1) + "</tile>");
    const CHeightmap map = MakeMap(33, Flat);
    for (const char* path : {"absent.xml", "other.xml"}) {
        const CGridManager grid(path, &map);
        EXPECT_EQ(grid.GetTile(0, 0).terrainType, -1) << path;
        EXPECT_FALSE(grid.IsTileUsable(0, 0)) << path;
    }
    EXPECT_EQ(ReadFile("log_error.txt"), "CGridManager::LoadTiles: Couldn't load tile file absent.xml\n"
                                         "CGridManager::LoadTiles: other.xml sets 0 of the 1024 tiles (a cut file?); "
                                         "the rest cannot be entered\n");
}

struct WaterCase {
    float waterHeight;
    bool  usable;
};

class GridWater : public ::testing::TestWithParam<WaterCase> {};

// The flat map puts every tile at height 77.
INSTANTIATE_TEST_SUITE_P(Heights, GridWater,
                         ::testing::Values(WaterCase{CGridManager::noWater, true}, WaterCase{76.99f, true},
                                           WaterCase{77.0f, false}, WaterCase{80.0f, false}));

TEST_P(GridWater, TileMustStandStrictlyAboveTheWater) {
    CTempWorkDir dir;
    WriteFile("terrain.xml", TileFile({TileElement(0, 1, 0), TileElement(1, 0, 0)}));
    const CHeightmap map = MakeMap(257, Flat);
    CGridManager     grid("terrain.xml", &map);
    grid.SetWaterHeight(GetParam().waterHeight);
    EXPECT_EQ(grid.IsTileUsable(0, 0), GetParam().usable);
    EXPECT_FALSE(grid.IsTileUsable(1, 0)); // not usable, whatever the water
}

TEST(GridManager, SaveAndLoadRoundTripWritesDrownedTilesUnusable) {
    CTempWorkDir     dir;
    std::vector<int> samples(257 * 257, 100);
    for (int row = 0; row < 257; ++row) {
        for (int column = 0; column < 64; ++column) { // tiles x = 0..7 are low ground
            samples[static_cast<size_t>(row) * 257 + column] = 20;
        }
    }
    const CHeightmap map(257, samples, maxWidth, maxHeight);
    {
        CGridManager grid("terrain.xml", &map);
        for (int n = 0; n < CGridManager::tileCount; ++n) {
            grid.SetTileTerrainType(n % gridSize, n / gridSize, n % 7 - 1);
            grid.SetTileUsable(n % gridSize, n / gridSize, n % 3 != 0);
        }
        grid.SetWaterHeight(20.0f);
        grid.SaveTiles();
    }
    const CGridManager reread("terrain.xml", &map);
    for (int n = 0; n < CGridManager::tileCount; ++n) {
        const int x = n % gridSize, y = n / gridSize;
        ASSERT_EQ(reread.GetTile(x, y).terrainType, n % 7 - 1) << "tile " << n;
        ASSERT_EQ(reread.GetTile(x, y).usable, n % 3 != 0 && x >= 8) << "tile " << n;
    }
}

TEST(GridManager, NullHeightmapStillReadsTilesAndSaysSo) {
    CTempWorkDir dir;
    WriteFile("terrain.xml", TileFile({TileElement(0, 1, 3)}));
    const CGridManager grid("terrain.xml", nullptr);
    EXPECT_EQ(grid.GetTile(0, 0).terrainType, 3);
    EXPECT_EQ(grid.GetTile(0, 0).height, 0.0f);
    EXPECT_EQ(grid.GetTile(0, 0).slope, 0.0f);
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CGridManager: Pointer to Heightmap is NULL"), 1);
}

// A heightmap image that is missing or wider than tall must not be read
// outside its samples.
TEST(GridManager, MissingOrOddShapedHeightmapImages) {
    CTempWorkDir dir;
    {
        CBmpHandler image;
        image.Create("wide.bmp", false, 65, 9);
        image.SetPixel(8, 63, 90, 0, 0, 0); // centre column of tiles (31, y)
        image.Save();
    }
    const CHeightmap   missing("none.bmp", maxWidth, maxHeight);
    const CGridManager onMissing("none.xml", &missing);
    EXPECT_EQ(onMissing.GetTile(31, 31).height, 0.0f);
    const CHeightmap   wide("wide.bmp", maxWidth, maxHeight);
    const CGridManager onWide("none.xml", &wide);
    EXPECT_EQ(onWide.GetTile(31, 31).height, 90.0f); // rows clamp to the last one
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CalcSlopes"), 0) << ReadFile("log_error.txt");
}

TEST(GridManager, PositionsOutsideTheBoardAreRefused) {
    CTempWorkDir     dir;
    const CHeightmap map = MakeMap(33, Flat);
    CGridManager     grid("none.xml", &map);
    const int        outside[][2] = {{-1, 0}, {0, -1}, {32, 0}, {0, 32}, {1000000, -1000000}};
    for (const auto& position : outside) {
        grid.SetTileUnit(position[0], position[1], 5);
        grid.SetTileUsable(position[0], position[1], true);
        grid.SetTileTerrainType(position[0], position[1], 2);
        const Tile& tile = grid.GetTile(position[0], position[1]);
        EXPECT_EQ(tile.unit, -1);
        EXPECT_EQ(tile.terrainType, -1);
        EXPECT_FALSE(grid.IsTileUsable(position[0], position[1]));
    }
    grid.SetTileUnit(31, 31, 5);
    EXPECT_EQ(grid.GetTile(31, 31).unit, 5);
}

// The tile geometry needs no GL context: only the heightmap's size and spacing.
TEST(GridGeometry, TileSizeIsTheTerrainWidthOverTheBoard) {
    CTempWorkDir dir;
    for (const int size : {33, 129, 257, 513}) {
        const CHeightmap   map = MakeMap(size, Flat);
        const CGridManager grid("none.xml", &map);
        EXPECT_FLOAT_EQ(grid.GetTileSize(), maxWidth / gridSize) << size << " samples";
        EXPECT_FLOAT_EQ(CGridManager::TileSizeFor(&map), grid.GetTileSize());
    }
    const CHeightmap empty(0, {}, maxWidth, maxHeight);
    EXPECT_EQ(CGridManager::TileSizeFor(&empty), 0.0f);
    EXPECT_EQ(CGridManager::TileSizeFor(nullptr), 0.0f);
}

struct PointCase {
    float x, z;
    int   column, row;
};

TEST(GridGeometry, WorldPointsFallOnClampedTiles) {
    CTempWorkDir       dir;
    const CHeightmap   map = MakeMap(257, Flat);
    const CGridManager grid("none.xml", &map);
    const float        inf     = std::numeric_limits<float>::infinity();
    const PointCase    cases[] = {
           {0, 0, 0, 0},           {63.9f, 64.0f, 0, 1},       {-1, -1, 0, 0},    {5000, 2047, 31, 31},
           {1e30f, -1e30f, 31, 0}, {std::nanf(""), 100, 0, 1}, {inf, -inf, 0, 0}, {2047.99f, 1024, 31, 16},
    };
    for (const PointCase& point : cases) {
        int column = -5, row = -5;
        grid.WorldToTile(point.x, point.z, column, row);
        EXPECT_EQ(column, point.column) << "x " << point.x;
        EXPECT_EQ(row, point.row) << "z " << point.z;
    }
    int column = -5, row = -5;
    CGridManager::TileUnderPoint(0.0f, 500.0f, 500.0f, column, row);
    EXPECT_EQ(column, 0) << "a board without size has only tile (0, 0) to offer";
    EXPECT_EQ(row, 0);
}

TEST(GridGeometry, EveryTileCentreLiesInItsOwnTile) {
    CTempWorkDir       dir;
    const CHeightmap   map = MakeMap(257, Flat);
    const CGridManager grid("none.xml", &map);
    float              x = 0, z = 0;
    grid.GetTileCentre(2, 31, x, z);
    EXPECT_FLOAT_EQ(x, 160.0f);
    EXPECT_FLOAT_EQ(z, 2016.0f);
    for (int n = 0; n < CGridManager::tileCount; ++n) {
        grid.GetTileCentre(n % gridSize, n / gridSize, x, z);
        int column = -1, row = -1;
        grid.WorldToTile(x, z, column, row);
        ASSERT_EQ(column, n % gridSize) << "tile " << n;
        ASSERT_EQ(row, n / gridSize) << "tile " << n;
    }
}

} // namespace
