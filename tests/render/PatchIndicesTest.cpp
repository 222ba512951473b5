#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "render/PatchIndices.h"

using namespace PatchIndices;

namespace {

// Twice the signed area seen from above (x = column, z = row): positive when counter-clockwise.
int DoubleArea(const CCorner& a, const CCorner& b, const CCorner& c) {
    return (b.row - a.row) * (c.column - a.column) - (b.column - a.column) * (c.row - a.row);
}

// Every combination of levels covers the patch's 32 × 32 cells once, no triangle facing down. A strip's
// first row uses exactly the vertices of the neighbour block's last row at the edge level: no T-joints.
TEST(PatchIndices, BlockAndStripsTileThePatchFacingUpAndMeetTheNeighbours) {
    const int innerExpected[levelCount]             = {1922, 450, 98};
    const int stripExpected[levelCount][levelCount] = {{63, 47, 39}, {47, 31, 23}, {39, 23, 15}};
    for (int level = 0; level < levelCount; ++level) {
        EXPECT_EQ(InnerBlock(level).size(), 3u * innerExpected[level]) << "level " << level;
        EXPECT_EQ(InnerTriangles(level), innerExpected[level]);
        for (int edge = 0; edge < levelCount; ++edge) {
            SCOPED_TRACE(std::to_string(level) + "/" + std::to_string(edge));
            const std::vector<CCorner> rowStrip = RowEdgeStrip(level, edge), columnStrip = ColumnEdgeStrip(level, edge);
            EXPECT_EQ(rowStrip.size(), 3u * stripExpected[level][edge]);
            ASSERT_EQ(columnStrip.size(), rowStrip.size());
            EXPECT_EQ(StripTriangles(level, edge), stripExpected[level][edge]);
            // The neighbour's inner block starts at its step; column 0 comes from its column strip.
            std::set<int> neighbourColumns{0}, edgeColumns, edgeRows;
            for (const CCorner& corner : InnerBlock(edge)) {
                if (corner.row == patchCells) {
                    neighbourColumns.insert(corner.column);
                }
            }
            for (size_t k = 0; k < rowStrip.size(); ++k) {
                if (rowStrip[k].row == 0) {
                    edgeColumns.insert(rowStrip[k].column);
                }
                if (columnStrip[k].column == 0) {
                    edgeRows.insert(columnStrip[k].row);
                }
            }
            EXPECT_EQ(edgeColumns, neighbourColumns);
            EXPECT_EQ(edgeRows, neighbourColumns);
            for (int columnEdge = 0; columnEdge < levelCount; ++columnEdge) {
                std::vector<CCorner> all = InnerBlock(level);
                for (const auto& strip : {rowStrip, ColumnEdgeStrip(level, columnEdge)}) {
                    all.insert(all.end(), strip.begin(), strip.end());
                }
                int area = 0;
                for (size_t k = 0; k < all.size(); k += 3) {
                    const int twice = DoubleArea(all[k], all[k + 1], all[k + 2]);
                    ASSERT_GT(twice, 0) << "triangle " << k / 3 << " with column edge " << columnEdge
                                        << " faces down or is degenerate";
                    area += twice;
                }
                EXPECT_EQ(area, 2 * patchCells * patchCells) << "column edge " << columnEdge;
            }
        }
    }
    // Coarse against fine, pair (2, 0): 32 edge segments against 7 inner segments.
    const std::vector<CCorner> strip         = RowEdgeStrip(2, 0);
    int                        edgeTriangles = 0;
    for (size_t k = 0; k < strip.size(); k += 3) {
        edgeTriangles += strip[k].row == 0 && strip[k + 2].row == 0 ? 1 : 0;
    }
    EXPECT_EQ(edgeTriangles, 32);
    EXPECT_EQ(static_cast<int>(strip.size() / 3) - edgeTriangles, 7);
}

} // namespace
