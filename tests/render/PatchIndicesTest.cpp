#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "render/PatchIndices.h"

using namespace PatchIndices;

namespace {

// Twice the signed area seen from above (x = column, z = row); the patterns
// wind counter-clockwise seen from above, which here is a positive value.
int DoubleArea(const CCorner& a, const CCorner& b, const CCorner& c) {
    return (b.row - a.row) * (c.column - a.column) - (b.column - a.column) * (c.row - a.row);
}

TEST(PatchIndices, TriangleCountsOfEveryBlockAndStrip) {
    const int innerExpected[levelCount]             = {1922, 450, 98};
    const int stripExpected[levelCount][levelCount] = {{63, 47, 39}, {47, 31, 23}, {39, 23, 15}};
    for (int level = 0; level < levelCount; ++level) {
        EXPECT_EQ(InnerBlock(level).size(), 3u * innerExpected[level]) << "level " << level;
        EXPECT_EQ(InnerTriangles(level), innerExpected[level]);
        for (int edge = 0; edge < levelCount; ++edge) {
            EXPECT_EQ(RowEdgeStrip(level, edge).size(), 3u * stripExpected[level][edge]) << level << "," << edge;
            EXPECT_EQ(ColumnEdgeStrip(level, edge).size(), 3u * stripExpected[level][edge]) << level << "," << edge;
            EXPECT_EQ(StripTriangles(level, edge), stripExpected[level][edge]);
        }
    }
}

// Every combination of own level and the two edge levels covers the patch's
// 32 × 32 cells exactly once, with no triangle facing down.
TEST(PatchIndices, BlockAndStripsTileThePatchFacingUp) {
    for (int level = 0; level < levelCount; ++level) {
        for (int rowEdge = 0; rowEdge < levelCount; ++rowEdge) {
            for (int columnEdge = 0; columnEdge < levelCount; ++columnEdge) {
                std::vector<CCorner> all = InnerBlock(level);
                for (const auto& strip : {RowEdgeStrip(level, rowEdge), ColumnEdgeStrip(level, columnEdge)}) {
                    all.insert(all.end(), strip.begin(), strip.end());
                }
                int area = 0;
                for (size_t k = 0; k < all.size(); k += 3) {
                    const int twice = DoubleArea(all[k], all[k + 1], all[k + 2]);
                    ASSERT_GT(twice, 0) << "triangle " << k / 3 << " of " << level << "/" << rowEdge << "/"
                                        << columnEdge << " faces down or is degenerate";
                    area += twice;
                }
                EXPECT_EQ(area, 2 * patchCells * patchCells) << level << "/" << rowEdge << "/" << columnEdge;
            }
        }
    }
}

// The first row of a strip uses exactly the vertices that the neighbour's
// block has on its last row at the edge level, so the seam has no T-joints.
TEST(PatchIndices, StripEdgesMatchTheNeighboursLastRow) {
    for (int level = 0; level < levelCount; ++level) {
        for (int edge = 0; edge < levelCount; ++edge) {
            // The neighbour's inner block starts at its step; column 0 comes from its column strip.
            std::set<int> neighbourColumns{0}, edgeColumns, edgeRows;
            for (const CCorner& corner : InnerBlock(edge)) {
                if (corner.row == patchCells) {
                    neighbourColumns.insert(corner.column);
                }
            }
            for (const CCorner& corner : RowEdgeStrip(level, edge)) {
                if (corner.row == 0) {
                    edgeColumns.insert(corner.column);
                }
            }
            for (const CCorner& corner : ColumnEdgeStrip(level, edge)) {
                if (corner.column == 0) {
                    edgeRows.insert(corner.row);
                }
            }
            EXPECT_EQ(edgeColumns, neighbourColumns) << "pair " << level << "," << edge;
            EXPECT_EQ(edgeRows, neighbourColumns) << "column pair " << level << "," << edge;
        }
    }
}

TEST(PatchIndices, CoarseAgainstFineStripHasTheDocumentedSegments) {
    // Pair (2, 0): 32 edge segments against 7 inner segments.
    const std::vector<CCorner> strip         = RowEdgeStrip(2, 0);
    int                        edgeTriangles = 0;
    for (size_t k = 0; k < strip.size(); k += 3) {
        edgeTriangles += strip[k].row == 0 && strip[k + 2].row == 0 ? 1 : 0;
    }
    EXPECT_EQ(edgeTriangles, 32);
    EXPECT_EQ(static_cast<int>(strip.size() / 3) - edgeTriangles, 7);
}

} // namespace
