#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <cmath>
#include <memory>

#include "GlFixture.h"
#include "TestSupport.h"
#include "core/Camera.h"
#include "core/Frustum.h"
#include "core/Heightmap.h"
#include "render/Terrain.h"
#include "rules/GridManager.h"

// The terrain's patches, detail levels, culling and picking, and the tile overlay.
namespace {

// Heightmaps over 2048 world units (sample 255 is 400 units high); frames draw on white.
class TerrainGlTest : public GlSceneTest {
public:
    static constexpr float mapWidth  = 2048.0f;
    static constexpr float mapHeight = 400.0f;

    using HeightFunction = std::function<int(int row, int column)>;

    static CHeightmap MakeHeightmap(int size, const HeightFunction& height) {
        return CHeightmap(size, Samples(size, [&](int column, int row) { return height(row, column); }), mapWidth,
                          mapHeight);
    }

    static bool IsWhite(const uint8_t* pixel) { return pixel[0] > 250 && pixel[1] > 250 && pixel[2] > 250; }
    static int  CountWhite(const CPicture& picture) { return picture.Count(IsWhite); }

    // Noise growing along the columns: errors differ between patches, a view mixes detail levels.
    static int GrowingNoise(int row, int column) {
        const unsigned hash = static_cast<unsigned>(row * 7919 + column * 104729) * 2654435761u;
        return 100 + static_cast<int>((hash >> 24) % (1 + column / 16));
    }

protected:
    void TearDown() override {
        terrain.reset();
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        glDisable(GL_CULL_FACE);
        GlSceneTest::TearDown();
    }

    void Build(int size, const HeightFunction& height, bool withTextures = false) {
        heightmap = std::make_unique<CHeightmap>(MakeHeightmap(size, height));
        terrain   = std::make_unique<CTerrain>();
        TerrainTextureLoader loader;
        if (withTextures) {
            loader = [this](const std::string&, bool) { return MakeTexture(); };
        }
        ASSERT_TRUE(terrain->Create("TestLevel\\Terrain", heightmap.get(), loader));
        camera = std::make_unique<CCamera>(heightmap.get());
        terrain->SetCamera(camera.get());
        terrain->SetFrustum(&frustum);
    }

    // A checker whose colours differ per texture: a wrong texture or coordinate changes the picture.
    GLuint MakeTexture() {
        const int            side  = 16;
        const uint8_t        shade = static_cast<uint8_t>(40 + 13 * textures.size() % 200);
        std::vector<uint8_t> texels;
        for (int texel = 0; texel < side * side; ++texel) {
            const int x = texel % side, y = texel / side;
            texels.insert(texels.end(), {(x / 4 + y / 4) % 2 == 0 ? shade : uint8_t{230}, static_cast<uint8_t>(y * 15),
                                         static_cast<uint8_t>(x * 15)});
        }
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        textures.push_back(texture);
        return texture;
    }

    // A perspective view from the camera pose; the frustum follows.
    void LookFrom(const CVector3& eye, const CVector3& center) {
        camera->SetPosition(eye, center, CVector3(0, 1, 0));
        Look(CView{{eye.x, eye.y, eye.z}, {center.x, center.y, center.z}});
    }

    // Straight down, orthographic, `margin` inside the map's border: x to the right, z down.
    void LookDown(float margin = 0.0f) {
        camera->SetPosition(CVector3(1024, 1500, 1024), CVector3(1024, 0, 1024.01f), CVector3(0, 1, 0));
        Look(CView{{1024, 2000, 1024}, {1024, 0, 1024}, 0.0, 1024.0 - margin, 1.0, 4000.0, {0, 0, -1}});
    }

    void Look(const CView& view) {
        const float white[3] = {1.0f, 1.0f, 1.0f};
        ClearAndLook(white, view);
        float modelView[16], projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        frustum.Update(modelView, projection);
    }

    // White background, untextured terrain black, culling and detail chosen again; returns triangles.
    int DrawFrame(RenderMode renderMode = renderVertexArrays, bool displayLists = false) {
        app->options.renderMode   = renderMode;
        app->options.displayLists = displayLists;
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glColor3f(0, 0, 0);
        camera->SetChanged(true);
        terrainTriangles = terrain->Draw();
        camera->SetChanged(false);
        glFinish();
        return terrainTriangles;
    }

    // Black terrain, then the overlay; returns the overlay's triangles.
    int DrawTiles() {
        DrawFrame(app->options.renderMode);
        return terrain->DrawOverlay();
    }

    void TileCentre(int column, int row, float& x, float& z) const {
        CGridManager::TileCentreAt(CGridManager::TileSizeFor(heightmap.get()), column, row, x, z);
    }

    // The colour at a tile's centre, or a world position (x, z), in the top-down view.
    std::vector<int> TileColour(int column, int row) const {
        float x = 0, z = 0;
        TileCentre(column, row, x, z);
        return ColourAt(x, z);
    }
    std::vector<int> ColourAt(float x, float z) const {
        const int     column = static_cast<int>(x / mapWidth * windowWidth);
        const int     row    = windowHeight - 1 - static_cast<int>(z / mapWidth * windowHeight);
        unsigned char pixel[3];
        glReadPixels(column, row, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
        return {pixel[0], pixel[1], pixel[2]};
    }

    std::unique_ptr<CHeightmap> heightmap;
    std::unique_ptr<CTerrain>   terrain;
    std::unique_ptr<CCamera>    camera;
    CFrustum                    frustum;
    std::vector<GLuint>         textures;
    int                         terrainTriangles = 0;
};

int Hills(int row, int column) {
    return 100 + static_cast<int>(60.0 * std::sin(row * 0.05) * std::cos(column * 0.04));
}
int GentleHills(int row, int column) {
    return 60 + static_cast<int>(30.0 * std::sin(row * 0.03) * std::cos(column * 0.025));
}
// A flat plain with a wall across rows 192..208 (world z 1536..1664).
int Wall(int row, int) {
    return row >= 192 && row <= 208 ? 255 : 0;
}

// The quad tree in heap order: node 2 is the root's second quadrant, patch columns 4..7 of rows 0..3; node 84
// the last leaf, patch 63. A patch's texture spans it with the image's top edge on its first row.
TEST_F(TerrainGlTest, Size257GivesTheDocumentedPatchesTreeAndSets) {
    app->options.displayLists = false;
    Build(257, Hills, false);
    const CTerrainQuadNode &root = terrain->GetNodeByIndex(0), &second = terrain->GetNodeByIndex(2);
    const CTerrainQuadNode& leaf = terrain->GetNodeByIndex(84);
    ASSERT_EQ(leaf.patches.size(), 1u);
    const std::vector<float>& vertices = terrain->GetPatchByIndex(9).vertices; // s, t, x, y, z
    // clang-format off
    const std::vector<int> counts = {terrain->GetPatchesPerSide(), terrain->GetPatchCount(), terrain->GetNodeCount(),
        terrain->GetTreeLevels(), terrain->GetInnerSet(0).triangles, terrain->GetInnerSet(2).triangles,
        terrain->GetRowEdgeSet(0, 2).triangles, terrain->GetColumnEdgeSet(2, 0).triangles, root.patchCount,
        root.children[1], second.parent, second.patchCount, second.patches.front(), second.patches[4],
        terrain->GetNodeByIndex(3).patches.front(), leaf.patches[0], leaf.children[0]};
    // clang-format on
    EXPECT_EQ(counts, (std::vector<int>{8, 64, 85, 4, 1922, 98, 39, 39, 64, 2, 0, 16, 4, 12, 32, 63, -1}));
    const std::vector<float> exact = {terrain->GetPatchByIndex(63).centre.x, root.box.maximum.x, vertices[1],
                                      vertices[2], vertices[4]};
    EXPECT_EQ(exact, (std::vector<float>{1920.0f, mapWidth, 1.0f, 256.0f, 256.0f}));
    EXPECT_FLOAT_EQ(vertices[3], heightmap->GetSample(32, 32) * heightmap->GetHeightScale());
    const int neighbours[][3] = {{0, -1, -1}, {1, -1, 0}, {8, 0, -1}, {9, 1, 8}, {63, 55, 62}}; // patch, row, column
    for (const auto& test : neighbours) {
        EXPECT_EQ(terrain->GetPatchByIndex(test[0]).rowNeighbour, test[1]) << "patch " << test[0];
        EXPECT_EQ(terrain->GetPatchByIndex(test[0]).columnNeighbour, test[2]) << "patch " << test[0];
    }
}

// Sizes that are not 32 n + 1 samples (and no heightmap at all) give an empty terrain that
// draws and picks nothing, with the size in the log; so do tiles narrower than the coarsest step.
TEST_F(TerrainGlTest, UnsupportedSizesAndNarrowTilesAreLoggedAndDrawNothing) {
    CTempWorkDir dir;
    for (const int size : {100, 97, 32, 1, 2049, 0}) {
        CHeightmap bad = MakeHeightmap(std::max(size, 1), [](int, int) { return 5; });
        CTerrain   empty;
        EXPECT_FALSE(empty.Create("TestLevel\\Terrain", size > 0 ? &bad : nullptr, TerrainTextureLoader())) << size;
        EXPECT_EQ(empty.Draw(), 0) << "size " << size;
        int column = 7, row = 7;
        empty.PickTile(10, 10, column, row);
        EXPECT_TRUE(column == 0 && row == 0 && !empty.HasPickHit()) << "size " << size;
        const std::string sides = std::to_string(size) + " x " + std::to_string(size);
        EXPECT_TRUE(size == 0 || ReadFile("log_error.txt").find(sides) != std::string::npos) << sides;
    }
    Build(65, GentleHills);
    EXPECT_NE(ReadFile("log_error.txt").find("tile overlay"), std::string::npos);
    terrain->SetTileColour(3, 3, 255, 0, 0, 255);
    EXPECT_EQ(terrain->DrawOverlay(), 0);
}

TEST_F(TerrainGlTest, EveryPathDrawsTheSamePicture) {
    app->options.vertexBufferObjects = true;
    app->options.displayLists        = true;
    Build(129, Hills, true);
    ASSERT_TRUE(terrain->HasBufferObjects() && terrain->HasDisplayLists()) << "Mesa offers GL_ARB_vertex_buffer_object";
    glEnable(GL_CULL_FACE);
    LookFrom(CVector3(300, 700, -200), CVector3(900, 100, 900));
    const int      reference = DrawFrame(renderVertexArrays, false);
    const CPicture expected  = CPicture::Read();
    ASSERT_LT(CountWhite(expected), windowWidth * windowHeight * 2 / 3) << "the view should be mostly terrain";
    for (const auto& path : {std::make_pair(renderBufferObjects, false), std::make_pair(renderImmediate, false),
                             std::make_pair(renderImmediate, true)}) {
        EXPECT_EQ(DrawFrame(path.first, path.second), reference) << "mode " << path.first << ", lists " << path.second;
        EXPECT_LE(CountDifferences(CPicture::Read(), expected, 8), windowWidth * windowHeight / 500)
            << "mode " << path.first << ", lists " << path.second << " differs from vertex arrays";
    }
    const auto isBuffer = reinterpret_cast<PFNGLISBUFFERARBPROC>(glutGetProcAddress("glIsBufferARB"));
    ASSERT_NE(isBuffer, nullptr);
    const GLuint names[] = {terrain->GetPatchByIndex(0).vertexBuffer, terrain->GetPatchByIndex(3).vertexBuffer,
                            terrain->GetInnerSet(1).buffer, terrain->GetRowEdgeSet(2, 0).buffer,
                            terrain->GetColumnEdgeSet(0, 2).buffer};
    const GLuint lists[] = {terrain->GetFirstList(), terrain->GetFirstList() + (3 + 18) * 16 - 1};
    for (const bool exists : {true, false}) { // destruction deletes every buffer and list
        for (const GLuint name : names) {
            EXPECT_EQ(isBuffer(name), exists) << "buffer " << name;
        }
        EXPECT_EQ(glIsList(lists[0]) && glIsList(lists[1]), exists);
        terrain.reset();
    }
}

// White pixels below the terrain's upper outline in each column can only come from cracks.
int HolesBelowOutline(const CPicture& picture) {
    int holes = 0;
    for (int x = 0; x < picture.width; ++x) {
        int top = -1;
        for (int y = picture.height - 1; y >= 0 && top < 0; --y) {
            top = TerrainGlTest::IsWhite(picture.At(x, y)) ? -1 : y;
        }
        for (int y = 0; y < top; ++y) {
            holes += TerrainGlTest::IsWhite(picture.At(x, y)) ? 1 : 0;
        }
    }
    return holes;
}

TEST_F(TerrainGlTest, CoarsePatchesBesideFineOnesLeaveNoCracks) {
    Build(257, GrowingNoise, false);
    glEnable(GL_CULL_FACE);
    const struct {
        const char* name;
        CVector3    eye, center;
    } views[] = {{"along the rows", CVector3(1024, 500, -300), CVector3(1024, 100, 700)},
                 {"across the columns", CVector3(-300, 500, 1024), CVector3(700, 100, 1024)},
                 {"diagonal", CVector3(400, 500, 400), CVector3(1200, 100, 1200)}};
    for (const auto& view : views) {
        LookFrom(view.eye, view.center);
        DrawFrame(renderVertexArrays, false);
        bool levelSeen[3] = {false, false, false};
        for (int patch = 0; patch < terrain->GetPatchCount(); ++patch) {
            const CPatchLevels& levels = terrain->GetPatchByIndex(patch).levels;
            if (levels.visible) {
                levelSeen[levels.level] = true;
            }
        }
        ASSERT_TRUE(levelSeen[0] && levelSeen[2]) << view.name << ": the view should mix fine and coarse patches";
        EXPECT_EQ(HolesBelowOutline(CPicture::Read()), 0) << view.name;
    }
    // Straight down: no background inside the map.
    LookDown(8.0f);
    DrawFrame(renderVertexArrays, false);
    EXPECT_EQ(CountWhite(CPicture::Read()), 0);
}

// Culling keeps the patches in view, skips the rest and recomputes nothing while the camera
// has not changed; without culling and detail every patch is drawn at full detail.
TEST_F(TerrainGlTest, CullingAndDetailChooseThePatchesAndCanBeSwitchedOff) {
    Build(257, GrowingNoise, false);
    LookFrom(CVector3(100, 500, 100), CVector3(400, 300, 400));
    DrawFrame(renderVertexArrays, false);
    EXPECT_TRUE(terrain->GetPatchByIndex(9).levels.visible);
    EXPECT_FALSE(terrain->GetPatchByIndex(0).levels.visible) << "the patch under and behind the eye";
    camera->SetPosition(CVector3(1800, 500, 1800), CVector3(1500, 300, 1500), CVector3(0, 1, 0));
    camera->SetChanged(false);
    terrain->Draw();
    EXPECT_FALSE(terrain->GetPatchByIndex(0).levels.visible);
    LookFrom(CVector3(200, 600, 200), CVector3(100, 500, 100)); // looking off the map
    EXPECT_LT(DrawFrame(renderVertexArrays, false), 64 * (1922 + 63 + 63));
    app->options.frustumCulling = false;
    app->options.levelOfDetail  = false;
    EXPECT_EQ(DrawFrame(renderVertexArrays, false), 64 * (1922 + 63 + 63));
    for (int patch = 0; patch < terrain->GetPatchCount(); ++patch) {
        EXPECT_TRUE(terrain->GetPatchByIndex(patch).levels.visible);
        EXPECT_EQ(terrain->GetPatchByIndex(patch).levels.level, 0);
    }
}

// One raised sample at an odd row and column of patch 0: both coarse levels leave it out, so
// its height is their error. Level 0 while distance / 120 is below it; flat patches are coarse.
TEST_F(TerrainGlTest, GeometricErrorsMeasureWhatTheCoarseLevelsLeaveOutAndSetTheDetail) {
    app->options.displayLists   = false;
    app->options.frustumCulling = false;
    Build(65, [](int, int) { return 50; });
    for (int patch = 0; patch < terrain->GetPatchCount(); ++patch) {
        EXPECT_FLOAT_EQ(terrain->GetPatchByIndex(patch).error[2], 0.0f);
    }
    Build(65, [](int row, int column) { return row == 5 && column == 7 ? 90 : 50; });
    const CTerrainPatch &first = terrain->GetPatchByIndex(0), &second = terrain->GetPatchByIndex(1);
    const float          error = 40.0f * heightmap->GetHeightScale(); // 62.7 world units
    EXPECT_FLOAT_EQ(first.error[0], 0.0f);
    EXPECT_FLOAT_EQ(first.error[1], error);
    EXPECT_FLOAT_EQ(first.error[2], error);
    EXPECT_FLOAT_EQ(second.error[2], 0.0f) << "the spike is not on patch 1";
    for (const auto& test : {std::make_pair(error * 120.0f * 0.9f, 0), std::make_pair(error * 120.0f * 1.1f, 2)}) {
        camera->SetPosition(first.centre + CVector3(0, test.first, 0), first.centre, CVector3(0, 1, 0));
        DrawFrame(renderVertexArrays, false);
        EXPECT_EQ(first.levels.level, test.second) << "distance " << test.first;
        EXPECT_EQ(second.levels.level, 2);
    }
}

// With every tile set, the overlay draws the terrain's triangles, whatever the detail levels. Tiles set
// for this frame are coloured (one beyond the map clamped to its edge), their neighbours not, the next frame none.
TEST_F(TerrainGlTest, OverlayColoursOnlyTheTilesSetThisFrameAndCoversTheTerrain) {
    Build(257, GrowingNoise);
    for (const auto& eye : {CVector3(1024, 500, -300), CVector3(400, 500, 400), CVector3(1024, 3000, 1024)}) {
        LookFrom(eye, CVector3(1024, 100, 1100));
        for (int tile = 0; tile < 32 * 32; ++tile) {
            terrain->SetTileColour(tile % 32, tile / 32, 200, 0, 0, 128);
        }
        EXPECT_EQ(DrawTiles(), terrainTriangles) << "eye " << eye.x << "," << eye.z;
    }
    const std::vector<int> red{255, 0, 0}, green{0, 255, 0}, black{0, 0, 0};
    for (const RenderMode renderMode : {renderBufferObjects, renderVertexArrays}) {
        SCOPED_TRACE("mode " + std::to_string(renderMode));
        app->options.renderMode     = renderMode;
        app->options.frustumCulling = false;
        LookDown();
        terrain->SetTileColour(3, 5, 255, 0, 0, 255);
        terrain->SetTileColour(4, 8, 0, 255, 0, 255);   // first column and row of patch (1, 2): strips
        terrain->SetTileColour(40, -3, 0, 255, 0, 255); // clamped to (31, 0)
        EXPECT_GT(DrawTiles(), 0);
        // Near the corner of tile (4, 8), where only the strips cover it.
        EXPECT_EQ(ColourAt(4 * 64 + 3, 8 * 64 + 3), green);
        const std::vector<int> colours[]  = {black, red, green};
        const int              tiles[][3] = {{3, 5, 1}, {31, 0, 2}, {2, 5, 0},
                                             {3, 4, 0}, {4, 5, 0},  {5, 8, 0}}; // column, row, colour
        for (const auto& tile : tiles) {
            EXPECT_EQ(TileColour(tile[0], tile[1]), colours[tile[2]]) << "tile " << tile[0] << "," << tile[1];
        }
        EXPECT_EQ(DrawTiles(), 0) << "nothing was set for this frame";
        EXPECT_EQ(TileColour(3, 5), black);
    }
}

// A projected tile centre picks its tile; the sky gives tile 0 and no hit point. Looking at a wall, the ray also
// crosses the plain behind it, in patches of lower index; the pick is the nearest hit, the wall.
TEST_F(TerrainGlTest, PickTileFindsTheNearestTileUnderThePointerAndTheSkyGivesTileZero) {
    Build(257, GentleHills);
    const CVector3 poses[][2] = {{CVector3(665, 900, 145), CVector3(683, 300, 409)},
                                 {CVector3(1024, 2500, 1024), CVector3(1024, 0, 1030)},
                                 {CVector3(-200, 900, 1000), CVector3(600, 100, 1000)}};
    for (const auto& pose : poses) {
        LookFrom(pose[0], pose[1]);
        DrawTiles();
        GLdouble modelView[16], projection[16], wx, wy, wz;
        GLint    viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        int tested = 0;
        for (int row = 0; row < 32; row += 3) {
            for (int column = 0; column < 32; column += 3) {
                float x = 0, z = 0;
                TileCentre(column, row, x, z);
                gluProject(x, heightmap->HeightAt(x, z), z, modelView, projection, viewport, &wx, &wy, &wz);
                if (wx < 1 || wy < 1 || wx > windowWidth - 2 || wy > windowWidth - 2 || wz > 1.0) {
                    continue;
                }
                int pickedColumn = -1, pickedRow = -1;
                terrain->PickTile(static_cast<int>(std::lround(wx)), windowWidth - static_cast<int>(std::lround(wy)),
                                  pickedColumn, pickedRow);
                EXPECT_EQ(pickedColumn, column) << "row " << row << " eye " << pose[0].x << "," << pose[0].z;
                EXPECT_EQ(pickedRow, row) << "column " << column << " eye " << pose[0].x << "," << pose[0].z;
                EXPECT_NEAR(terrain->GetPickX(), x, 40.0f);
                EXPECT_NEAR(terrain->GetPickZ(), z, 40.0f);
                ++tested;
            }
        }
        EXPECT_GT(tested, 5) << "eye " << pose[0].x << "," << pose[0].z;
    }
    Build(257, Wall);
    int column = 9, row = 9;
    LookFrom(CVector3(1000, 600, 1000), CVector3(1000, 900, 1300));
    DrawTiles();
    terrain->PickTile(windowWidth / 2, 10, column, row);
    EXPECT_TRUE(column == 0 && row == 0);
    EXPECT_TRUE(terrain->GetPickX() == -1.0f && terrain->GetPickZ() == -1.0f);
    LookFrom(CVector3(1024, 300, 2000), CVector3(1024, 200, 1600));
    DrawTiles();
    terrain->PickTile(windowWidth / 2, windowWidth / 2, column, row);
    EXPECT_EQ(column, 16);
    EXPECT_TRUE(row >= 24 && row <= 26) << row;
    EXPECT_GT(terrain->GetPickZ(), 1536.0f);
}

} // namespace
