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
    return CHeightmap(size, Samples(size, sample), maxWidth, maxHeight);
}

const auto Scatter = [](int column, int row) { return (column * 7 + row * 13) % 256; };
const auto Flat    = [](int, int) { return 77; };
// Pairs of columns at 0 and 255: every inner sample's horizontal neighbours differ by 255.
const auto Stripes = [](int column, int) { return column % 4 < 2 ? 0 : 255; };

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

TEST(GridOnHeightmap, TileHeightIsTheCentreSampleAndSlopesFollowTheSamples) {
    for (const int size : {257, 513}) {
        const int          s   = (size - 1) / gridSize;
        const CHeightmap   map = MakeMap(size, Scatter), flat = MakeMap(size, Flat), striped = MakeMap(size, Stripes);
        const CGridManager grid("none.xml", &map), onFlat("none.xml", &flat), onStripes("none.xml", &striped);
        for (int n = 0; n < CGridManager::tileCount; ++n) {
            const int x = n % gridSize, y = n / gridSize;
            ASSERT_FLOAT_EQ(grid.GetTile(x, y).height, static_cast<float>(Scatter(s * x + s / 2, s * y + s / 2))) << n;
            ASSERT_TRUE(onFlat.GetTile(x, y).slope == 0.0f && onFlat.GetTile(x, y).slopeDegrees == 0) << "tile " << n;
            ASSERT_TRUE(x == 0 || x == gridSize - 1 ||
                        (onStripes.GetTile(x, y).slope > 254.99f && onStripes.GetTile(x, y).slopeDegrees == 90))
                << "tile " << n;
        }
        EXPECT_LT(onStripes.GetTile(0, 5).slope, 254.99f);
    }
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CalcSlopes"), 0) << ReadFile("log_error.txt");
}

// A cliff in column 8 of a 257 map: the shared border of tiles 0 and 1 counts in both, over (8 + 1)^2 samples.
TEST(GridManager, SlopeIsTheMeanOverTheTileIncludingBothBorders) {
    const CHeightmap   map = MakeMap(257, [](int column, int) { return column >= 9 ? 255 : 0; });
    const CGridManager grid("none.xml", &map);
    const float        steep = map.SlopeAt(8, 0); // just under 255, as is column 9
    EXPECT_NEAR(grid.GetTile(0, 3).slope, steep * 9.0f / 81.0f, 1e-3f);
    EXPECT_NEAR(grid.GetTile(1, 3).slope, steep * 18.0f / 81.0f, 1e-3f);
    EXPECT_EQ(grid.GetTile(0, 3).slopeDegrees, 10);
    EXPECT_EQ(grid.GetTile(1, 3).slopeDegrees, 20);
    EXPECT_EQ(grid.GetTile(2, 3).slope, 0.0f);
}

// Element n is tile (n % 32, n / 32), in any order; the first incomplete element ends the list;
// elements beyond the board are ignored; a missing file or list leaves every tile unusable, with a line.
TEST(GridManager, TileFilesNumberTheTilesRowByRowUpToTheFirstGap) {
    std::string shuffled = TileFile({});
    for (int n = 0; n < 40; ++n) {
        shuffled.insert(8, TileElement(n, n == 33 ? 1 : 0, n));
    }
    std::vector<std::string> many;
    for (int n = 0; n < 1030; ++n) {
        many.push_back(TileElement(n, 1, n % 5));
    }
    const struct {
        const char* file;
        std::string text;
        int         x, y, type;
        bool        usable;
    } cases[] = {
        {"shuffled.xml", shuffled, 1, 1, 33, true},
        {"shuffled.xml", shuffled, 7, 1, 39, false},
        {"shuffled.xml", shuffled, 8, 1, -1, false},
        {"gap.xml",
         TileFile({TileElement(0, 1, 4), TileElement(1, 1, 5), "<2><usable>1</usable></2>", TileElement(3, 1, 6)}), 1,
         0, 5, true},
        {"gap.xml", "", 2, 0, -1, false},
        {"gap.xml", "", 3, 0, -1, false},
        {"many.xml", TileFile(many), 31, 31, 1023 % 5, true},
        {"absent.xml", "", 0, 0, -1, false},
        {"other.xml", "<tile>" + TileElement(0, 1, 1) + "</tile>", 0, 0, -1, false},
    };
    const CHeightmap map = MakeMap(33, Flat);
    for (const auto& tile : cases) {
        if (!tile.text.empty()) {
            WriteFile(tile.file, tile.text);
        }
        const CGridManager grid(tile.file, &map);
        EXPECT_EQ(grid.GetTile(tile.x, tile.y).terrainType, tile.type) << tile.file << " " << tile.x << "," << tile.y;
        EXPECT_EQ(grid.IsTileUsable(tile.x, tile.y), tile.usable) << tile.file << " " << tile.x << "," << tile.y;
    }
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(CountLinesWith(log, "LoadTiles: Couldn't load tile file absent.xml"), 1) << log;
    EXPECT_EQ(CountLinesWith(log, "other.xml sets 0 of the 1024 tiles (a cut file?); the rest cannot be entered"), 1);
}

// A tile must stand strictly above the water; the save writes drowned tiles unusable.
TEST(GridManager, WaterDrownsTilesNotAboveItAndTheSaveWritesThemUnusable) {
    const CHeightmap map = MakeMap(257, [](int column, int) { return column < 64 ? 20 : 100; }); // tiles x < 8 low
    {
        CGridManager grid("terrain.xml", &map);
        for (int n = 0; n < CGridManager::tileCount; ++n) {
            grid.SetTileTerrainType(n % gridSize, n / gridSize, n % 7 - 1);
            grid.SetTileUsable(n % gridSize, n / gridSize, n % 3 != 0);
        }
        for (const auto& [water, usable] : {std::make_pair(CGridManager::noWater, true), std::make_pair(19.99f, true),
                                            std::make_pair(20.0f, false), std::make_pair(80.0f, false)}) {
            grid.SetWaterHeight(water);
            EXPECT_EQ(grid.IsTileUsable(1, 0), usable) << water;
            EXPECT_FALSE(grid.IsTileUsable(0, 0)) << "not usable, whatever the water";
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

// A heightmap image that is missing or wider than tall, or none at all, is not read outside its samples.
TEST(GridManager, MissingOrOddShapedHeightmapImages) {
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
    WriteFile("terrain.xml", TileFile({TileElement(0, 1, 3)}));
    const CGridManager unmapped("terrain.xml", nullptr);
    EXPECT_TRUE(unmapped.GetTile(0, 0).terrainType == 3 && unmapped.GetTile(0, 0).height == 0 &&
                unmapped.GetTile(0, 0).slope == 0);
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CGridManager: Pointer to Heightmap is NULL"), 1);
}

// The tile geometry needs no GL context, only the heightmap's size and spacing; outside the board
// nothing is set.
TEST(GridGeometry, WorldPointsFallOnClampedTilesAndPositionsOutsideTheBoardAreRefused) {
    const CHeightmap map = MakeMap(257, Flat), empty(0, {}, maxWidth, maxHeight);
    CGridManager     grid("none.xml", &map);
    const int        outside[][2] = {{-1, 0}, {0, -1}, {32, 0}, {0, 32}, {1000000, -1000000}};
    for (const auto& [x, y] : outside) {
        grid.SetTileUnit(x, y, 5);
        grid.SetTileUsable(x, y, true);
        grid.SetTileTerrainType(x, y, 2);
        EXPECT_TRUE(grid.GetTile(x, y).unit == -1 && grid.GetTile(x, y).terrainType == -1 && !grid.IsTileUsable(x, y));
    }
    grid.SetTileUnit(31, 31, 5);
    EXPECT_EQ(grid.GetTile(31, 31).unit, 5);
    EXPECT_FLOAT_EQ(grid.GetTileSize(), maxWidth / gridSize);
    EXPECT_EQ(CGridManager::TileSizeFor(&empty), 0.0f);
    EXPECT_EQ(CGridManager::TileSizeFor(nullptr), 0.0f);
    const float inf        = std::numeric_limits<float>::infinity();
    const float cases[][4] = {
        {0, 0, 0, 0},           {63.9f, 64.0f, 0, 1},       {-1, -1, 0, 0},    {5000, 2047, 31, 31},
        {1e30f, -1e30f, 31, 0}, {std::nanf(""), 100, 0, 1}, {inf, -inf, 0, 0}, {2047.99f, 1024, 31, 16},
    };
    for (const auto& point : cases) {
        int column = -5, row = -5;
        grid.WorldToTile(point[0], point[1], column, row);
        EXPECT_EQ(std::make_pair(column, row), std::make_pair(static_cast<int>(point[2]), static_cast<int>(point[3])))
            << point[0] << "," << point[1];
    }
    int column = -5, row = -5;
    CGridManager::TileUnderPoint(0.0f, 500.0f, 500.0f, column, row);
    EXPECT_EQ(std::make_pair(column, row), std::make_pair(0, 0)) << "a board without size has only tile (0, 0)";
    float x = 0, z = 0;
    grid.GetTileCentre(2, 31, x, z);
    EXPECT_FLOAT_EQ(x, 160.0f);
    EXPECT_FLOAT_EQ(z, 2016.0f);
    for (int n = 0; n < CGridManager::tileCount; ++n) {
        grid.GetTileCentre(n % gridSize, n / gridSize, x, z);
        column = row = -1;
        grid.WorldToTile(x, z, column, row);
        ASSERT_EQ(std::make_pair(column, row), std::make_pair(n % gridSize, n / gridSize)) << "tile " << n;
    }
}

} // namespace
