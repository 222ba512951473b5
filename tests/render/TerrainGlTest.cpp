#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <GL/freeglut.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "app/Camera.h"
#include "app/Frustum.h"
#include "game/Heightmap.h"
#include "render/Terrain.h"

namespace {

constexpr float mapWidth  = 2048.0f;
constexpr float mapHeight = 400.0f;
constexpr int   viewSide  = 256; // the fixture's window, in pixels

CHeightmap MakeHeightmap(int size, const std::function<int(int row, int column)>& height) {
    std::vector<int> samples(static_cast<size_t>(size) * size);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            samples[static_cast<size_t>(row) * size + column] = height(row, column);
        }
    }
    return CHeightmap(size, samples, mapWidth, mapHeight);
}

int Hills(int row, int column) {
    return 100 + static_cast<int>(60.0 * std::sin(row * 0.05) * std::cos(column * 0.04));
}

// Small noise whose amplitude grows along the columns, so the geometric
// errors differ between patches and a camera sees several detail levels.
int GrowingNoise(int row, int column) {
    const unsigned hash = static_cast<unsigned>(row * 7919 + column * 104729) * 2654435761u;
    return 100 + static_cast<int>((hash >> 24) % (1 + column / 16));
}

using Pixels = std::vector<unsigned char>;

Pixels ReadPixels() {
    Pixels pixels(viewSide * viewSide * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewSide, viewSide, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

const unsigned char* PixelAt(const Pixels& pixels, int x, int y) {
    return &pixels[(static_cast<size_t>(y) * viewSide + x) * 3];
}

bool IsWhite(const unsigned char* pixel) {
    return pixel[0] > 250 && pixel[1] > 250 && pixel[2] > 250;
}

// The GL test fixture with the application's options restored after each
// test, a heightmap and a terrain built from it.
class TerrainGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saved = GetApp()->options;
    }
    void TearDown() override {
        terrain.reset();
        for (const GLuint texture : textures) {
            glDeleteTextures(1, &texture);
        }
        glDisable(GL_CULL_FACE);
        GetApp()->options = saved;
    }

    void Build(int size, int (*height)(int, int), bool withTextures) {
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

    // A checker of two colours that differ per texture, so a patch drawn with
    // the wrong texture or coordinates changes the picture.
    GLuint MakeTexture() {
        const int                  side  = 16;
        const unsigned char        shade = static_cast<unsigned char>(40 + 13 * textures.size() % 200);
        std::vector<unsigned char> texels;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const bool dark = ((x / 4) + (y / 4)) % 2 == 0;
                texels.insert(texels.end(), {dark ? shade : static_cast<unsigned char>(230),
                                             static_cast<unsigned char>(y * 15), static_cast<unsigned char>(x * 15)});
            }
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

    // Sets a perspective view from the camera pose and updates the frustum.
    void LookFrom(const CVector3& eye, const CVector3& center) {
        camera->SetPosition(eye, center, CVector3(0, 1, 0));
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 1.0, 8000.0);
        ApplyView();
    }

    // Straight down over the map, orthographic, x to the right and z down the window.
    void LookDown(float margin) {
        camera->SetPosition(CVector3(1024, 1500, 1024), CVector3(1024, 0, 1024.01f), CVector3(0, 1, 0));
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(margin - 1024, 1024 - margin, margin - 1024, 1024 - margin, 1.0, 4000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(1024, 2000, 1024, 1024, 0, 1024, 0, 0, -1);
        UpdateFrustum();
    }

    void ApplyView() {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const CVector3& e = camera->GetEye();
        const CVector3& c = camera->GetCenter();
        gluLookAt(e.x, e.y, e.z, c.x, c.y, c.z, 0, 1, 0);
        UpdateFrustum();
    }

    void UpdateFrustum() {
        float modelView[16];
        float projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        frustum.Update(modelView, projection);
    }

    // Clears to white and draws the terrain in black where it is untextured.
    int DrawFrame(RenderMode renderMode, bool displayLists) {
        GetApp()->options.renderMode   = renderMode;
        GetApp()->options.displayLists = displayLists;
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glColor3f(0, 0, 0);
        camera->SetChanged(true);
        const int triangles = terrain->Draw();
        camera->SetChanged(false);
        glFinish();
        return triangles;
    }

    CAppOptions                 saved;
    std::unique_ptr<CHeightmap> heightmap;
    std::unique_ptr<CTerrain>   terrain;
    std::unique_ptr<CCamera>    camera;
    CFrustum                    frustum;
    std::vector<GLuint>         textures;
};

TEST_F(TerrainGlTest, Size257GivesTheDocumentedPatchesTreeAndSets) {
    GetApp()->options.displayLists = false;
    Build(257, Hills, false);
    EXPECT_EQ(terrain->GetPatchesPerSide(), 8);
    EXPECT_EQ(terrain->GetPatchCount(), 64);
    EXPECT_EQ(terrain->GetNodeCount(), 85);
    EXPECT_EQ(terrain->GetTreeLevels(), 4);
    EXPECT_EQ(terrain->GetInnerSet(0).triangles, 1922);
    EXPECT_EQ(terrain->GetInnerSet(2).triangles, 98);
    EXPECT_EQ(terrain->GetRowEdgeSet(0, 2).triangles, 39);
    EXPECT_EQ(terrain->GetColumnEdgeSet(2, 0).triangles, 39);
    struct Neighbours {
        int patch, row, column;
    };
    for (const Neighbours& test : {Neighbours{0, -1, -1}, Neighbours{1, -1, 0}, Neighbours{8, 0, -1},
                                   Neighbours{9, 1, 8}, Neighbours{63, 55, 62}}) {
        EXPECT_EQ(terrain->GetPatchByIndex(test.patch).rowNeighbour, test.row) << "patch " << test.patch;
        EXPECT_EQ(terrain->GetPatchByIndex(test.patch).columnNeighbour, test.column) << "patch " << test.patch;
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

TEST_F(TerrainGlTest, UnsupportedSizesAreLoggedAndDrawNothing) {
    CTempWorkDir dir;
    for (const int size : {100, 97, 32, 1, 2049}) {
        CHeightmap bad = MakeHeightmap(size, [](int, int) { return 5; });
        CTerrain   empty;
        EXPECT_FALSE(empty.Create("TestLevel\\Terrain", &bad, TerrainTextureLoader())) << "size " << size;
        EXPECT_EQ(empty.Draw(), 0) << "size " << size;
        int column = 7, row = 7;
        empty.PickTile(10, 10, column, row);
        EXPECT_EQ(column, 0);
        EXPECT_EQ(row, 0);
        EXPECT_FALSE(empty.HasPickHit());
        EXPECT_NE(ReadFile("log_error.txt").find(std::to_string(size) + " x " + std::to_string(size)),
                  std::string::npos)
            << "size " << size << ": " << ReadFile("log_error.txt");
    }
    CTerrain missing;
    EXPECT_FALSE(missing.Create("TestLevel\\Terrain", nullptr, TerrainTextureLoader()));
    EXPECT_EQ(missing.Draw(), 0);
}

TEST_F(TerrainGlTest, EveryPathDrawsTheSamePicture) {
    GetApp()->options.vertexBufferObjects = true;
    GetApp()->options.displayLists        = true;
    Build(129, Hills, true);
    ASSERT_TRUE(terrain->HasBufferObjects()) << "Mesa offers GL_ARB_vertex_buffer_object";
    ASSERT_TRUE(terrain->HasDisplayLists());
    glEnable(GL_CULL_FACE);
    LookFrom(CVector3(300, 700, -200), CVector3(900, 100, 900));
    struct Path {
        const char* name;
        RenderMode  mode;
        bool        lists;
    };
    const int    reference          = DrawFrame(renderVertexArrays, false);
    const Pixels referencePixels    = ReadPixels();
    int          terrainPixelsCount = 0;
    for (size_t pixel = 0; pixel < referencePixels.size(); pixel += 3) {
        terrainPixelsCount += IsWhite(&referencePixels[pixel]) ? 0 : 1;
    }
    ASSERT_GT(terrainPixelsCount, windowWidth * windowHeight / 3) << "the view should be mostly terrain";
    for (const Path& path : {Path{"buffer objects", renderBufferObjects, false},
                             Path{"immediate", renderImmediate, false}, Path{"display lists", renderImmediate, true}}) {
        EXPECT_EQ(DrawFrame(path.mode, path.lists), reference) << path.name;
        const Pixels pixels    = ReadPixels();
        int          different = 0;
        for (size_t k = 0; k < pixels.size(); k += 3) {
            for (int channel = 0; channel < 3; ++channel) {
                if (std::abs(pixels[k + channel] - referencePixels[k + channel]) > 8) {
                    ++different;
                    break;
                }
            }
        }
        EXPECT_LE(different, windowWidth * windowHeight / 500) << path.name << " differs from vertex arrays";
    }
}

// Counts white pixels below the terrain's upper outline in each window
// column: inside the ground they can only come from cracks.
int HolesBelowOutline(const Pixels& pixels) {
    int holes = 0;
    for (int x = 0; x < viewSide; ++x) {
        int top = -1;
        for (int y = viewSide - 1; y >= 0 && top < 0; --y) {
            top = IsWhite(PixelAt(pixels, x, y)) ? -1 : y;
        }
        for (int y = 0; y < top; ++y) {
            holes += IsWhite(PixelAt(pixels, x, y)) ? 1 : 0;
        }
    }
    return holes;
}

TEST_F(TerrainGlTest, CoarsePatchesBesideFineOnesLeaveNoCracks) {
    Build(257, GrowingNoise, false);
    glEnable(GL_CULL_FACE);
    struct View {
        const char* name;
        CVector3    eye, center;
    };
    for (const View& view : {View{"along the rows", CVector3(1024, 500, -300), CVector3(1024, 100, 700)},
                             View{"across the columns", CVector3(-300, 500, 1024), CVector3(700, 100, 1024)},
                             View{"diagonal", CVector3(400, 500, 400), CVector3(1200, 100, 1200)}}) {
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
        const Pixels shot = ReadPixels();
        EXPECT_EQ(HolesBelowOutline(shot), 0) << view.name;
    }
    // Straight down: no background inside the map.
    LookDown(8.0f);
    DrawFrame(renderVertexArrays, false);
    const Pixels pixels = ReadPixels();
    int          white  = 0;
    for (size_t k = 0; k < pixels.size(); k += 3) {
        white += IsWhite(&pixels[k]) ? 1 : 0;
    }
    EXPECT_EQ(white, 0);
}

TEST_F(TerrainGlTest, WithoutCullingAndDetailEveryPatchIsDrawnAtFullDetail) {
    Build(257, GrowingNoise, false);
    LookFrom(CVector3(200, 600, 200), CVector3(100, 500, 100)); // looking off the map
    const int culled = DrawFrame(renderVertexArrays, false);
    EXPECT_LT(culled, 64 * (1922 + 63 + 63));
    GetApp()->options.frustumCulling = false;
    GetApp()->options.levelOfDetail  = false;
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
    GetApp()->options.vertexBufferObjects = true;
    GetApp()->options.displayLists        = true;
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
    GetApp()->options.displayLists = false;
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
    GetApp()->options.displayLists   = false;
    GetApp()->options.frustumCulling = false;
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
