#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

#include "TerrainScene.h"
#include "TestSupport.h"
#include "rules/GridManager.h"

namespace {

int GentleHills(int row, int column) {
    return 60 + static_cast<int>(30.0 * std::sin(row * 0.03) * std::cos(column * 0.025));
}

// A flat plain with a wall across rows 192..208 (world z 1536..1664).
int Wall(int row, int) {
    return row >= 192 && row <= 208 ? 255 : 0;
}

class TileOverlayGlTest : public TerrainSceneTest {
protected:
    void SetUp() override {
        TerrainSceneTest::SetUp();
        app->options.displayLists = false;
    }
    void Build(const HeightFunction& height) { TerrainSceneTest::Build(257, height); }

    // Black terrain, then the overlay; returns the overlay's triangles.
    int DrawTiles() {
        DrawFrame(app->options.renderMode);
        const int triangles = terrain->DrawOverlay();
        glFinish();
        return triangles;
    }

    void TileCentre(int column, int row, float& x, float& z) const {
        CGridManager::TileCentreAt(CGridManager::TileSizeFor(heightmap.get()), column, row, x, z);
    }

    // The colour at a tile's centre, or a world position (x, z), in the
    // top-down view.
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
};

// Tiles set before this frame are coloured (a tile beyond the map clamped
// to its edge), their neighbours are not; the next frame draws nothing.
TEST_F(TileOverlayGlTest, OnlyTheTilesSetThisFrameAreColoured) {
    Build(GentleHills);
    const std::vector<int> red{255, 0, 0}, green{0, 255, 0}, black{0, 0, 0};
    for (const RenderMode renderMode : {renderBufferObjects, renderVertexArrays}) {
        app->options.renderMode     = renderMode;
        app->options.frustumCulling = false;
        LookDown();
        terrain->SetTileColour(3, 5, 255, 0, 0, 255);
        terrain->SetTileColour(4, 8, 0, 255, 0, 255);   // first column and row of patch (1, 2): strips
        terrain->SetTileColour(40, -3, 0, 255, 0, 255); // clamped to (31, 0)
        EXPECT_GT(DrawTiles(), 0);
        // Near the corner of tile (4, 8), where only the strips cover it.
        EXPECT_EQ(ColourAt(4 * 64 + 3, 8 * 64 + 3), green) << "mode " << renderMode;
        const struct {
            int                     column, row;
            const std::vector<int>& colour;
        } tiles[] = {{3, 5, red}, {31, 0, green}, {2, 5, black}, {3, 4, black}, {4, 5, black}, {5, 8, black}};
        for (const auto& tile : tiles) {
            EXPECT_EQ(TileColour(tile.column, tile.row), tile.colour)
                << "tile " << tile.column << "," << tile.row << " mode " << renderMode;
        }
        EXPECT_EQ(DrawTiles(), 0) << "nothing was set for this frame";
        EXPECT_EQ(TileColour(3, 5), black) << "mode " << renderMode;
    }
}

// With every tile set, the overlay draws exactly the terrain's triangles,
// whatever mix of detail levels the view gives.
TEST_F(TileOverlayGlTest, AllTilesTogetherCoverTheTerrainsTriangles) {
    Build(GrowingNoise);
    for (const auto& eye : {CVector3(1024, 500, -300), CVector3(400, 500, 400), CVector3(1024, 3000, 1024)}) {
        LookFrom(eye, CVector3(1024, 100, 1100));
        for (int row = 0; row < 32; ++row) {
            for (int column = 0; column < 32; ++column) {
                terrain->SetTileColour(column, row, 200, 0, 0, 128);
            }
        }
        const int overlay = DrawTiles();
        EXPECT_EQ(overlay, terrainTriangles) << "eye " << eye.x << "," << eye.z;
    }
}

TEST_F(TileOverlayGlTest, PickTileFindsTheTileUnderAProjectedCentre) {
    Build(GentleHills);
    struct Pose {
        CVector3 eye, center;
    };
    for (const Pose& pose : {Pose{CVector3(665, 900, 145), CVector3(683, 300, 409)},
                             Pose{CVector3(1024, 2500, 1024), CVector3(1024, 0, 1030)},
                             Pose{CVector3(-200, 900, 1000), CVector3(600, 100, 1000)}}) {
        LookFrom(pose.eye, pose.center);
        DrawTiles();
        GLdouble modelView[16], projection[16];
        GLint    viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        int tested = 0;
        for (int row = 0; row < 32; row += 3) {
            for (int column = 0; column < 32; column += 3) {
                float x = 0, z = 0;
                TileCentre(column, row, x, z);
                GLdouble wx, wy, wz;
                gluProject(x, heightmap->HeightAt(x, z), z, modelView, projection, viewport, &wx, &wy, &wz);
                if (wx < 1 || wy < 1 || wx > windowWidth - 2 || wy > windowWidth - 2 || wz > 1.0) {
                    continue;
                }
                int pickedColumn = -1, pickedRow = -1;
                terrain->PickTile(static_cast<int>(std::lround(wx)), windowWidth - static_cast<int>(std::lround(wy)),
                                  pickedColumn, pickedRow);
                EXPECT_EQ(pickedColumn, column) << "row " << row << " eye " << pose.eye.x << "," << pose.eye.z;
                EXPECT_EQ(pickedRow, row) << "column " << column << " eye " << pose.eye.x << "," << pose.eye.z;
                EXPECT_NEAR(terrain->GetPickX(), x, 40.0f);
                EXPECT_NEAR(terrain->GetPickZ(), z, 40.0f);
                ++tested;
            }
        }
        EXPECT_GT(tested, 5) << "eye " << pose.eye.x << "," << pose.eye.z;
    }
}

TEST_F(TileOverlayGlTest, PickingTheSkyGivesTileZeroAndNoHitPoint) {
    Build(GentleHills);
    LookFrom(CVector3(1000, 600, 1000), CVector3(1000, 900, 1300));
    DrawTiles();
    int column = 9, row = 9;
    terrain->PickTile(windowWidth / 2, 10, column, row);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(row, 0);
    EXPECT_FLOAT_EQ(terrain->GetPickX(), -1.0f);
    EXPECT_FLOAT_EQ(terrain->GetPickZ(), -1.0f);
}

// Looking at a wall, the ray also crosses the plain behind it, in patches of
// lower index; the pick is the wall, the nearest hit in front of the eye.
TEST_F(TileOverlayGlTest, PickTileTakesTheNearestHitNotTheFirstPatch) {
    Build(Wall);
    LookFrom(CVector3(1024, 300, 2000), CVector3(1024, 200, 1600));
    DrawTiles();
    int column = 0, row = 0;
    terrain->PickTile(windowWidth / 2, windowWidth / 2, column, row);
    EXPECT_EQ(column, 16);
    EXPECT_GE(row, 24);
    EXPECT_LE(row, 26);
    EXPECT_GT(terrain->GetPickZ(), 1536.0f);
}

TEST_F(TileOverlayGlTest, TilesNarrowerThanTheCoarsestStepAreLoggedAndNotDrawn) {
    CTempWorkDir dir;
    TerrainSceneTest::Build(65, GentleHills);
    EXPECT_NE(ReadFile("log_error.txt").find("tile overlay"), std::string::npos);
    terrain->SetTileColour(3, 3, 255, 0, 0, 255);
    EXPECT_EQ(terrain->DrawOverlay(), 0);
}

} // namespace
