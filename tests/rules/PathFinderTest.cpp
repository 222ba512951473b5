#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "RulesBoard.h"
#include "rules/PathFinder.h"

namespace {

using Path = std::vector<std::pair<int, int>>;
using namespace RulesBoard;

// Blocked tiles for the validity callback; cost 1 and the squared distance as estimate, as on plain ground.
using Blocked = std::set<std::pair<int, int>>;

bool NotBlocked(const CPathNode&, const CPathNode& candidate, void* data) {
    return static_cast<Blocked*>(data)->count({candidate.x, candidate.y}) == 0;
}

double SquaredDistance(const CPathNode& destination, const CPathNode& node, void*) {
    const int dx = node.x - destination.x, dy = node.y - destination.y;
    return dx * dx + dy * dy;
}

double UnitCost(const CPathNode&, const CPathNode&, void*) {
    return 1.0;
}

class PathFinderTest : public ::testing::Test {
protected:
    void SetUp() override { finder.SetCallbacks(UnitCost, SquaredDistance, NotBlocked, &blocked); }

    void BlockRing(int x, int y) {
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                if (dx != 0 || dy != 0) {
                    blocked.insert({x + dx, y + dy});
                }
            }
        }
    }

    Blocked     blocked;
    CPathFinder finder;
};

TEST_F(PathFinderTest, OneTileDiagonalStepsAndDiagonalsBetweenBlockedEdgeNeighbours) {
    ASSERT_TRUE(finder.FindPath(7, 9, 7, 9));
    EXPECT_EQ(finder.GetPath(), (Path{{7, 9}}));
    EXPECT_EQ(finder.GetIterations(), 1);
    EXPECT_EQ(finder.GetBestNode()->parent, nullptr);
    ASSERT_TRUE(finder.FindPath(0, 0, 3, 3));
    EXPECT_EQ(finder.GetPath(), (Path{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    ASSERT_TRUE(finder.FindPath(3, 3, 0, 0)); // a second search starts afresh
    EXPECT_EQ(finder.GetPath(), (Path{{3, 3}, {2, 2}, {1, 1}, {0, 0}}));
    blocked = {{6, 5}, {5, 6}};
    ASSERT_TRUE(finder.FindPath(5, 5, 6, 6));
    EXPECT_EQ(finder.GetPath(), (Path{{5, 5}, {6, 6}}));
}

TEST_F(PathFinderTest, EnclosedTilesCannotBeReached) {
    BlockRing(20, 20);
    EXPECT_FALSE(finder.FindPath(2, 2, 20, 20)) << "the budget runs out before the board is searched";
    EXPECT_EQ(finder.GetIterations(), finder.GetBudget());
    EXPECT_TRUE(finder.GetPath().empty());
    EXPECT_EQ(finder.GetBestNode(), nullptr);
    BlockRing(3, 3);
    EXPECT_FALSE(finder.FindPath(3, 3, 20, 21)) << "an enclosed start empties the open list";
    EXPECT_EQ(finder.GetIterations(), 1);
}

// Among equal f the newest node comes first: without an estimate (6, 6), linked last, is taken first.
TEST_F(PathFinderTest, AmongEqualCostsTheNewestNodeIsTakenFirst) {
    finder.SetCallbacks(UnitCost, nullptr, NotBlocked, &blocked);
    ASSERT_TRUE(finder.FindPath(5, 5, 6, 6));
    EXPECT_EQ(finder.GetIterations(), 2);
    ASSERT_TRUE(finder.FindPath(5, 5, 4, 4));
    EXPECT_EQ(finder.GetIterations(), 9);
}

// A swamp (cost 10) across the straight line from (2, 9) to (12, 9), open at rows 3 and 4: with an
// estimate that never overrates, the search finds a path as cheap as the detour over the swamp.
double SwampCost(const CPathNode&, const CPathNode& to, void*) {
    return to.x >= 5 && to.x <= 9 && to.y >= 5 && to.y <= 14 ? 10.0 : 1.0;
}

double StepsLeft(const CPathNode& destination, const CPathNode& node, void*) {
    return std::max(std::abs(node.x - destination.x), std::abs(node.y - destination.y));
}

TEST_F(PathFinderTest, FindsThePathAsCheapAsTheDetour) {
    finder.SetCallbacks(SwampCost, StepsLeft, NotBlocked, &blocked);
    ASSERT_TRUE(finder.FindPath(2, 9, 12, 9));
    const Path path = finder.GetPath();
    double     cost = 0.0;
    for (size_t i = 1; i < path.size(); ++i) {
        ASSERT_LE(std::max(std::abs(path[i].first - path[i - 1].first), std::abs(path[i].second - path[i - 1].second)),
                  1);
        cost += SwampCost(CPathNode(), CPathNode{0, 0, 0, path[i].first, path[i].second}, nullptr);
    }
    EXPECT_EQ(cost, 14.0) << "up five rows, across above the swamp and down again: 5 + 4 + 5";
}

// A chain through every tile, row by row: the node at position k is taken in iteration k + 1.
int ChainPosition(int x, int y) {
    return y * board + (y % 2 == 0 ? x : board - 1 - x);
}

bool NextInChain(const CPathNode& parent, const CPathNode& candidate, void*) {
    return ChainPosition(candidate.x, candidate.y) == ChainPosition(parent.x, parent.y) + 1;
}

TEST_F(PathFinderTest, OnlyTheFirst639IterationsCanFindTheDestination) {
    finder.SetCallbacks(UnitCost, SquaredDistance, NextInChain, nullptr);
    ASSERT_EQ(finder.GetBudget(), 640);
    auto tileAt = [](int position, int& x, int& y) {
        y = position / board;
        x = y % 2 == 0 ? position % board : board - 1 - position % board;
    };
    for (const int position : {100, 637, 638, 639, 640, 700}) {
        int x = 0, y = 0;
        tileAt(position, x, y);
        const bool found = finder.FindPath(0, 0, x, y);
        EXPECT_EQ(found, position + 1 <= 639) << "position " << position;
        EXPECT_EQ(finder.GetIterations(), std::min(position + 1, 640)) << "position " << position;
        EXPECT_EQ(finder.GetPath().size(), found ? static_cast<size_t>(position + 1) : 0u);
    }
}

// The match's search: its own tile is passable for the unit, other units' are not; a walled tile gives no path.
TEST(UnitPaths, OwnTilePassableOthersBlockedAndWalledTilesUnreachable) {
    CBoard    b(FlatGround, 1, [](CGridManager& grid) {
        for (int dx = -1; dx <= 1; ++dx) { // a walled tile at (20, 20)
            for (int dy = -1; dy <= 1; ++dy) {
                grid.SetTileUsable(20 + dx, 20 + dy, dx == 0 && dy == 0);
            }
        }
    });
    const int mover = b.AddUnit(UnitTraits(), 1, 5, 5);
    const int other = b.AddUnit(UnitTraits(), 2, 6, 6);
    b.AddUnit(UnitTraits(), 2, 6, 5);
    EXPECT_TRUE(b.match->IsTilePassable(mover, 5, 5));
    EXPECT_FALSE(b.match->IsTilePassable(mover, 6, 6));
    EXPECT_FALSE(b.match->IsTilePassable(other, 5, 5));
    const auto path = b.match->FindPath(mover, 7, 5);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[1], std::make_pair(6, 4)) << "around the two units";
    EXPECT_TRUE(b.match->FindPath(mover, 20, 20).empty());
}

} // namespace
