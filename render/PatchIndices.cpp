#include "render/PatchIndices.h"

namespace PatchIndices {

std::vector<CCorner> Block(int level, int firstRow, int lastRow, int firstColumn, int lastColumn) {
    const int            step = Step(level);
    std::vector<CCorner> corners;
    for (int row = firstRow; row < lastRow; row += step) {
        for (int column = firstColumn; column < lastColumn; column += step) {
            corners.insert(corners.end(), {{row, column}, {row + step, column}, {row + step, column + step}});
            corners.insert(corners.end(), {{row, column}, {row + step, column + step}, {row, column + step}});
        }
    }
    return corners;
}

std::vector<CCorner> InnerBlock(int level) {
    const int step = Step(level);
    return Block(level, step, patchCells, step, patchCells);
}

std::vector<CCorner> RowEdgeStrip(int level, int edgeLevel) {
    const int            step     = Step(level);
    const int            edgeStep = Step(edgeLevel);
    std::vector<CCorner> corners;
    int                  edge  = 0;
    int                  inner = step;
    // The inner triangle spans one inner segment, the edge triangle one edge segment.
    auto innerTriangle = [&]() {
        corners.insert(corners.end(), {{0, edge}, {step, inner}, {step, inner + step}});
        inner += step;
    };
    auto edgeTriangle = [&]() {
        corners.insert(corners.end(), {{0, edge}, {step, inner}, {0, edge + edgeStep}});
        edge += edgeStep;
    };
    while (edge < patchCells) {
        if (level < edgeLevel) {
            innerTriangle();
            if (inner == edge + edgeStep) {
                edgeTriangle();
            }
        } else {
            if (inner == edge) {
                innerTriangle();
            }
            edgeTriangle();
        }
    }
    return corners;
}

std::vector<CCorner> ColumnEdgeStrip(int level, int edgeLevel) {
    std::vector<CCorner> corners = RowEdgeStrip(level, edgeLevel);
    for (size_t first = 0; first + 2 < corners.size(); first += 3) {
        for (size_t k = first; k < first + 3; ++k) {
            corners[k] = CCorner{corners[k].column, corners[k].row};
        }
        // Mirroring across the diagonal reverses the winding; swapping two corners restores it.
        const CCorner second = corners[first + 1];
        corners[first + 1]   = corners[first + 2];
        corners[first + 2]   = second;
    }
    return corners;
}

int InnerTriangles(int level) {
    const int quads = patchCells / Step(level) - 1;
    return 2 * quads * quads;
}

int StripTriangles(int level, int edgeLevel) {
    return patchCells / Step(edgeLevel) + patchCells / Step(level) - 1;
}

} // namespace PatchIndices
