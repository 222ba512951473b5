#include "rules/TileArea.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// Beyond this many tiles every range covers the whole board, and sums of a
// coordinate and a range cannot overflow.
constexpr int rangeLimit = 2 * CGridManager::gridSize;

int ClampRange(int range) {
    return std::max(-1, std::min(range, rangeLimit));
}

} // namespace

// What a move-area fill keeps fixed: the origin, the range and the test.
struct CTileArea::CMoveFill {
    int                        originX;
    int                        originY;
    int                        range;
    const CTileArea::Passable& passable;

    // The rows of column x inside the diamond and the board; lo > hi when none.
    void RowRange(int x, int& lo, int& hi) const {
        const int half = range - std::abs(x - originX);
        lo             = std::max(originY - half, 0);
        hi             = std::min(originY + half, CGridManager::gridSize - 1);
    }
    bool IsColumnInside(int x) const {
        return x >= 0 && x < CGridManager::gridSize && x >= originX - range && x <= originX + range;
    }
};

bool CTileArea::Contains(int x, int y) const {
    for (int i = 0; i < count; ++i) {
        if (tiles[i][0] == x && tiles[i][1] == y) {
            return true;
        }
    }
    return false;
}

void CTileArea::Append(int x, int y) {
    if (count < maxTiles) {
        tiles[count][0] = x;
        tiles[count][1] = y;
        ++count;
    }
}

void CTileArea::FillMoveArea(int originX, int originY, int range, const Passable& passable) {
    Clear();
    if (!CGridManager::IsInside(originX, originY)) {
        return;
    }
    const CMoveFill fill{originX, originY, ClampRange(range), passable};
    FillColumn(fill, originX, originY);
}

// Walks up from y to the top of its passable segment, appends the segment
// downwards, and records in each neighbour column one seed per run of
// passable rows next to it; then fills the left column's seeds, last
// recorded first, and the right column's the same way.
void CTileArea::FillColumn(const CMoveFill& fill, int x, int y) {
    int lo = 0, hi = 0;
    fill.RowRange(x, lo, hi);
    int top = y;
    while (top >= lo && fill.passable(x, top)) {
        --top;
    }
    ++top;
    if (top > hi) {
        return;
    }
    const int        neighbours[2] = {x - 1, x + 1};
    std::vector<int> seeds[2];
    bool             newSegment[2] = {true, true};
    for (int row = top; row <= hi && fill.passable(x, row); ++row) {
        Append(x, row);
        for (int side = 0; side < 2; ++side) {
            const int column = neighbours[side];
            if (!fill.IsColumnInside(column)) {
                continue;
            }
            int columnLo = 0, columnHi = 0;
            fill.RowRange(column, columnLo, columnHi);
            if (row >= columnLo && row <= columnHi && fill.passable(column, row)) {
                if (newSegment[side]) {
                    seeds[side].push_back(row);
                    newSegment[side] = false;
                }
            } else {
                newSegment[side] = true;
            }
        }
    }
    for (int side = 0; side < 2; ++side) {
        for (auto seed = seeds[side].rbegin(); seed != seeds[side].rend(); ++seed) {
            if (!Contains(neighbours[side], *seed)) {
                FillColumn(fill, neighbours[side], *seed);
            }
        }
    }
}

bool CTileArea::IsInFireRing(int centreX, int centreY, int fireMin, int fireMax, int x, int y) {
    if (!CGridManager::IsInside(x, y) || (x == centreX && y == centreY)) {
        return false;
    }
    const long long distance =
        std::llabs(static_cast<long long>(x) - centreX) + std::llabs(static_cast<long long>(y) - centreY);
    return distance <= fireMax && distance >= fireMin;
}

void CTileArea::FillFireArea(int centreX, int centreY, int fireMin, int fireMax) {
    Clear();
    if (!CGridManager::IsInside(centreX, centreY)) {
        return;
    }
    const int reach = ClampRange(fireMax);
    for (int x = std::max(centreX - reach, 0); x <= std::min(centreX + reach, CGridManager::gridSize - 1); ++x) {
        const int rest = reach - std::abs(x - centreX);
        for (int y = std::max(centreY - rest, 0); y <= std::min(centreY + rest, CGridManager::gridSize - 1); ++y) {
            if (IsInFireRing(centreX, centreY, fireMin, fireMax, x, y)) {
                Append(x, y);
            }
        }
    }
}
