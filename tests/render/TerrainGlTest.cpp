#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <cmath>
#include <string>
#include <vector>

#include "TerrainScene.h"
#include "TestSupport.h"

namespace {

using TerrainGlTest = TerrainSceneTest;

int Hills(int row, int column) {
    return 100 + static_cast<int>(60.0 * std::sin(row * 0.05) * std::cos(column * 0.04));
}

TEST_F(TerrainGlTest, Size257GivesTheDocumentedPatchesTreeAndSets) {
    app->options.displayLists = false;
    Build(257, Hills, false);
    EXPECT_EQ(terrain->GetPatchesPerSide(), 8);
    EXPECT_EQ(terrain->GetPatchCount(), 64);
    EXPECT_EQ(terrain->GetNodeCount(), 85);
    EXPECT_EQ(terrain->GetTreeLevels(), 4);
    EXPECT_EQ(terrain->GetInnerSet(0).triangles, 1922);
    EXPECT_EQ(terrain->GetInnerSet(2).triangles, 98);
    EXPECT_EQ(terrain->GetRowEdgeSet(0, 2).triangles, 39);
    EXPECT_EQ(terrain->GetColumnEdgeSet(2, 0).triangles, 39);
    const int neighbours[][3] = {{0, -1, -1}, {1, -1, 0}, {8, 0, -1}, {9, 1, 8}, {63, 55, 62}}; // patch, row, column
    for (const auto& test : neighbours) {
        EXPECT_EQ(terrain->GetPatchByIndex(test[0]).rowNeighbour, test[1]) << "patch " << test[0];
        EXPECT_EQ(terrain->GetPatchByIndex(test[0]).columnNeighbour, test[2]) << "patch " << test[0];
    }
    // Heap order: node 2 is the root's second quadrant (patch columns 4..7 of rows 0..3).
    const CTerrainQuadNode& root = terrain->GetNodeByIndex(0);
    EXPECT_EQ(root.patchCount, 64);
    EXPECT_EQ(root.children[1], 2);
    const CTerrainQuadNode& second = terrain->GetNodeByIndex(2);
    EXPECT_EQ(second.parent, 0);
    EXPECT_EQ(second.patchCount, 16);
    EXPECT_EQ(second.patches.front(), 4);
    EXPECT_EQ(second.patches[4], 12);
    EXPECT_EQ(terrain->GetNodeByIndex(3).patches.front(), 32);
    // Node 84 is the last leaf: patch 63, whose centre is its box's centre.
    const CTerrainQuadNode& leaf = terrain->GetNodeByIndex(84);
    ASSERT_EQ(leaf.patches.size(), 1u);
    EXPECT_EQ(leaf.patches[0], 63);
    EXPECT_EQ(leaf.children[0], -1);
    EXPECT_FLOAT_EQ(terrain->GetPatchByIndex(63).centre.x, 1920.0f);
    EXPECT_FLOAT_EQ(root.box.maximum.x, mapWidth);
    // A patch's texture spans it with the image's top edge on its first row.
    const std::vector<float>& vertices = terrain->GetPatchByIndex(9).vertices;
    EXPECT_FLOAT_EQ(vertices[1], 1.0f);
    EXPECT_FLOAT_EQ(vertices[2], 256.0f);
    EXPECT_FLOAT_EQ(vertices[4], 256.0f);
    EXPECT_FLOAT_EQ(vertices[3], heightmap->GetSample(32, 32) * heightmap->GetHeightScale());
}

// Sizes that are not 32 n + 1 samples (and no heightmap at all) give an
// empty terrain that draws and picks nothing, with the size in the log.
TEST_F(TerrainGlTest, UnsupportedSizesAreLoggedAndDrawNothing) {
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
}

TEST_F(TerrainGlTest, EveryPathDrawsTheSamePicture) {
    app->options.vertexBufferObjects = true;
    app->options.displayLists        = true;
    Build(129, Hills, true);
    ASSERT_TRUE(terrain->HasBufferObjects()) << "Mesa offers GL_ARB_vertex_buffer_object";
    ASSERT_TRUE(terrain->HasDisplayLists());
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
}

// Counts white pixels below the terrain's upper outline in each window
// column: inside the ground they can only come from cracks.
int HolesBelowOutline(const CPicture& picture) {
    int holes = 0;
    for (int x = 0; x < picture.width; ++x) {
        int top = -1;
        for (int y = picture.height - 1; y >= 0 && top < 0; --y) {
            top = TerrainSceneTest::IsWhite(picture.At(x, y)) ? -1 : y;
        }
        for (int y = 0; y < top; ++y) {
            holes += TerrainSceneTest::IsWhite(picture.At(x, y)) ? 1 : 0;
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

TEST_F(TerrainGlTest, WithoutCullingAndDetailEveryPatchIsDrawnAtFullDetail) {
    Build(257, GrowingNoise, false);
    LookFrom(CVector3(200, 600, 200), CVector3(100, 500, 100)); // looking off the map
    const int culled = DrawFrame(renderVertexArrays, false);
    EXPECT_LT(culled, 64 * (1922 + 63 + 63));
    app->options.frustumCulling = false;
    app->options.levelOfDetail  = false;
    EXPECT_EQ(DrawFrame(renderVertexArrays, false), 64 * (1922 + 63 + 63));
    for (int patch = 0; patch < terrain->GetPatchCount(); ++patch) {
        EXPECT_TRUE(terrain->GetPatchByIndex(patch).levels.visible);
        EXPECT_EQ(terrain->GetPatchByIndex(patch).levels.level, 0);
    }
}

TEST_F(TerrainGlTest, CullingKeepsThePatchesInViewAndSkipsTheRest) {
    Build(257, Hills, false);
    LookFrom(CVector3(100, 500, 100), CVector3(400, 300, 400));
    DrawFrame(renderVertexArrays, false);
    EXPECT_TRUE(terrain->GetPatchByIndex(9).levels.visible);
    EXPECT_FALSE(terrain->GetPatchByIndex(0).levels.visible) << "the patch under and behind the eye";
    // Nothing is recomputed while the camera has not changed.
    camera->SetPosition(CVector3(1800, 500, 1800), CVector3(1500, 300, 1500), CVector3(0, 1, 0));
    camera->SetChanged(false);
    terrain->Draw();
    EXPECT_FALSE(terrain->GetPatchByIndex(0).levels.visible);
}

TEST_F(TerrainGlTest, DestructionDeletesEveryBufferAndList) {
    app->options.vertexBufferObjects = true;
    app->options.displayLists        = true;
    Build(65, Hills, false);
    const auto isBuffer = reinterpret_cast<PFNGLISBUFFERARBPROC>(glutGetProcAddress("glIsBufferARB"));
    ASSERT_NE(isBuffer, nullptr);
    const std::vector<GLuint> names     = {terrain->GetPatchByIndex(0).vertexBuffer,
                                           terrain->GetPatchByIndex(3).vertexBuffer, terrain->GetInnerSet(1).buffer,
                                           terrain->GetRowEdgeSet(2, 0).buffer, terrain->GetColumnEdgeSet(0, 2).buffer};
    const GLuint              firstList = terrain->GetFirstList();
    const GLuint              lastList  = firstList + (3 + 18) * 4 - 1;
    for (const GLuint name : names) {
        ASSERT_TRUE(isBuffer(name)) << "buffer " << name;
    }
    ASSERT_TRUE(glIsList(firstList) && glIsList(lastList));
    terrain.reset();
    for (const GLuint name : names) {
        EXPECT_FALSE(isBuffer(name)) << "buffer " << name;
    }
    EXPECT_FALSE(glIsList(firstList));
    EXPECT_FALSE(glIsList(lastList));
}

int Flat(int, int) {
    return 50;
}

// One raised sample at an odd row and column of the first patch: the coarse
// levels skip it, so both errors are its height over the plain.
int Spike(int row, int column) {
    return row == 5 && column == 7 ? 90 : 50;
}

TEST_F(TerrainGlTest, GeometricErrorsMeasureWhatTheCoarseLevelsLeaveOut) {
    app->options.displayLists = false;
    Build(65, Spike, false);
    const float scale = heightmap->GetHeightScale();
    EXPECT_FLOAT_EQ(terrain->GetPatchByIndex(0).error[0], 0.0f);
    EXPECT_FLOAT_EQ(terrain->GetPatchByIndex(0).error[1], 40.0f * scale);
    EXPECT_FLOAT_EQ(terrain->GetPatchByIndex(0).error[2], 40.0f * scale);
    EXPECT_FLOAT_EQ(terrain->GetPatchByIndex(1).error[2], 0.0f) << "the spike is not on patch 1";
    Build(65, Flat, false);
    for (int patch = 0; patch < terrain->GetPatchCount(); ++patch) {
        EXPECT_FLOAT_EQ(terrain->GetPatchByIndex(patch).error[2], 0.0f);
    }
}

TEST_F(TerrainGlTest, DetailFollowsTheDistanceOverTheError) {
    app->options.displayLists   = false;
    app->options.frustumCulling = false;
    Build(65, Spike, false);
    // error 40 * 400 / 255 = 62.7 world units: level 0 while distance / 120 is below it.
    const float    error  = terrain->GetPatchByIndex(0).error[1];
    const CVector3 centre = terrain->GetPatchByIndex(0).centre;
    struct Case {
        float distance;
        int   level;
    };
    for (const Case& test : {Case{error * 120.0f * 0.9f, 0}, Case{error * 120.0f * 1.1f, 2}}) {
        camera->SetPosition(centre + CVector3(0, test.distance, 0), centre, CVector3(0, 1, 0));
        DrawFrame(renderVertexArrays, false);
        EXPECT_EQ(terrain->GetPatchByIndex(0).levels.level, test.level) << "distance " << test.distance;
        EXPECT_EQ(terrain->GetPatchByIndex(1).levels.level, 2) << "flat patches are always coarse";
    }
}

} // namespace
