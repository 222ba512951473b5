#pragma once

#include <functional>

#include "rules/GridManager.h"

// A list of board tiles, each at most once: the move area or the fire area
// of the selected unit. Membership is a linear search.
class CTileArea {
public:
    static constexpr int maxTiles = CGridManager::tileCount;

    // Whether a unit may stand on tile (x, y); the caller's passability test.
    using Passable = std::function<bool(int x, int y)>;

    void Clear() { count = 0; }
    int  GetCount() const { return count; }
    int  GetX(int index) const { return tiles[index][0]; }
    int  GetY(int index) const { return tiles[index][1]; }
    bool Contains(int x, int y) const;

    // The tiles reachable from the origin by steps to the four edge
    // neighbours over passable tiles, without leaving the diamond of the
    // given range around the origin or the board. Filled column by column.
    void FillMoveArea(int originX, int originY, int range, const Passable& passable);
    // The ring of tiles whose Manhattan distance from the centre lies in
    // fireMin..fireMax, the centre excluded, clipped to the board.
    void FillFireArea(int centreX, int centreY, int fireMin, int fireMax);
    // The one fire-area geometry: is (x, y) in that ring?
    static bool IsInFireRing(int centreX, int centreY, int fireMin, int fireMax, int x, int y);

private:
    struct CMoveFill;

    void Append(int x, int y);
    void FillColumn(const CMoveFill& fill, int x, int y);

    int count              = 0;
    int tiles[maxTiles][2] = {};
};
