#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "RulesBoard.h"
#include "rules/TileArea.h"

namespace {

using namespace RulesBoard;
using TileSet = std::set<std::pair<int, int>>;

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
    TileSet tiles;
    for (int i = 0; i < area.GetCount(); ++i) {
        tiles.insert({area.GetX(i), area.GetY(i)});
    }
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
