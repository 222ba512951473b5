#include "render/TileOverlay.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Options.h"
#include "core/Logger.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "render/GlState.h"

using namespace PatchIndices;

namespace {

constexpr int vertexBytes = 16; // 4 colour bytes, 3 floats

const GLvoid* BufferOffset(int bytes) {
    return reinterpret_cast<const GLvoid*>(static_cast<intptr_t>(bytes));
}

} // namespace

CTileOverlay::CTileOverlay(const CHeightmap& heightmap, const CBufferObjects& buffersValue) : buffers(buffersValue) {
    const int size = heightmap.GetWidth();
    tileCells      = std::max(0, (size - 1) / tilesPerSide);
    if (tileCells < minTileCells || patchCells % tileCells != 0) {
        GetLogger()->LogError("tile overlay: tiles of %d cells are narrower than the terrain's coarsest step %d; "
                              "tiles are not drawn",
                              tileCells, minTileCells);
        return;
    }
    tilesPerPatch  = patchCells / tileCells;
    patchesPerSide = tilesPerSide / tilesPerPatch;
    BuildIndexSets();
    BuildTiles(heightmap);
}

CTileOverlay::~CTileOverlay() {
    for (CTile& tile : tiles) {
        buffers.Delete(tile.vertexBuffer);
    }
    for (std::vector<CIndexSet>* sets : {&inner, &rowEdge, &columnEdge}) {
        for (CIndexSet& set : *sets) {
            buffers.Delete(set.buffer);
        }
    }
}

int CTileOverlay::Clamp(int tile) {
    return std::max(0, std::min(tile, tilesPerSide - 1));
}

void CTileOverlay::BuildTiles(const CHeightmap& heightmap) {
    const float cell  = heightmap.GetSpacing();
    const float scale = heightmap.GetHeightScale();
    const int   side  = tileCells + 1;
    tiles.resize(tilesPerSide * tilesPerSide);
    for (int row = 0; row < tilesPerSide; ++row) {
        for (int column = 0; column < tilesPerSide; ++column) {
            CTile& tile        = tiles[row * tilesPerSide + column];
            tile.columnInPatch = column % tilesPerPatch;
            tile.rowInPatch    = row % tilesPerPatch;
            tile.patch         = (row / tilesPerPatch) * patchesPerSide + column / tilesPerPatch;
            tile.vertices.assign(static_cast<size_t>(side) * side * vertexBytes, 0);
            char* vertex = tile.vertices.data();
            for (int r = 0; r < side; ++r) {
                for (int c = 0; c < side; ++c, vertex += vertexBytes) {
                    // The same expressions as the terrain's vertices, so both depths agree exactly.
                    const int   mapRow      = row * tileCells + r;
                    const int   mapColumn   = column * tileCells + c;
                    const float position[3] = {mapColumn * cell, heightmap.GetSample(mapColumn, mapRow) * scale,
                                               mapRow * cell};
                    memcpy(vertex + 4, position, sizeof position);
                }
            }
            tile.vertexBuffer =
                buffers.Upload(GL_ARRAY_BUFFER_ARB, tile.vertices.data(), tile.vertices.size(), GL_DYNAMIC_DRAW_ARB);
        }
    }
}

CTileOverlay::CIndexSet CTileOverlay::MakeSet(const std::vector<CCorner>& corners, int firstRow,
                                              int firstColumn) const {
    CIndexSet set;
    for (const CCorner& corner : corners) {
        set.indices.push_back(
            static_cast<GLuint>((corner.row - firstRow) * (tileCells + 1) + corner.column - firstColumn));
    }
    set.buffer = buffers.Upload(GL_ELEMENT_ARRAY_BUFFER_ARB, set.indices.data(), set.indices.size() * sizeof(GLuint),
                                GL_STATIC_DRAW_ARB);
    return set;
}

std::vector<CCorner> CTileOverlay::CutStrip(const std::vector<CCorner>& strip, bool alongRow, int first) const {
    // Strip triangles never cross a multiple of the tile width, so each lies wholly in one tile.
    std::vector<CCorner> part;
    for (size_t k = 0; k + 2 < strip.size(); k += 3) {
        bool inside = true;
        for (size_t corner = k; corner < k + 3; ++corner) {
            const int along = alongRow ? strip[corner].column : strip[corner].row;
            inside          = inside && along >= first && along <= first + tileCells;
        }
        if (inside) {
            part.insert(part.end(), strip.begin() + static_cast<long>(k), strip.begin() + static_cast<long>(k) + 3);
        }
    }
    return part;
}

void CTileOverlay::BuildIndexSets() {
    for (int rowInPatch = 0; rowInPatch < tilesPerPatch; ++rowInPatch) {
        for (int columnInPatch = 0; columnInPatch < tilesPerPatch; ++columnInPatch) {
            const int firstRow    = rowInPatch * tileCells;
            const int firstColumn = columnInPatch * tileCells;
            for (int level = 0; level < levelCount; ++level) {
                // The patch's first row and column belong to the strips.
                const int rowStart    = rowInPatch == 0 ? Step(level) : firstRow;
                const int columnStart = columnInPatch == 0 ? Step(level) : firstColumn;
                inner.push_back(
                    MakeSet(Block(level, rowStart, firstRow + tileCells, columnStart, firstColumn + tileCells),
                            firstRow, firstColumn));
            }
        }
    }
    for (int position = 0; position < tilesPerPatch; ++position) {
        const int first = position * tileCells;
        for (int level = 0; level < levelCount; ++level) {
            for (int edgeLevel = 0; edgeLevel < levelCount; ++edgeLevel) {
                rowEdge.push_back(MakeSet(CutStrip(RowEdgeStrip(level, edgeLevel), true, first), 0, first));
                columnEdge.push_back(MakeSet(CutStrip(ColumnEdgeStrip(level, edgeLevel), false, first), first, 0));
            }
        }
    }
}

void CTileOverlay::SetTileColour(int column, int row, unsigned char r, unsigned char g, unsigned char b,
                                 unsigned char a) {
    if (!HasGeometry()) {
        return;
    }
    CTile&              tile      = tiles[Clamp(row) * tilesPerSide + Clamp(column)];
    const unsigned char colour[4] = {r, g, b, a};
    tile.active                   = true;
    if (memcmp(tile.colour, colour, sizeof colour) == 0) {
        return;
    }
    memcpy(tile.colour, colour, sizeof colour);
    for (size_t offset = 0; offset < tile.vertices.size(); offset += vertexBytes) {
        memcpy(&tile.vertices[offset], colour, sizeof colour);
    }
    buffers.Reload(GL_ARRAY_BUFFER_ARB, tile.vertexBuffer, tile.vertices.data(), tile.vertices.size(),
                   GL_DYNAMIC_DRAW_ARB);
}

const CTileOverlay::CIndexSet& CTileOverlay::InnerSet(int rowInPatch, int columnInPatch, int level) const {
    return inner[(rowInPatch * tilesPerPatch + columnInPatch) * levelCount + level];
}

int CTileOverlay::DrawSet(const CIndexSet& set, bool useBuffers) const {
    if (set.indices.empty()) {
        return 0;
    }
    if (useBuffers) {
        buffers.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, set.buffer);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(set.indices.size()), GL_UNSIGNED_INT, BufferOffset(0));
    } else {
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(set.indices.size()), GL_UNSIGNED_INT, set.indices.data());
    }
    return static_cast<int>(set.indices.size() / 3);
}

int CTileOverlay::DrawTile(const CTile& tile, const CPatchLevels& levels, bool useBuffers) const {
    if (useBuffers) {
        buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, tile.vertexBuffer);
        glInterleavedArrays(GL_C4UB_V3F, vertexBytes, BufferOffset(0));
    } else {
        glInterleavedArrays(GL_C4UB_V3F, vertexBytes, tile.vertices.data());
    }
    int triangles = DrawSet(InnerSet(tile.rowInPatch, tile.columnInPatch, levels.level), useBuffers);
    if (tile.rowInPatch == 0) {
        triangles += DrawSet(rowEdge[(tile.columnInPatch * 3 + levels.level) * 3 + levels.rowEdgeLevel], useBuffers);
    }
    if (tile.columnInPatch == 0) {
        triangles += DrawSet(columnEdge[(tile.rowInPatch * 3 + levels.level) * 3 + levels.columnEdgeLevel], useBuffers);
    }
    return triangles;
}

int CTileOverlay::Draw(const std::vector<CPatchLevels>& patches) {
    if (!HasGeometry()) {
        return 0;
    }
    const CAppOptions& options    = GetOptions();
    const bool         useBuffers = buffers.IsLoaded() && options.renderMode == renderBufferObjects;
    // The colour arrays leave the current colour undefined: it is saved too.
    const CGlStateScope state(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT,
                              GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    if (options.transparency) {
        glEnable(GL_BLEND);
    }
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    int triangles = 0;
    for (CTile& tile : tiles) {
        if (!tile.active) {
            continue;
        }
        tile.active = false;
        if (tile.patch < static_cast<int>(patches.size()) && patches[tile.patch].visible &&
            patches[tile.patch].level >= 0) {
            triangles += DrawTile(tile, patches[tile.patch], useBuffers);
        }
    }
    if (useBuffers) {
        buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
        buffers.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }
    return triangles;
}
