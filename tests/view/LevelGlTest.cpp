#include <GL/glu.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "app/LevelNotice.h"
#include "core/Camera.h"
#include "core/Frustum.h"
#include "fx/ParticleSystem.h"
#include "render/GlState.h"
#include "render/ModelTools.h"
#include "render/Sea.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"
#include "rules/Match.h"
#include "view/BattleView.h"

// One terrain patch rising by 4 sample units per column from 0 in the west
// (below the water level of 45 there), every tile usable in its file. A level
// that cannot be drawn is refused whole, with the reason in the log.
namespace {

const char* const paramsPath = "TestLevel/Terrain/ter_params.ini";

class LevelGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        WriteTestLevel(nullptr, Bitmap(33));
    }

    static void ExpectNothingBuilt(const CBattleView& level, const std::string& name) { // kept for the notice
        EXPECT_FALSE(level.IsLoaded());
        EXPECT_EQ(level.GetName(), name);
        const void* parts[] = {level.GetHeightmap(), level.GetTerrain(), level.GetTextures(),
                               level.GetObjects(),   level.GetGrid(),    level.GetMatch(),
                               level.GetSky(),       level.GetSea(),     level.GetParticles()};
        for (size_t part = 0; part < sizeof parts / sizeof parts[0]; ++part) {
            EXPECT_EQ(parts[part], nullptr) << "part " << part;
        }
    }

    static void ExpectEveryCallCopes(CBattleView& level) {
        EXPECT_EQ(level.LevelFrame(false) + level.LevelFrame(true), 0);
        level.OnPointerMoved(10, 10);
        EXPECT_FALSE(level.LoadTeams(1));
        level.OnClick();
        level.OnCancel();
        level.OnFireMode();
        level.OnFinishUnit();
        level.EndTurn();
        EXPECT_TRUE(level.UnloadLevel());
    }

    CTempWorkDir dir;
};

struct CParamsCase {
    const char* label;
    const char* params; // nullptr: no file
    const char* reason; // a text of the line that gives the reason
};

const CParamsCase paramsCases[] = {
    {"Missing", nullptr, "Couldn't load terrain parameters from TestLevel\\Terrain\\ter_params.ini"},
    {"CutShort", "maxwidth=320\nmaxhei", "has no maxheight"},
    {"WidthZero", "maxwidth=0\nmaxheight=255\n", "maxwidth 0 is not a number in"},
    {"NotANumber", "maxwidth=nan\nmaxheight=255\n", "maxwidth nan is not"},
    {"Absurd", "maxwidth=1e30\nmaxheight=255\n", "maxwidth 1e30 is not"},
    {"HeightmapMissing", "maxwidth=320\nmaxheight=255\n", "ter_heightmap.bmp"},
};

class LevelFailureGlTest : public LevelGlTest, public ::testing::WithParamInterface<CParamsCase> {};

INSTANTIATE_TEST_SUITE_P(Params, LevelFailureGlTest, ::testing::ValuesIn(paramsCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_P(LevelFailureGlTest, ALevelWithoutTerrainIsRefusedWithALine) {
    if (GetParam().params != nullptr) {
        WriteFile(paramsPath, GetParam().params);
    }
    if (std::string(GetParam().label) == "HeightmapMissing") {
        unlink("TestLevel/Terrain/ter_heightmap.bmp");
    }
    CBattleView       level("TestLevel");
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(CountLinesWith(log, GetParam().reason), 1) << log;
    EXPECT_EQ(CountLinesWith(log, "CBattleView::LoadLevel: the level TestLevel could not be loaded"), 1) << log;
    if (GetParam().params == nullptr) {
        EXPECT_FALSE(FileExists(paramsPath)) << "a missing file is not created";
    }
    ExpectNothingBuilt(level, "TestLevel");
    ExpectEveryCallCopes(level);
}

// The window then tells the player, naming the log (the end-to-end test sees it drawn).
TEST_F(LevelGlTest, TheNoticeNamesTheLog) {
    const std::vector<std::string> lines = CLevelNotice::GetLines("TestLevel");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("\"TestLevel\" could not be loaded"), std::string::npos) << lines[0];
    const auto namesLog = [&](const std::string& line) {
        return line.find(dir.Path() + "/log_error.txt") != std::string::npos;
    };
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), namesLog)) << "the log's full path is shown";
}

// Tiles at or below the sea's water are not usable; unloading twice is harmless.
TEST_F(LevelGlTest, TheRulesUseTheSeasWaterHeight) {
    WriteFile(paramsPath, "maxwidth=320\nmaxheight=255\n");
    CBattleView level("TestLevel");
    ASSERT_TRUE(level.IsLoaded());
    const float water = level.GetSea()->GetWaterHeight();
    EXPECT_FLOAT_EQ(water, CMatch::waterLevel * 1.0f) << "maxheight 255: one world unit per sample unit";
    EXPECT_FLOAT_EQ(level.GetGrid()->GetWaterHeight(), water);
    for (const int column : {0, 10, 12, 31}) {
        EXPECT_EQ(level.GetGrid()->IsTileUsable(column, 5), column >= 12)
            << "height " << level.GetGrid()->GetTile(column, 5).height;
    }
    for (int call = 0; call < 2; ++call) {
        EXPECT_TRUE(level.UnloadLevel());
        ExpectNothingBuilt(level, "");
        EXPECT_EQ(level.GetTerrainTypes(), nullptr);
    }
    EXPECT_EQ(level.LevelFrame(false), 0) << "an unloaded level draws nothing";
    EXPECT_FALSE(level.LoadLevel(nullptr));
}

// The savings at draw time (sea only where the ground may not hide it, no sky
// where hidden, no mip maps when magnified) leave the frame as it was.
class LevelShortcutsGlTest : public LevelGlTest, public ::testing::WithParamInterface<bool> {
protected:
    // Sky, sea and one object; the grass is a checkerboard of texels, whose mip
    // maps are even grey, so a minified patch drawn without them would show.
    void SetUp() override {
        LevelGlTest::SetUp();
        WriteFile(paramsPath, "maxwidth=320\nmaxheight=255\n");
        MakeFolders("TestLevel/Skydome");
        std::vector<uint8_t> grass;
        for (int texel = 0; texel < 128 * 128; ++texel) {
            const uint8_t value = (texel / 128 + texel) % 2 != 0 ? 60 : 120;
            grass.insert(grass.end(), {value, value, value});
        }
        const std::vector<uint8_t> water(8 * 8 * 3, 60), sky(8 * 8 * 3, 200);
        ASSERT_TRUE(ConvertRawImage(grass, "rgb", 128, 128, "bmp3:TestLevel/Terrain/terrain_0_0.bmp"));
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

    void LookAt(CBattleView& level, const CVector3& eye, const CVector3& centre) {
        app->OnReshape(windowWidth, windowHeight);
        camera = std::make_unique<CCamera>(level.GetHeightmap());
        camera->SetPosition(eye, centre, CVector3(0, 1, 0));
        level.GetTerrain()->SetCamera(camera.get());
        level.GetTerrain()->SetFrustum(&frustum);
        level.GetObjects()->SetFrustum(&frustum);
        level.GetParticles()->SetFrustum(&frustum);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
        float modelView[16], projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        frustum.Update(modelView, projection);
    }

    std::unique_ptr<CCamera> camera;
    CFrustum                 frustum;
};

TEST_P(LevelShortcutsGlTest, TheFrameLooksAsWithoutThem) {
    const bool          fromAbove = GetParam();
    const CGlStateScope state(GL_ALL_ATTRIB_BITS);
    CApplication::SetFixedGlState();
    glColor4f(1, 1, 1, 1);
    CBattleView level("TestLevel");
    level.GetObjects()->LoadObjects();
    LookAt(level, fromAbove ? CVector3(160, 300, 200) : CVector3(160, 160, 520),
           CVector3(160, fromAbove ? 0 : 100, 150));
    CPicture pictures[2];
    int      polygons[2] = {};
    for (const bool shortcuts : {false, true}) {
        app->options.fillShortcuts = shortcuts;
        CSea::SetDriftOffset(0.25f);
        for (int tile = 4; tile < 24; ++tile) {
            level.GetTerrain()->SetTileColour(tile, tile / 2, 255, 123, 0, 128);
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        polygons[shortcuts] = level.LevelFrame(true);
        pictures[shortcuts] = CPicture::Read();
    }
    // The sea's smaller triangles round their depth a little differently at the shore.
    EXPECT_LE(CountDifferences(pictures[0], pictures[1], 1), windowHeight / 32);
    EXPECT_EQ(level.GetSea()->HidesSky(), fromAbove);
    EXPECT_EQ(polygons[0] - polygons[1], fromAbove ? 12 : 0) << "the sky's triangles";
    EXPECT_EQ(level.GetTerrain()->GetPatchByIndex(0).magnified, fromAbove);
}

INSTANTIATE_TEST_SUITE_P(Views, LevelShortcutsGlTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "FromAbove" : "ToTheHorizon";
                         });

} // namespace
