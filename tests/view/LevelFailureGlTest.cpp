#include <GL/gl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "GlFixture.h"
#include "HostileFiles.h"
#include "TestSupport.h"
#include "app/LevelNotice.h"
#include "view/BattleView.h"

// A level that cannot be drawn is refused as a whole, with the reason in the
// error log, and nothing that a frame or a command touches is left half made.
namespace {

constexpr int samples = 33;

const char* const paramsPath = "TestLevel/Terrain/ter_params.ini";

struct CParamsCase {
    const char* label;
    const char* params;    // nullptr: no file
    Hostility   hostility; // what the file is turned into; `missing` leaves it as written
    const char* reason;    // a text of the line that gives the reason
};

const CParamsCase paramsCases[] = {
    {"Missing", nullptr, Hostility::missing,
     "Couldn't load terrain parameters from TestLevel\\Terrain\\ter_params.ini"},
    {"Empty", "", Hostility::missing, "Couldn't load terrain parameters"},
    {"CutShort", "maxwidth=320\nmaxhei", Hostility::missing, "has no maxheight"},
    {"WidthZero", "maxwidth=0\nmaxheight=255\n", Hostility::missing, "maxwidth 0 is not a number in"},
    {"HeightNegative", "maxwidth=320\nmaxheight=-5\n", Hostility::missing, "maxheight -5 is not"},
    {"NotANumber", "maxwidth=nan\nmaxheight=255\n", Hostility::missing, "maxwidth nan is not"},
    {"Absurd", "maxwidth=1e30\nmaxheight=255\n", Hostility::missing, "maxwidth 1e30 is not"},
};

class LevelFailureGlTest : public GlSceneTest, public ::testing::WithParamInterface<CParamsCase> {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        MakeFolders("TestLevel/Terrain");
        WriteFile("TestLevel/Terrain/ter_heightmap.bmp", Bitmap(samples));
    }

    static void ExpectNothingBuilt(const CBattleView& level) {
        EXPECT_FALSE(level.IsLoaded());
        EXPECT_EQ(level.GetName(), "TestLevel") << "the name stays for the player's notice";
        EXPECT_EQ(level.GetHeightmap(), nullptr);
        EXPECT_EQ(level.GetTerrain(), nullptr);
        EXPECT_EQ(level.GetTextures(), nullptr);
        EXPECT_EQ(level.GetObjects(), nullptr);
        EXPECT_EQ(level.GetGrid(), nullptr);
        EXPECT_EQ(level.GetMatch(), nullptr);
        EXPECT_EQ(level.GetSky(), nullptr);
        EXPECT_EQ(level.GetSea(), nullptr);
    }

    // Everything a frame, the pointer and the start-up may call on the level.
    static void ExpectEveryCallCopes(CBattleView& level) {
        EXPECT_EQ(level.LevelFrame(false), 0);
        EXPECT_EQ(level.LevelFrame(true), 0);
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

INSTANTIATE_TEST_SUITE_P(Params, LevelFailureGlTest, ::testing::ValuesIn(paramsCases),
                         [](const ::testing::TestParamInfo<CParamsCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_P(LevelFailureGlTest, RefusedTerrainParametersLeaveNoLevelAndALine) {
    if (GetParam().params != nullptr) {
        WriteFile(paramsPath, GetParam().params);
    }
    if (GetParam().hostility != Hostility::missing) {
        MakeHostile(GetParam().hostility, paramsPath, FileKind::text);
    }
    CBattleView       level("TestLevel");
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(CountLinesWith(log, GetParam().reason), 1) << log;
    EXPECT_EQ(CountLinesWith(log, "CBattleView::LoadLevel: the level TestLevel could not be loaded"), 1) << log;
    if (GetParam().params == nullptr) {
        EXPECT_FALSE(FileExists(paramsPath)) << "a missing file is not created";
    }
    ExpectNothingBuilt(level);
    ExpectEveryCallCopes(level);
}

TEST_F(LevelFailureGlTest, MissingHeightmapLeavesNoLevelAndALine) {
    WriteFile(paramsPath, "maxwidth=320\nmaxheight=255\n");
    unlink("TestLevel/Terrain/ter_heightmap.bmp");
    CBattleView       level("TestLevel");
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(CountLinesWith(log, "ter_heightmap.bmp"), 1) << log;
    EXPECT_EQ(CountLinesWith(log, "the level TestLevel could not be loaded"), 1) << log;
    ExpectNothingBuilt(level);
    ExpectEveryCallCopes(level);
}

// The window then tells the player, naming the log (the end-to-end test sees it drawn).
TEST_F(LevelFailureGlTest, NoticeNamesTheLogAndDrawsText) {
    const std::vector<std::string> lines = CLevelNotice::GetLines("TestLevel");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("\"TestLevel\" could not be loaded"), std::string::npos) << lines[0];
    bool namesLog = false;
    for (const std::string& line : lines) {
        namesLog = namesLog || line.find(dir.Path() + "/log_error.txt") != std::string::npos;
    }
    EXPECT_TRUE(namesLog) << "the log's full path is shown";
}

} // namespace
