#include "render/Terrain.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/Options.h"
#include "core/Camera.h"
#include "core/Frustum.h"
#include "core/Logger.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "render/GlState.h"
#include "core/RayTriangle.h"
#include "render/TextureManager.h"
#include "render/TileOverlay.h"

using namespace PatchIndices;

namespace {

constexpr int floatsPerVertex = 5; // s, t, x, y, z
constexpr int vertexBytes     = floatsPerVertex * static_cast<int>(sizeof(float));
constexpr int positionOffset  = 2 * static_cast<int>(sizeof(float));

bool IsPowerOfTwo(int value) {
    return value > 0 && (value & (value - 1)) == 0;
}

int VertexIndex(const CCorner& corner) {
    return corner.row * patchSide + corner.column;
}

const GLvoid* BufferOffset(int bytes) {
    return reinterpret_cast<const GLvoid*>(static_cast<intptr_t>(bytes));
}

} // namespace

CTerrain::CTerrain() = default;
CTerrain::~CTerrain() {
    Release();
}

bool CTerrain::IsSupportedSize(int value) {
    if (value <= patchCells || (value - 1) % patchCells != 0) {
        return false;
    }
    const int perSide = (value - 1) / patchCells;
    return IsPowerOfTwo(perSide) && perSide <= maxPatchesPerSide;
}

bool CTerrain::Create(const char* directoryValue, const CHeightmap* heightmapValue,
                      const TerrainTextureLoader& loadTexture) {
    Release();
    if (directoryValue == nullptr || heightmapValue == nullptr) {
        return false;
    }
    if (!IsSupportedSize(heightmapValue->GetWidth()) || heightmapValue->GetHeight() != heightmapValue->GetWidth()) {
        GetLogger()->LogError("terrain: heightmap \"%s\" is %d x %d; it must be square with 32 * k + 1 samples per "
                              "side, k a power of two up to %d; the terrain stays empty",
                              heightmapValue->GetFileName().c_str(), heightmapValue->GetWidth(),
                              heightmapValue->GetHeight(), maxPatchesPerSide);
        return false;
    }
    directory        = directoryValue;
    heightmap        = heightmapValue;
    size             = heightmap->GetWidth();
    patchesPerSide   = (size - 1) / patchCells;
    compressTextures = GetOptions().textureCompression;
    if (GetOptions().vertexBufferObjects) {
        buffers.Load();
    }
    patches.resize(static_cast<size_t>(patchesPerSide) * patchesPerSide);
    BuildIndexSets();
    BuildPatchVertices();
    SetNeighbours();
    BuildQuadtree();
    LoadTextures(loadTexture);
    magnifiedSampler.Create();
    if (GetOptions().displayLists) {
        BuildDisplayLists();
    }
    ComputeErrors();
    overlay     = std::make_unique<CTileOverlay>(*heightmap, buffers);
    needsUpdate = true;
    return true;
}

bool CTerrain::Create(const char* directoryValue, const CHeightmap* heightmapValue, CTextureManager* textures) {
    TerrainTextureLoader loadTexture;
    if (textures != nullptr) {
        loadTexture = [textures](const std::string& path, bool compress) {
            return textures->LoadTexture(path.c_str(), compress);
        };
    }
    return Create(directoryValue, heightmapValue, loadTexture);
}

void CTerrain::FillIndexSet(CTerrainIndexSet& set, const std::vector<CCorner>& corners) {
    set.indices.clear();
    for (const CCorner& corner : corners) {
        set.indices.push_back(static_cast<GLuint>(VertexIndex(corner)));
    }
    set.triangles = static_cast<int>(corners.size() / 3);
    set.buffer    = buffers.Upload(GL_ELEMENT_ARRAY_BUFFER_ARB, set.indices.data(), set.indices.size() * sizeof(GLuint),
                                   GL_STATIC_DRAW_ARB);
}

void CTerrain::BuildIndexSets() {
    for (int level = 0; level < levelCount; ++level) {
        FillIndexSet(inner[level], InnerBlock(level));
    }
    for (int level = 0; level < levelCount; ++level) {
        for (int edgeLevel = 0; edgeLevel < levelCount; ++edgeLevel) {
            FillIndexSet(rowEdge[level * 3 + edgeLevel], RowEdgeStrip(level, edgeLevel));
            FillIndexSet(columnEdge[level * 3 + edgeLevel], ColumnEdgeStrip(level, edgeLevel));
        }
    }
    for (int level = 0; level < levelCount; ++level) {
        for (int rowLevel = 0; rowLevel < levelCount; ++rowLevel) {
            for (int columnLevel = 0; columnLevel < levelCount; ++columnLevel) {
                std::vector<CCorner> corners = InnerBlock(level);
                for (const auto& strip : {RowEdgeStrip(level, rowLevel), ColumnEdgeStrip(level, columnLevel)}) {
                    corners.insert(corners.end(), strip.begin(), strip.end());
                }
                FillIndexSet(wholePatch[(level * 3 + rowLevel) * 3 + columnLevel], corners);
            }
        }
    }
}

void CTerrain::BuildPatchVertices() {
    const float cell  = heightmap->GetSpacing();
    const float scale = heightmap->GetHeightScale();
    for (int index = 0; index < static_cast<int>(patches.size()); ++index) {
        CTerrainPatch& patch       = patches[index];
        const int      patchRow    = index / patchesPerSide;
        const int      patchColumn = index % patchesPerSide;
        patch.vertices.resize(static_cast<size_t>(patchVertices) * floatsPerVertex);
        float* vertex = patch.vertices.data();
        for (int row = 0; row < patchSide; ++row) {
            for (int column = 0; column < patchSide; ++column) {
                const int mapRow    = std::min(patchCells * patchRow + row, size - 1);
                const int mapColumn = std::min(patchCells * patchColumn + column, size - 1);
                *vertex++           = static_cast<float>(column) / patchCells;
                *vertex++           = static_cast<float>(patchCells - row) / patchCells;
                *vertex++           = mapColumn * cell;
                *vertex++           = heightmap->GetSample(mapColumn, mapRow) * scale;
                *vertex++           = mapRow * cell;
            }
        }
        patch.vertexBuffer = buffers.Upload(GL_ARRAY_BUFFER_ARB, patch.vertices.data(),
                                            patch.vertices.size() * sizeof(float), GL_STATIC_DRAW_ARB);
    }
}

void CTerrain::SetNeighbours() {
    for (int index = 0; index < static_cast<int>(patches.size()); ++index) {
        patches[index].rowNeighbour    = index >= patchesPerSide ? index - patchesPerSide : -1;
        patches[index].columnNeighbour = index % patchesPerSide != 0 ? index - 1 : -1;
    }
}

void CTerrain::BuildQuadtree() {
    treeLevels    = 1;
    int nodeCount = 1;
    for (int side = patchesPerSide, count = 1; side > 1; side /= 2) {
        count *= 4;
        nodeCount += count;
        ++treeLevels;
    }
    nodes.assign(static_cast<size_t>(nodeCount), CTerrainQuadNode());
    FillNode(0, -1, 0, patchesPerSide);
}

void CTerrain::FillNode(int node, int parent, int firstPatch, int side) {
    if (side > 1) {
        const int half            = side / 2;
        const int firstOfChild[4] = {firstPatch, firstPatch + half, firstPatch + patchesPerSide * half,
                                     firstPatch + patchesPerSide * half + half};
        for (int child = 0; child < 4; ++child) {
            nodes[node].children[child] = 4 * node + 1 + child;
            FillNode(4 * node + 1 + child, node, firstOfChild[child], half);
        }
    }
    CTerrainQuadNode& filled = nodes[node];
    filled.parent            = parent;
    filled.patchCount        = side * side;
    std::vector<CVector3> corners;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const int patch = firstPatch + row * patchesPerSide + column;
            filled.patches.push_back(patch);
            const float* vertex = patches[patch].vertices.data();
            for (int k = 0; k < patchVertices; ++k, vertex += floatsPerVertex) {
                corners.emplace_back(vertex[2], vertex[3], vertex[4]);
            }
        }
    }
    filled.box = CBoundingBox::FromPoints(corners.data(), static_cast<int>(corners.size()));
    if (side == 1) {
        patches[firstPatch].centre = filled.box.centre;
    }
}

void CTerrain::LoadTextures(const TerrainTextureLoader& loadTexture) {
    if (!loadTexture) {
        return;
    }
    for (int index = 0; index < static_cast<int>(patches.size()); ++index) {
        char path[1024];
        snprintf(path, sizeof path, "%s\\terrain_%d_%d.bmp", directory.c_str(), index % patchesPerSide,
                 index / patchesPerSide);
        CTerrainPatch& patch = patches[index];
        patch.texture        = loadTexture(path, compressTextures);
        if (patch.texture != 0) {
            glBindTexture(GL_TEXTURE_2D, patch.texture);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &patch.textureWidth);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &patch.textureHeight);
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CTerrain::DrawImmediate(const CTerrainPatch& patch, const CTerrainIndexSet& set) const {
    glBegin(GL_TRIANGLES);
    for (const GLuint index : set.indices) {
        const float* vertex = &patch.vertices[static_cast<size_t>(index) * floatsPerVertex];
        glTexCoord2fv(vertex);
        glVertex3fv(vertex + 2);
    }
    glEnd();
}

GLuint CTerrain::InnerList(int level, int patch) const {
    return listBase + static_cast<GLuint>(level * GetPatchCount() + patch);
}

GLuint CTerrain::RowList(int level, int edgeLevel, int patch) const {
    return listBase + static_cast<GLuint>((levelCount + level * 3 + edgeLevel) * GetPatchCount() + patch);
}

GLuint CTerrain::ColumnList(int level, int edgeLevel, int patch) const {
    return listBase +
           static_cast<GLuint>((levelCount + stripVariants + level * 3 + edgeLevel) * GetPatchCount() + patch);
}

void CTerrain::BuildDisplayLists() {
    listCount = (levelCount + 2 * stripVariants) * GetPatchCount();
    listBase  = glGenLists(listCount);
    if (listBase == 0) {
        GetLogger()->LogError("terrain: no room for %d display lists; drawing without them", listCount);
        listCount = 0;
        return;
    }
    for (int level = 0; level < levelCount; ++level) {
        for (int patch = 0; patch < GetPatchCount(); ++patch) {
            glNewList(InnerList(level, patch), GL_COMPILE);
            DrawImmediate(patches[patch], inner[level]);
            glEndList();
        }
    }
    for (int level = 0; level < levelCount; ++level) {
        for (int edgeLevel = 0; edgeLevel < levelCount; ++edgeLevel) {
            for (int patch = 0; patch < GetPatchCount(); ++patch) {
                glNewList(RowList(level, edgeLevel, patch), GL_COMPILE);
                DrawImmediate(patches[patch], rowEdge[level * 3 + edgeLevel]);
                glEndList();
                glNewList(ColumnList(level, edgeLevel, patch), GL_COMPILE);
                DrawImmediate(patches[patch], columnEdge[level * 3 + edgeLevel]);
                glEndList();
            }
        }
    }
}

void CTerrain::ComputeErrors() {
    for (int index = 0; index < GetPatchCount(); ++index) {
        patches[index].error[0] = 0.0f;
        for (int level = 1; level < levelCount; ++level) {
            patches[index].error[level] = GeometricError(index, level);
        }
    }
}

// The largest vertical distance between the full-detail surface and the
// coarse level's triangles, sampled at every vertex of the patch.
float CTerrain::GeometricError(int index, int level) const {
    const int step     = Step(level);
    const int firstRow = (index / patchesPerSide) * patchCells;
    const int firstCol = (index % patchesPerSide) * patchCells;
    auto      sampleAt = [&](int row, int column) {
        return static_cast<float>(heightmap->GetSample(firstCol + column, firstRow + row));
    };
    float largest = 0.0f;
    for (int row = 0; row < patchSide; ++row) {
        for (int column = 0; column < patchSide; ++column) {
            const int   row0    = row / step * step;
            const int   column0 = column / step * step;
            const int   row1    = row == patchCells ? row0 : row0 + step;
            const int   column1 = column == patchCells ? column0 : column0 + step;
            const float fv      = static_cast<float>(row - row0) / step;
            const float fu      = static_cast<float>(column - column0) / step;
            const float h00     = sampleAt(row0, column0);
            const float h11     = sampleAt(row1, column1);
            // The same diagonal split as the drawn quads: (row0, column0) to (row1, column1).
            const float coarse =
                fv >= fu ? h00 + (sampleAt(row1, column0) - h00) * fv + (h11 - sampleAt(row1, column0)) * fu
                         : h00 + (sampleAt(row0, column1) - h00) * fu + (h11 - sampleAt(row0, column1)) * fv;
            largest = std::max(largest, std::fabs(sampleAt(row, column) - coarse));
        }
    }
    return largest * heightmap->GetHeightScale();
}

void CTerrain::Release() {
    for (CTerrainIndexSet& set : inner) {
        buffers.Delete(set.buffer);
    }
    for (int variant = 0; variant < stripVariants; ++variant) {
        buffers.Delete(rowEdge[variant].buffer);
        buffers.Delete(columnEdge[variant].buffer);
    }
    for (CTerrainIndexSet& set : wholePatch) {
        buffers.Delete(set.buffer);
    }
    for (CTerrainPatch& patch : patches) {
        buffers.Delete(patch.vertexBuffer);
    }
    if (listBase != 0) {
        glDeleteLists(listBase, listCount);
        listBase  = 0;
        listCount = 0;
    }
    overlay.reset();
    magnifiedSampler.Release();
    patches.clear();
    nodes.clear();
    buffers   = CBufferObjects();
    heightmap = nullptr;
    size = patchesPerSide = treeLevels = 0;
}

// ---- per frame ----

void CTerrain::Update() {
    Cull();
    SelectDetail();
    SetEdgeLevels();
    needsUpdate = false;
}

void CTerrain::MarkNode(int node, bool visible) {
    for (const int patch : nodes[node].patches) {
        patches[patch].levels.visible = visible;
    }
}

void CTerrain::Cull() {
    if (!GetOptions().frustumCulling || frustum == nullptr) {
        MarkNode(0, true);
        return;
    }
    std::vector<int> stack{0};
    while (!stack.empty()) {
        const int node = stack.back();
        stack.pop_back();
        const CBoundingBox& box    = nodes[node].box;
        const int           result = frustum->BoxInFrustum(box.minimum.x, box.maximum.x, box.minimum.y, box.maximum.y,
                                                           box.minimum.z, box.maximum.z);
        if (result == CFrustum::intersecting && nodes[node].children[0] != -1) {
            // Pushed in reverse so that children are visited in order 0..3.
            for (int child = 3; child >= 0; --child) {
                stack.push_back(nodes[node].children[child]);
            }
        } else {
            MarkNode(node, result != CFrustum::outside);
        }
    }
}

void CTerrain::SelectDetail() {
    const bool detail = GetOptions().levelOfDetail && camera != nullptr;
    for (CTerrainPatch& patch : patches) {
        if (!patch.levels.visible) {
            continue;
        }
        if (!detail) {
            patch.levels.level = 0;
            continue;
        }
        const float distance = (patch.centre - camera->GetEye()).Length() / detailDivisor;
        patch.levels.level   = distance > patch.error[2] ? 2 : distance > patch.error[1] ? 1 : 0;
    }
}

void CTerrain::SetEdgeLevels() {
    for (CTerrainPatch& patch : patches) {
        CPatchLevels& levels = patch.levels;
        auto          edge   = [&](int neighbour) {
            const bool shown = neighbour != -1 && patches[neighbour].levels.visible;
            return shown ? patches[neighbour].levels.level : levels.level;
        };
        levels.rowEdgeLevel    = edge(patch.rowNeighbour);
        levels.columnEdgeLevel = edge(patch.columnNeighbour);
    }
}

void CTerrain::FindMagnifiedPatches() {
    for (CTerrainPatch& patch : patches) {
        patch.magnified = patch.levels.visible && IsMagnified(patch);
    }
}

// True when every triangle the patch draws magnifies its texture everywhere.
bool CTerrain::IsMagnified(const CTerrainPatch& patch) const {
    if (patch.texture == 0 || patch.textureWidth <= 0 || patch.textureHeight <= 0) {
        return false;
    }
    const std::vector<GLuint>& indices = WholeSet(patch.levels).indices;
    for (size_t k = 0; k + 2 < indices.size(); k += 3) {
        CWindowVertex corner[3];
        for (int i = 0; i < 3; ++i) {
            const float* vertex = &patch.vertices[static_cast<size_t>(indices[k + i]) * floatsPerVertex];
            corner[i]           = TexelFootprint::Project(pixelMapping, vertex[2], vertex[3], vertex[4],
                                                          vertex[0] * patch.textureWidth, vertex[1] * patch.textureHeight);
        }
        if (TexelFootprint::TriangleBound(corner[0], corner[1], corner[2]) > TexelFootprint::magnifiedLimit) {
            return false;
        }
    }
    return true;
}

const CTerrainIndexSet& CTerrain::RowSet(const CPatchLevels& levels) const {
    return rowEdge[levels.level * 3 + levels.rowEdgeLevel];
}

const CTerrainIndexSet& CTerrain::WholeSet(const CPatchLevels& levels) const {
    return wholePatch[(levels.level * 3 + levels.rowEdgeLevel) * 3 + levels.columnEdgeLevel];
}

const CTerrainIndexSet& CTerrain::ColumnSet(const CPatchLevels& levels) const {
    return columnEdge[levels.level * 3 + levels.columnEdgeLevel];
}

int CTerrain::Draw() {
    if (!IsBuilt()) {
        return 0;
    }
    const bool updated = needsUpdate || camera == nullptr || camera->IsChanged();
    if (updated) {
        Update();
    }
    const bool shortcuts = GetOptions().fillShortcuts && magnifiedSampler.IsCreated();
    if (shortcuts) {
        const CPixelMapping view = CPixelMapping::FromGl();
        if (updated || !(view == pixelMapping)) {
            pixelMapping = view;
            FindMagnifiedPatches();
        }
    }
    RenderMode path = GetOptions().renderMode;
    if (path == renderBufferObjects && !buffers.IsLoaded()) {
        path = renderVertexArrays;
    }
    const bool          useLists = path == renderImmediate && listBase != 0 && GetOptions().displayLists;
    const CGlStateScope state(GL_TEXTURE_BIT | GL_ENABLE_BIT, GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    int triangles = 0;
    for (const CTerrainPatch& patch : patches) {
        if (patch.levels.visible) {
            magnifiedSampler.Use(shortcuts && patch.magnified);
            triangles += DrawPatch(patch, path, useLists);
        }
    }
    magnifiedSampler.Finish();
    if (path == renderBufferObjects) {
        buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
        buffers.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    }
    return triangles;
}

// The array paths draw the patch's three parts with one call from the
// joined set; immediate mode and the lists submit the parts one by one. All
// give the same triangles in the same order.
int CTerrain::DrawPatch(const CTerrainPatch& patch, RenderMode path, bool useLists) {
    const CPatchLevels&     levels = patch.levels;
    const CTerrainIndexSet& whole  = WholeSet(levels);
    const GLsizei           count  = static_cast<GLsizei>(whole.indices.size());
    glBindTexture(GL_TEXTURE_2D, patch.texture);
    if (path == renderBufferObjects) {
        buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, patch.vertexBuffer);
        glTexCoordPointer(2, GL_FLOAT, vertexBytes, BufferOffset(0));
        glVertexPointer(3, GL_FLOAT, vertexBytes, BufferOffset(positionOffset));
        buffers.bindBuffer(GL_ELEMENT_ARRAY_BUFFER_ARB, whole.buffer);
        glDrawRangeElements(GL_TRIANGLES, 0, patchVertices - 1, count, GL_UNSIGNED_INT, BufferOffset(0));
    } else if (path == renderVertexArrays) {
        glInterleavedArrays(GL_T2F_V3F, vertexBytes, patch.vertices.data());
        glDrawRangeElements(GL_TRIANGLES, 0, patchVertices - 1, count, GL_UNSIGNED_INT, whole.indices.data());
    } else if (useLists) {
        const int index = static_cast<int>(&patch - patches.data());
        glCallList(InnerList(levels.level, index));
        glCallList(RowList(levels.level, levels.rowEdgeLevel, index));
        glCallList(ColumnList(levels.level, levels.columnEdgeLevel, index));
    } else {
        DrawImmediate(patch, inner[levels.level]);
        DrawImmediate(patch, RowSet(levels));
        DrawImmediate(patch, ColumnSet(levels));
    }
    return whole.triangles;
}

std::vector<float> CTerrain::AllVertices() const {
    std::vector<float> all;
    for (const CTerrainPatch& patch : patches) {
        all.insert(all.end(), patch.vertices.begin(), patch.vertices.end());
    }
    return all;
}

std::vector<GLuint> CTerrain::VisibleTriangles() const {
    std::vector<GLuint> all;
    for (int index = 0; index < GetPatchCount(); ++index) {
        const CPatchLevels& levels = patches[index].levels;
        if (!levels.visible || levels.level < 0) {
            continue;
        }
        const GLuint base = static_cast<GLuint>(index * patchVertices);
        for (const GLuint vertex : WholeSet(levels).indices) {
            all.push_back(base + vertex);
        }
    }
    return all;
}

// ---- pick ----

void CTerrain::PickTile(int mouseX, int mouseY, int& column, int& row) {
    pickX = pickZ = -1.0f;
    double bestT  = -1.0;
    if (IsBuilt()) {
        GLdouble modelView[16];
        GLdouble projection[16];
        GLint    viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        const double windowY = viewport[3] - mouseY;
        double       nearPoint[3];
        double       farPoint[3];
        const bool   projected = gluUnProject(mouseX, windowY, 0.0, modelView, projection, viewport, &nearPoint[0],
                                              &nearPoint[1], &nearPoint[2]) == GL_TRUE &&
                               gluUnProject(mouseX, windowY, 1.0, modelView, projection, viewport, &farPoint[0],
                                            &farPoint[1], &farPoint[2]) == GL_TRUE;
        const double direction[3] = {farPoint[0] - nearPoint[0], farPoint[1] - nearPoint[1],
                                     farPoint[2] - nearPoint[2]};
        for (int patch = 0; projected && patch < GetPatchCount(); ++patch) {
            if (patches[patch].levels.visible) {
                PickPatch(patch, nearPoint, direction, bestT);
            }
        }
    }
    CGridManager::TileUnderPoint(CGridManager::TileSizeFor(heightmap), pickX, pickZ, pickColumn, pickRow);
    column = pickColumn;
    row    = pickRow;
}

// Tests the ray against the patch in blocks of pickBlockCells cells and keeps
// the nearest hit in front of the near plane (t in 0..1 spans near to far).
void CTerrain::PickPatch(int index, const double origin[3], const double direction[3], double& bestT) {
    const float cell     = heightmap->GetSpacing();
    const float scale    = heightmap->GetHeightScale();
    const int   firstRow = (index / patchesPerSide) * patchCells;
    const int   firstCol = (index % patchesPerSide) * patchCells;
    auto        corner   = [&](int row, int column, double point[3]) {
        point[0] = static_cast<double>(column) * cell;
        point[1] = static_cast<double>(heightmap->GetSample(column, row)) * scale;
        point[2] = static_cast<double>(row) * cell;
    };
    for (int row = firstRow; row < firstRow + patchCells; row += pickBlockCells) {
        for (int column = firstCol; column < firstCol + patchCells; column += pickBlockCells) {
            double topLeft[3], bottomLeft[3], bottomRight[3], topRight[3];
            corner(row, column, topLeft);
            corner(row + pickBlockCells, column, bottomLeft);
            corner(row + pickBlockCells, column + pickBlockCells, bottomRight);
            corner(row, column + pickBlockCells, topRight);
            const double* triangles[2][3] = {{topLeft, bottomLeft, bottomRight}, {topLeft, bottomRight, topRight}};
            for (const auto& triangle : triangles) {
                const CRayHit hit = IntersectRayTriangle(origin, direction, triangle[0], triangle[1], triangle[2]);
                if (!hit.hit || hit.t < 0.0 || (bestT >= 0.0 && hit.t >= bestT)) {
                    continue;
                }
                bestT = hit.t;
                pickX = static_cast<float>(triangle[0][0] + hit.u * (triangle[1][0] - triangle[0][0]) +
                                           hit.v * (triangle[2][0] - triangle[0][0]));
                pickZ = static_cast<float>(triangle[0][2] + hit.u * (triangle[1][2] - triangle[0][2]) +
                                           hit.v * (triangle[2][2] - triangle[0][2]));
            }
        }
    }
}

// ---- overlay ----

void CTerrain::SetTileColour(int column, int row, unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    if (overlay) {
        overlay->SetTileColour(column, row, r, g, b, a);
    }
}

int CTerrain::DrawOverlay() {
    if (!overlay) {
        return 0;
    }
    std::vector<CPatchLevels> levels;
    levels.reserve(patches.size());
    for (const CTerrainPatch& patch : patches) {
        levels.push_back(patch.levels);
    }
    return overlay->Draw(levels);
}
