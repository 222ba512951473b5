#pragma once

#include <GL/gl.h>

#include <vector>

#include "rules/GridManager.h"
#include "render/BufferObjects.h"
#include "render/PatchIndices.h"

class CHeightmap;

// The game board's tiles laid over the terrain: each tile is coloured on the
// ground in the frames in which its colour was set. Tiles lie on exactly the
// terrain's triangles at the patch's detail level (they are drawn without
// depth writes over the terrain), so a tile's geometry is cut from the same
// patch patterns.
class CTileOverlay {
public:
    static constexpr int tilesPerSide = CGridManager::gridSize;
    // The coarsest level's step must fit in a tile.
    static constexpr int minTileCells = 4;

    // Both are borrowed for the overlay's lifetime; buffers may be unloaded.
    CTileOverlay(const CHeightmap& heightmap, const CBufferObjects& buffers);
    ~CTileOverlay();
    CTileOverlay(const CTileOverlay&)            = delete;
    CTileOverlay& operator=(const CTileOverlay&) = delete;

    void SetTileColour(int column, int row, unsigned char r, unsigned char g, unsigned char b, unsigned char a);
    // Draws the tiles set since the last Draw over the visible patches
    // (`patches` indexed like the terrain's); returns the triangles drawn.
    int Draw(const std::vector<CPatchLevels>& patches);

    bool HasGeometry() const { return !tiles.empty(); }

private:
    struct CIndexSet {
        std::vector<GLuint> indices;
        GLuint              buffer = 0;
    };
    struct CTile {
        unsigned char     colour[4]     = {0, 0, 0, 0};
        bool              active        = false;
        int               columnInPatch = 0;
        int               rowInPatch    = 0;
        std::vector<char> vertices; // GL_C4UB_V3F: r, g, b, a bytes then x, y, z floats
        GLuint            vertexBuffer = 0;
        int               patch        = 0;
    };

    static int Clamp(int tile);
    void       BuildTiles(const CHeightmap& heightmap);
    void       BuildIndexSets();
    CIndexSet  MakeSet(const std::vector<PatchIndices::CCorner>& corners, int firstRow, int firstColumn) const;
    // The part of a patch-wide strip that lies over one tile's span.
    std::vector<PatchIndices::CCorner> CutStrip(const std::vector<PatchIndices::CCorner>& strip, bool alongRow,
                                                int first) const;
    int                                DrawTile(const CTile& tile, const CPatchLevels& levels, bool useBuffers) const;
    int                                DrawSet(const CIndexSet& set, bool useBuffers) const;
    const CIndexSet&                   InnerSet(int rowInPatch, int columnInPatch, int level) const;

    const CBufferObjects&  buffers;
    int                    tileCells      = 0;
    int                    tilesPerPatch  = 0;
    int                    patchesPerSide = 0;
    std::vector<CTile>     tiles;
    std::vector<CIndexSet> inner;      // [(rowInPatch * tilesPerPatch + columnInPatch) * 3 + level]
    std::vector<CIndexSet> rowEdge;    // [(columnInPatch * 3 + level) * 3 + edgeLevel]
    std::vector<CIndexSet> columnEdge; // [(rowInPatch * 3 + level) * 3 + edgeLevel]
};
