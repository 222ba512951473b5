#pragma once

#include <GL/gl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Options.h"
#include "core/BoundingBox.h"
#include "render/BufferObjects.h"
#include "render/MagnifiedSampler.h"
#include "render/PatchIndices.h"
#include "render/TexelFootprint.h"

class CCamera;
class CFrustum;
class CHeightmap;
class CTextureManager;
class CTileOverlay;

// A GL texture name for an image path and a compress flag; 0 when the image
// cannot be loaded. The level passes its texture manager's LoadTexture.
using TerrainTextureLoader = std::function<GLuint(const std::string& path, bool compress)>;

// One index list of the patch patterns with its element buffer.
struct CTerrainIndexSet {
    std::vector<GLuint> indices;
    GLuint              buffer    = 0;
    int                 triangles = 0;
};

// 32 × 32 cells of the heightmap with their own texture.
struct CTerrainPatch {
    std::vector<float> vertices; // GL_T2F_V3F: s, t, x, y, z per vertex
    float              error[PatchIndices::levelCount] = {};
    GLuint             vertexBuffer                    = 0;
    int                rowNeighbour                    = -1; // patch in the previous patch row
    int                columnNeighbour                 = -1; // patch in the previous patch column
    CPatchLevels       levels;                               // visibility and detail of the current view
    CVector3           centre;
    GLuint             texture       = 0;
    int                textureWidth  = 0; // texels of the full-size level
    int                textureHeight = 0;
    bool               magnified     = false; // every pixel of the current view magnifies the texture
};

struct CTerrainQuadNode {
    int              patchCount = -1;
    std::vector<int> patches;
    int              parent      = -1;
    int              children[4] = {-1, -1, -1, -1};
    CBoundingBox     box;
};

// The level's heightmap as textured triangles: patches at three levels of
// detail stitched by edge strips, a quadtree for frustum culling, three
// submission paths that draw the same triangles, the tile overlay and the
// tile pick. Needs a current GL context from creation to destruction.
class CTerrain {
public:
    static constexpr float detailDivisor = 120.0f;
    // Largest supported number of patches per side.
    static constexpr int maxPatchesPerSide = 32;
    static constexpr int stripVariants     = PatchIndices::levelCount * PatchIndices::levelCount;
    // Picking walks each patch in blocks of this many cells.
    static constexpr int pickBlockCells = 4;

    CTerrain();
    ~CTerrain();
    CTerrain(const CTerrain&)            = delete;
    CTerrain& operator=(const CTerrain&) = delete;

    // Builds everything from the heightmap (borrowed for the terrain's
    // lifetime). False when the directory or the heightmap is missing or the
    // heightmap's size is not 32·k + 1 with k a power of two; such a terrain
    // draws nothing.
    bool Create(const char* directory, const CHeightmap* heightmap, const TerrainTextureLoader& loadTexture);
    // The same with the patch textures from the level's texture manager
    // (borrowed during creation only; null leaves every patch untextured).
    bool Create(const char* directory, const CHeightmap* heightmap, CTextureManager* textures);

    void SetCamera(const CCamera* value) { camera = value; }
    void SetFrustum(const CFrustum* value) { frustum = value; }

    // Draws the visible patches with the application's render mode; returns the triangles drawn.
    int Draw();
    // The tile whose ground is under the window position (pixels, origin top
    // left); (0, 0) with hit point (-1, -1) when the ray misses the terrain.
    void  PickTile(int mouseX, int mouseY, int& column, int& row);
    bool  HasPickHit() const { return pickX >= 0.0f; }
    float GetPickX() const { return pickX; }
    float GetPickZ() const { return pickZ; }

    // The overlay's operations, reached through the terrain. The tile
    // geometry itself is the grid's (CGridManager::TileSizeFor and friends).
    void SetTileColour(int column, int row, unsigned char r, unsigned char g, unsigned char b, unsigned char a);
    int  DrawOverlay();

    bool                    IsBuilt() const { return !patches.empty(); }
    int                     GetSize() const { return size; }
    int                     GetPatchesPerSide() const { return patchesPerSide; }
    const CTerrainPatch&    GetPatchByIndex(int index) const { return patches[index]; }
    int                     GetPatchCount() const { return static_cast<int>(patches.size()); }
    const CTerrainQuadNode& GetNodeByIndex(int index) const { return nodes[index]; }
    int                     GetNodeCount() const { return static_cast<int>(nodes.size()); }
    int                     GetTreeLevels() const { return treeLevels; }
    const CTerrainIndexSet& GetInnerSet(int level) const { return inner[level]; }
    const CTerrainIndexSet& GetRowEdgeSet(int level, int edgeLevel) const { return rowEdge[level * 3 + edgeLevel]; }
    const CTerrainIndexSet& GetColumnEdgeSet(int level, int edgeLevel) const {
        return columnEdge[level * 3 + edgeLevel];
    }
    bool   HasDisplayLists() const { return listBase != 0; }
    GLuint GetFirstList() const { return listBase; }
    bool   HasBufferObjects() const { return buffers.IsLoaded(); }
    // Forces the next Draw to redo culling and detail selection.
    void Invalidate() { needsUpdate = true; }

    // The visible triangles of the current view as global vertex indices
    // into AllVertices(): the same triangles Draw submits.
    std::vector<GLuint> VisibleTriangles() const;
    std::vector<float>  AllVertices() const;

private:
    static bool IsSupportedSize(int size);
    void        BuildIndexSets();
    void        FillIndexSet(CTerrainIndexSet& set, const std::vector<PatchIndices::CCorner>& corners);
    void        BuildPatchVertices();
    void        SetNeighbours();
    void        BuildQuadtree();
    void        FillNode(int node, int parent, int firstPatch, int side);
    void        LoadTextures(const TerrainTextureLoader& loadTexture);
    void        BuildDisplayLists();
    void        ComputeErrors();
    float       GeometricError(int patch, int level) const;
    void        Release();

    void                    Update();
    void                    Cull();
    void                    MarkNode(int node, bool visible);
    void                    SelectDetail();
    void                    SetEdgeLevels();
    void                    FindMagnifiedPatches();
    bool                    IsMagnified(const CTerrainPatch& patch) const;
    int                     DrawPatch(const CTerrainPatch& patch, RenderMode path, bool useLists);
    const CTerrainIndexSet& RowSet(const CPatchLevels& levels) const;
    const CTerrainIndexSet& ColumnSet(const CPatchLevels& levels) const;
    const CTerrainIndexSet& WholeSet(const CPatchLevels& levels) const;
    void                    DrawImmediate(const CTerrainPatch& patch, const CTerrainIndexSet& set) const;
    GLuint                  InnerList(int level, int patch) const;
    GLuint                  RowList(int level, int edgeLevel, int patch) const;
    GLuint                  ColumnList(int level, int edgeLevel, int patch) const;
    void                    PickPatch(int patch, const double origin[3], const double direction[3], double& bestT);

    std::string       directory;
    const CHeightmap* heightmap      = nullptr;
    const CCamera*    camera         = nullptr;
    const CFrustum*   frustum        = nullptr;
    int               size           = 0;
    int               patchesPerSide = 0;
    CTerrainIndexSet  inner[PatchIndices::levelCount];
    CTerrainIndexSet  rowEdge[stripVariants];
    CTerrainIndexSet  columnEdge[stripVariants];
    // Inner block and both strips joined, per (level, row edge level, column
    // edge level): one draw call per patch for the array paths.
    CTerrainIndexSet              wholePatch[stripVariants * PatchIndices::levelCount];
    std::vector<CTerrainPatch>    patches;
    std::vector<CTerrainQuadNode> nodes;
    int                           treeLevels       = 0;
    GLuint                        listBase         = 0;
    GLsizei                       listCount        = 0;
    bool                          compressTextures = false;
    CBufferObjects                buffers;
    std::unique_ptr<CTileOverlay> overlay;
    bool                          needsUpdate = true;
    CMagnifiedSampler             magnifiedSampler;
    CPixelMapping                 pixelMapping; // of the view the patches were last sorted for
    float                         pickX      = -1.0f;
    float                         pickZ      = -1.0f;
    int                           pickColumn = 0;
    int                           pickRow    = 0;
};
