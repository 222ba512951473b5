#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <set>
#include <utility>

#include "RulesBoard.h"
#include "rules/TileArea.h"

namespace {

using namespace RulesBoard;
using TileSet = std::set<std::pair<int, int>>;

TileSet AsSet(const CTileArea& area) {
    TileSet tiles;
    for (int i = 0; i < area.GetCount(); ++i) {
        tiles.insert({area.GetX(i), area.GetY(i)});
    }
    return tiles;
}

// A rough board from a seed: per tile a height (some below the water), a
// ridge of alternating samples on some tiles (steep), a terrain type.
unsigned seedState = 1;

int NextRandom() {
    seedState = seedState * 1103515245u + 12345u;
    return static_cast<int>((seedState >> 16) & 0x7FFF);
}

unsigned char tileHeights[board][board];
bool          tileRidged[board][board];

int RoughGround(int column, int row) {
    const int x = std::min(column / 4, board - 1), y = std::min(row / 4, board - 1);
    if (tileRidged[y][x]) {
        return column % 2 == 0 ? 0 : 255;
    }
    return tileHeights[y][x];
}

// The move area by a breadth-first search over the four edge neighbours,
// written from the rule itself: the tiles connected to the origin through
// passable tiles inside the diamond and the board.
TileSet ReferenceMoveArea(const CBoard& b, int unit, int originX, int originY, int range) {
    const CUnit& u        = b.Unit(unit);
    auto         passable = [&](int x, int y) {
        const CGridManager& grid = b.match->GetBoard();
        const Tile&         tile = grid.GetTile(x, y);
        const bool forbidden = std::find(u.notUsable.begin(), u.notUsable.end(), tile.terrainType) != u.notUsable.end();
        return tile.usable && tile.height > grid.GetWaterHeight() && tile.terrainType >= 0 && tile.terrainType < 3 &&
               !forbidden && u.slopeMax >= tile.slopeDegrees && (tile.unit == -1 || tile.unit == unit);
    };
    TileSet                         area;
    std::deque<std::pair<int, int>> queue;
    if (passable(originX, originY)) {
        area.insert({originX, originY});
        queue.push_back({originX, originY});
    }
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : steps) {
            const int nx = x + step[0], ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= board || ny >= board ||
                std::abs(nx - originX) + std::abs(ny - originY) > range || area.count({nx, ny}) != 0 ||
                !passable(nx, ny)) {
                continue;
            }
            area.insert({nx, ny});
            queue.push_back({nx, ny});
        }
    }
    return area;
}

class MoveAreaOnRoughBoards : public ::testing::TestWithParam<unsigned> {};

INSTANTIATE_TEST_SUITE_P(Seeds, MoveAreaOnRoughBoards, ::testing::Values(1u, 7u, 42u, 1234u, 99991u));

TEST_P(MoveAreaOnRoughBoards, EqualsABreadthFirstSearchWithinTheDiamond) {
    seedState = GetParam();
    for (int y = 0; y < board; ++y) {
        for (int x = 0; x < board; ++x) {
            tileHeights[y][x] = static_cast<unsigned char>(42 + NextRandom() % 16); // a quarter under the water at 45
            tileRidged[y][x]  = NextRandom() % 12 == 0;
        }
    }
    CBoard     b(RoughGround, 1, [](CGridManager& grid) {
        grid.SetWaterHeight(45.0f);
        for (int y = 0; y < board; ++y) {
            for (int x = 0; x < board; ++x) {
                grid.SetTileTerrainType(x, y, NextRandom() % 3);
                grid.SetTileUsable(x, y, NextRandom() % 15 != 0);
            }
        }
    });
    UnitTraits traits;
    traits.slopeMax  = 45;
    traits.notUsable = {rock};
    const int unit   = b.AddUnit(traits, 1, 0, 0);
    ASSERT_EQ(unit, 0);
    for (int other = 0; other < 40; ++other) {
        b.AddUnit(UnitTraits(), 2, NextRandom() % board, NextRandom() % board);
    }
    int nonTrivial = 0;
    for (int trial = 0; trial < 200; ++trial) {
        const int originX = trial < 4 ? (trial % 2) * 31 : NextRandom() % board; // corners too
        const int originY = trial < 4 ? (trial / 2) * 31 : NextRandom() % board;
        const int range   = trial % 11;
        if (!b.match->IsTilePassable(unit, originX, originY)) {
            continue; // units start from tiles they may enter
        }
        CTileArea area;
        area.FillMoveArea(originX, originY, range, [&](int x, int y) { return b.match->IsTilePassable(unit, x, y); });
        const TileSet expected = ReferenceMoveArea(b, unit, originX, originY, range);
        ASSERT_EQ(AsSet(area), expected) << "origin " << originX << "," << originY << " range " << range;
        ASSERT_EQ(area.GetCount(), static_cast<int>(expected.size())) << "a tile entered twice";
        nonTrivial += expected.size() > 3 ? 1 : 0;
    }
    EXPECT_GT(nonTrivial, 25) << "the boards should leave room to move";
}

struct DiamondCase {
    int originX, originY, range;
    int tiles; // on an open board
};

class MoveAreaOnAnOpenBoard : public ::testing::TestWithParam<DiamondCase> {};

INSTANTIATE_TEST_SUITE_P(Diamonds, MoveAreaOnAnOpenBoard,
                         ::testing::Values(DiamondCase{10, 10, 0, 1},               // movement 0: its own tile
                                           DiamondCase{10, 10, 3, 25},              // the whole diamond
                                           DiamondCase{0, 0, 3, 10},                // clipped to a quarter
                                           DiamondCase{31, 15, 2, 9},               // clipped on one side
                                           DiamondCase{5, 5, -1, 0},                // a negative range: nothing
                                           DiamondCase{16, 16, 2000000000, 1024})); // everything, no overflow

TEST_P(MoveAreaOnAnOpenBoard, IsTheDiamondClippedToTheBoard) {
    const DiamondCase& diamond = GetParam();
    CTileArea          area;
    area.FillMoveArea(diamond.originX, diamond.originY, diamond.range, [](int, int) { return true; });
    EXPECT_EQ(area.GetCount(), diamond.tiles);
    for (int i = 0; i < area.GetCount(); ++i) {
        EXPECT_LE(std::abs(area.GetX(i) - diamond.originX) + std::abs(area.GetY(i) - diamond.originY),
                  std::max(diamond.range, 0));
    }
}

struct RingCase {
    int centreX, centreY, fireMin, fireMax;
    int tiles;
};

class FireRing : public ::testing::TestWithParam<RingCase> {};

INSTANTIATE_TEST_SUITE_P(Rings, FireRing,
                         ::testing::Values(RingCase{10, 10, 2, 3, 8 + 12},           // distances 2 and 3
                                           RingCase{0, 31, 1, 5, 2 + 3 + 4 + 5 + 6}, // a corner: one quarter
                                           RingCase{10, 10, 0, 1, 4},                // never its own tile
                                           RingCase{10, 10, 4, 3, 0},                // an empty ring
                                           RingCase{16, 16, -5, 2000000000, 1023}));

TEST_P(FireRing, AreaAndMembershipShareTheRing) {
    const RingCase& ring = GetParam();
    CTileArea       area;
    area.FillFireArea(ring.centreX, ring.centreY, ring.fireMin, ring.fireMax);
    EXPECT_EQ(area.GetCount(), ring.tiles);
    const TileSet tiles = AsSet(area);
    EXPECT_EQ(static_cast<int>(tiles.size()), area.GetCount()) << "a tile entered twice";
    for (int y = -2; y < board + 2; ++y) {
        for (int x = -2; x < board + 2; ++x) {
            const int  distance = std::abs(x - ring.centreX) + std::abs(y - ring.centreY);
            const bool inside   = x >= 0 && y >= 0 && x < board && y < board && distance > 0 &&
                                distance >= ring.fireMin && distance <= ring.fireMax;
            ASSERT_EQ(tiles.count({x, y}) != 0, inside) << x << "," << y;
            ASSERT_EQ(CTileArea::IsInFireRing(ring.centreX, ring.centreY, ring.fireMin, ring.fireMax, x, y), inside)
                << x << "," << y;
        }
    }
}

} // namespace
