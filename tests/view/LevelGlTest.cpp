#include <GL/glu.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "core/Camera.h"
#include "core/Frustum.h"
#include "fx/ParticleFiles.h"
#include "fx/ParticleSystem.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "view/BattleView.h"
#include "platform/MessageBox.h"
#include "render/GlState.h"
#include "render/ModelTools.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"

// A level built from a small data folder: every part is made, the rules
// share the sea's water height, a frame draws the scene, and unloading
// releases everything (twice without harm).
namespace {

constexpr int   samples       = 33; // 32 cells: one patch of the terrain
constexpr float mapWidth      = 320.0f;
constexpr float heightPerUnit = 1.0f; // "maxheight" 255

// The ground rises from 0 at the west edge by 4 sample units per column, so
// the western tiles lie below the water level of 45.
void WriteLevel() {
    MakeFolders("TestLevel/Terrain");
    MakeFolders("TestLevel/Skydome");
    WriteFile("TestLevel/Terrain/ter_params.ini", "maxwidth=320\nmaxheight=255\n");
    std::vector<uint8_t> heights;
    for (int row = 0; row < samples; ++row) {
        for (int column = 0; column < samples; ++column) {
            const uint8_t value = static_cast<uint8_t>(column * 4);
            heights.insert(heights.end(), {value, value, value});
        }
    }
    ASSERT_TRUE(ConvertRawImage(heights, "rgb", samples, samples, "bmp3:TestLevel/Terrain/ter_heightmap.bmp"));
    std::string tiles = "<tiles>\n";
    for (int number = 0; number < 32 * 32; ++number) {
        const std::string name = std::to_string(number);
        tiles += "<" + name + "><usable>1</usable><terrainID>0</terrainID></" + name + ">\n";
    }
    WriteFile("TestLevel/Terrain/terrain.xml", tiles + "</tiles>\n");
    const std::vector<uint8_t> grass(16 * 16 * 3, 90), water(8 * 8 * 3, 60), sky(8 * 8 * 3, 200);
    ASSERT_TRUE(ConvertRawImage(grass, "rgb", 16, 16, "bmp3:TestLevel/Terrain/terrain_0_0.bmp"));
    ASSERT_TRUE(ConvertRawImage(water, "rgb", 8, 8, "bmp3:TestLevel/Terrain/sea.bmp"));
    for (const char* face : {"back", "front", "bottom", "top", "left", "right"}) {
        ASSERT_TRUE(ConvertRawImage(sky, "rgb", 8, 8, std::string("TestLevel/Skydome/") + face + ".tga"));
    }
    WriteFile("TestLevel/objects.xml",
              "<objects><0><filename>ball.3ds</filename><positionX>250</positionX>"
              "<positionY>160</positionY><rotation>0</rotation><scale>4</scale></0></objects>");
    ASSERT_TRUE(ModelTools::ExportModel("objects", "ball", ModelTools::SphereObj(2.5f, "paint"),
                                        "newmtl paint\nKd 0.8 0.8 0.8\n"));
}

class LevelGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        WriteLevel();
    }

    static void ExpectReleased(const CBattleView& level) {
        EXPECT_TRUE(level.GetName().empty());
        EXPECT_EQ(level.GetHeightmap(), nullptr);
        EXPECT_EQ(level.GetTextures(), nullptr);
        EXPECT_EQ(level.GetTerrain(), nullptr);
        EXPECT_EQ(level.GetObjects(), nullptr);
        EXPECT_EQ(level.GetGrid(), nullptr);
        EXPECT_EQ(level.GetTerrainTypes(), nullptr);
        EXPECT_EQ(level.GetSky(), nullptr);
        EXPECT_EQ(level.GetSea(), nullptr);
        EXPECT_EQ(level.GetParticles(), nullptr);
    }

    CTempWorkDir dir;
};

TEST_F(LevelGlTest, TheRulesUseTheSeasWaterHeight) {
    CBattleView level("TestLevel");
    const float water = level.GetSea()->GetWaterHeight();
    EXPECT_FLOAT_EQ(water, CMatch::waterLevel * heightPerUnit);
    EXPECT_FLOAT_EQ(level.GetGrid()->GetWaterHeight(), water);
    // Every tile is usable in the file; those at or below the water are not.
    EXPECT_FALSE(level.GetGrid()->IsTileUsable(0, 5)) << "height " << level.GetGrid()->GetTile(0, 5).height;
    EXPECT_FALSE(level.GetGrid()->IsTileUsable(10, 5)) << "height " << level.GetGrid()->GetTile(10, 5).height;
    EXPECT_TRUE(level.GetGrid()->IsTileUsable(12, 5)) << "height " << level.GetGrid()->GetTile(12, 5).height;
    EXPECT_TRUE(level.GetGrid()->IsTileUsable(31, 5));
}

TEST_F(LevelGlTest, UnloadReleasesEverythingAndASecondCallIsHarmless) {
    CBattleView level("TestLevel");
    level.GetObjects()->LoadObjects();
    EXPECT_TRUE(level.UnloadLevel());
    ExpectReleased(level);
    EXPECT_TRUE(level.UnloadLevel());
    ExpectReleased(level);
    EXPECT_EQ(level.LevelFrame(false), 0) << "an unloaded level draws nothing";
    EXPECT_FALSE(level.LoadLevel(nullptr));
}

} // namespace
