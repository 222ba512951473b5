#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

#include "RulesBoard.h"
#include "rules/TileArea.h"

namespace {

using namespace RulesBoard;

// Range 0: its own tile; diamonds clipped by the board; a negative range: nothing; a huge one: all, no overflow.
TEST(MoveAreaOnAnOpenBoard, IsTheDiamondClippedToTheBoard) {
    const int diamonds[][4] = {{10, 10, 0, 1}, {10, 10, 3, 25}, {0, 0, 3, 10},
                               {31, 15, 2, 9}, {5, 5, -1, 0},   {16, 16, 2000000000, 1024}}; // x, y, range, tiles
    for (const auto& [originX, originY, range, tiles] : diamonds) {
        CTileArea area;
        area.FillMoveArea(originX, originY, range, [](int, int) { return true; });
        EXPECT_EQ(area.GetCount(), tiles) << range;
        for (int i = 0; i < area.GetCount(); ++i) {
            EXPECT_LE(std::abs(area.GetX(i) - originX) + std::abs(area.GetY(i) - originY), std::max(range, 0));
        }
    }
}

// Distances 2 and 3; a corner's quarter; never its own tile; an empty ring; a huge ring.
TEST(FireRing, AreaAndMembershipShareTheRing) {
    const int rings[][5] = {{10, 10, 2, 3, 8 + 12},
                            {0, 31, 1, 5, 2 + 3 + 4 + 5 + 6},
                            {10, 10, 0, 1, 4},
                            {10, 10, 4, 3, 0},
                            {16, 16, -5, 2000000000, 1023}}; // centre, fireMin, fireMax, tiles
    for (const auto& [centreX, centreY, fireMin, fireMax, count] : rings) {
        CTileArea area;
        area.FillFireArea(centreX, centreY, fireMin, fireMax);
        EXPECT_EQ(area.GetCount(), count) << fireMin << ".." << fireMax;
        std::set<std::pair<int, int>> tiles;
        for (int i = 0; i < area.GetCount(); ++i) {
            tiles.insert({area.GetX(i), area.GetY(i)});
        }
        EXPECT_EQ(static_cast<int>(tiles.size()), area.GetCount()) << "a tile entered twice";
        for (int y = -2; y < board + 2; ++y) {
            for (int x = -2; x < board + 2; ++x) {
                const int  distance = std::abs(x - centreX) + std::abs(y - centreY);
                const bool inside = x >= 0 && y >= 0 && x < board && y < board && distance > 0 && distance >= fireMin &&
                                    distance <= fireMax;
                ASSERT_EQ(tiles.count({x, y}) != 0, inside) << x << "," << y;
                ASSERT_EQ(CTileArea::IsInFireRing(centreX, centreY, fireMin, fireMax, x, y), inside) << x << "," << y;
            }
        }
    }
}

} // namespace
