#pragma once

#include <cstddef>
#include <vector>

// The triangle patterns of a terrain patch, as (row, column) vertex
// addresses within the patch (0..patchCells each). Rows run along world z,
// columns along world x; every triangle winds counter-clockwise seen from
// above. The terrain indexes its patch vertices with them and the tile
// overlay cuts its tiles' share out of the same lists, so both lie on the
// same triangles.
namespace PatchIndices {

constexpr int patchCells    = 32;
constexpr int patchSide     = patchCells + 1; // vertices per patch side
constexpr int patchVertices = patchSide * patchSide;
constexpr int levelCount    = 3;

struct CCorner {
    int row;
    int column;
};

// Cell step of a detail level: 1, 2, 4.
inline int Step(int level) {
    return 1 << level;
}

// Quads of the level's step over rows firstRow..lastRow and columns
// firstColumn..lastColumn (multiples of the step), two triangles each.
std::vector<CCorner> Block(int level, int firstRow, int lastRow, int firstColumn, int lastColumn);
// The inner block: rows and columns step..32; the first row and column are
// left to the edge strips.
std::vector<CCorner> InnerBlock(int level);
// Joins the patch's first row at the edge level to its inner line at row
// step of its own level.
std::vector<CCorner> RowEdgeStrip(int level, int edgeLevel);
// The same along the first column (rows and columns exchanged, winding kept).
std::vector<CCorner> ColumnEdgeStrip(int level, int edgeLevel);

// Triangle counts as the lists above give them.
int InnerTriangles(int level);
int StripTriangles(int level, int edgeLevel);

} // namespace PatchIndices

// What one patch shows in the current view: visible, its detail level and
// the levels its first row and first column are stitched to (-1 before the
// first selection).
struct CPatchLevels {
    bool visible         = true;
    int  level           = -1;
    int  rowEdgeLevel    = -1;
    int  columnEdgeLevel = -1;
};
