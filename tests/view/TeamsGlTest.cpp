#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "TestSupport.h"
#include "rules/GridManager.h"
#include "core/Heightmap.h"
#include "view/BattleView.h"
#include "rules/UnitFile.h"
#include "view/UnitFigures.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"

namespace {

// The small level: 129 samples a side over 2048 world units, so a tile is
// 64 units (4 samples). Heights rise by 2 per sample along x (world height
// = sample, maxheight 255), 8 per tile, and are flat along z.
constexpr int   heightmapSize = 129;
constexpr float tileSize      = 64.0f;
constexpr float risePerTile   = 8.0f;

// A unit file with its hit points and headquarters flag.
std::string UnitFile(int hitpoints, int isHeadquarter, const std::string& leaveOut = "") {
    return UnitFileText({{"hitpoints", std::to_string(hitpoints)}, {"isHeadquarter", std::to_string(isHeadquarter)}},
                        leaveOut);
}

struct CEntry {
    std::string file;
    int         x, y, lookX, lookY;
};

std::string Entry(int number, const CEntry& entry, const std::string& leaveOut = "") {
    const std::string n    = std::to_string(number);
    std::string       text = "<" + n + ">";
    auto              add  = [&](const char* key, const std::string& value) {
        if (leaveOut != key) {
            text += std::string("<") + key + ">" + value + "</" + key + ">";
        }
    };
    add("filename", entry.file);
    add("positionX", std::to_string(entry.x));
    add("positionY", std::to_string(entry.y));
    add("lookX", std::to_string(entry.lookX));
    add("lookY", std::to_string(entry.lookY));
    return text + "</" + n + ">\n";
}

std::string TeamFile(const std::string& units, const char* effect = "special.xml") {
    return std::string("<effectSpecial>") + effect + "</effectSpecial>\n<units>\n" + units + "</units>\n";
}

const char* const fightFile = "<attackBonus>1.25</attackBonus><attackFactor>2</attackFactor><maxAttack>24</maxAttack>"
                              "<minAttack>3</minAttack><maxDefense>30</maxDefense><minDefense>4</minDefense>"
                              "<maxSlopeBonus>6</maxSlopeBonus>";

// A GL context, a temporary working directory with the level's terrain and
// three unit files: "light.xml" (100 hit points), "heavy.xml" (250) and the
// headquarters "hq.xml" (400).
class TeamsGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp(); // records the boxes: the unit models do not exist
        MakeFolders("TestLevel/Terrain");
        MakeFolders("units");
        WriteFile("TestLevel/Terrain/ter_params.ini", "maxwidth=2048\nmaxheight=255\n");
        WriteFile("TestLevel/Terrain/ter_heightmap.bmp",
                  Bitmap(heightmapSize, [](int column, int) { return std::min(2 * column, 255); }));
        WriteFile("units/light.xml", UnitFile(100, 0));
        WriteFile("units/heavy.xml", UnitFile(250, 0));
        WriteFile("units/hq.xml", UnitFile(400, 1));
    }
    void TearDown() override {
        level.reset();
        GlSceneTest::TearDown();
    }

    // The level with its teams; the match's units, figures and models.
    bool LoadLevel(uint64_t seed = 1) {
        level = std::make_unique<CBattleView>("TestLevel");
        EXPECT_FLOAT_EQ(level->GetGrid()->GetTileSize(), tileSize);
        const bool loaded = level->LoadTeams(seed);
        match             = level->GetMatch();
        return loaded;
    }

    int CountTeam(int team) const {
        int count = 0;
        for (const CUnit& unit : match->GetUnits()) {
            count += unit.team == team ? 1 : 0;
        }
        return count;
    }

    // The level loads no objects here: unit i's model is object i.
    const CModelInstance& InstanceOf(int unit) const { return *level->GetObjects()->GetObjectByIndex(unit); }

    CTempWorkDir                 folder;
    std::unique_ptr<CBattleView> level;
    const CMatch*                match = nullptr;
};

struct CTeamRulesCase {
    const char* label;
    std::string team1; // empty: no file
    bool        loaded;
    int         team1Units;
    int         team2Units; // team 2 always has one light unit at (20, 20)
    bool        fightRead;
    const char* logged; // a text expected in "log_error.txt", or nullptr
};

const CEntry a{"light.xml", 1, 1, 0, 1};
const CEntry b{"heavy.xml", 2, 1, 0, 1};
const CEntry c{"light.xml", 3, 1, 0, 1};

const CTeamRulesCase teamRulesCases[] = {
    {"all entries", TeamFile(Entry(0, a) + Entry(1, b) + Entry(2, c)), true, 3, 1, true, nullptr},
    {"no units element", "<effectSpecial>special.xml</effectSpecial>\n", false, 0, 1, true, "no unit that can fight"},
    {"numbers 0, 1, 3", TeamFile(Entry(0, a) + Entry(1, b) + Entry(3, c)), true, 2, 1, true, nullptr},
    {"entry without lookY", TeamFile(Entry(0, a) + Entry(1, b, "lookY") + Entry(2, c)), true, 1, 1, true, nullptr},
    {"entry without filename", TeamFile(Entry(0, a, "filename") + Entry(1, b)), false, 0, 1, true,
     "unit entry 0 lacks a value"},
    {"team 1 missing", "", false, 0, 0, false, nullptr},
    {"no effectSpecial", "<units>" + Entry(0, a) + "</units>", false, 0, 0, false, nullptr},
    {"unit file missing a key", TeamFile(Entry(0, a) + Entry(1, {"broken.xml", 5, 5, 0, 1}) + Entry(2, c)), true, 2, 1,
     true, nullptr},
    {"unit file missing", TeamFile(Entry(0, {"absent.xml", 5, 5, 0, 1}) + Entry(1, c)), true, 1, 1, true, nullptr},
    {"column 32", TeamFile(Entry(0, {"light.xml", 32, 5, 0, 1}) + Entry(1, c)), true, 1, 1, true, "outside the board"},
    {"row -1", TeamFile(Entry(0, {"light.xml", 4, -1, 0, 1}) + Entry(1, c)), true, 1, 1, true, "outside the board"},
    {"occupied tile", TeamFile(Entry(0, a) + Entry(1, {"heavy.xml", 1, 1, 1, 0}) + Entry(2, c)), true, 2, 1, true,
     "stands on unit 0"},
};

class TeamRulesGlTest : public TeamsGlTest, public ::testing::WithParamInterface<CTeamRulesCase> {};

TEST_P(TeamRulesGlTest, LoadsTheEntriesTheRulesAdmit) {
    const CTeamRulesCase& rules = GetParam();
    WriteFile("units/broken.xml", UnitFile(100, 0, "bonusFirerange"));
    if (!rules.team1.empty()) {
        WriteFile("TestLevel/team1.xml", rules.team1);
    }
    WriteFile("TestLevel/team2.xml", TeamFile(Entry(0, {"light.xml", 20, 20, 0, -1})));
    WriteFile("TestLevel/fight.xml", fightFile);
    EXPECT_EQ(LoadLevel(), rules.loaded);
    EXPECT_EQ(CountTeam(1), rules.team1Units);
    EXPECT_EQ(CountTeam(2), rules.team2Units);
    EXPECT_EQ(match->GetFightParams().attackFactor == 2.0f, rules.fightRead);
    // Every loaded unit owns its tile, and no tile names a unit that is elsewhere.
    int tilesWithUnits = 0;
    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            const int unit = match->GetBoard().GetTile(x, y).unit;
            if (unit != -1) {
                ++tilesWithUnits;
                EXPECT_EQ(match->GetOrigin(unit), std::make_pair(x, y));
            }
        }
    }
    EXPECT_EQ(tilesWithUnits, match->GetUnitCount());
    // A unit that failed to load leaves no model instance behind.
    EXPECT_EQ(level->GetObjects()->GetCount(), match->GetUnitCount());
    if (rules.logged != nullptr) {
        EXPECT_NE(ReadFile("log_error.txt").find(rules.logged), std::string::npos) << ReadFile("log_error.txt");
    }
}

INSTANTIATE_TEST_SUITE_P(TeamFiles, TeamRulesGlTest, ::testing::ValuesIn(teamRulesCases),
                         [](const ::testing::TestParamInfo<CTeamRulesCase>& info) {
                             std::string name = info.param.label;
                             for (char& ch : name) {
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             }
                             return name;
                         });

TEST_F(TeamsGlTest, UnitsStandOnTheirTilesAndCountIntoTheirTeam) {
    WriteFile("TestLevel/team1.xml",
              TeamFile(Entry(0, {"light.xml", 3, 7, 0, 1}) + Entry(1, {"hq.xml", 9, 2, 1, 0}), "special_team1.xml"));
    WriteFile("TestLevel/team2.xml", TeamFile(Entry(0, {"heavy.xml", 30, 31, 0, -1})));
    ASSERT_TRUE(LoadLevel());
    ASSERT_EQ(match->GetUnitCount(), 3);
    EXPECT_EQ(match->GetBoard().GetTile(3, 7).unit, 0);
    EXPECT_EQ(match->GetBoard().GetTile(9, 2).unit, 1);
    EXPECT_EQ(match->GetBoard().GetTile(30, 31).unit, 2);

    const CVector3        position = level->GetFigures()->GetPosition(0);
    const CModelInstance& body     = InstanceOf(0);
    EXPECT_FLOAT_EQ(position.x, 3.5f * tileSize);
    EXPECT_FLOAT_EQ(position.z, 7.5f * tileSize);
    EXPECT_FLOAT_EQ(body.GetX(), position.x);
    EXPECT_FLOAT_EQ(body.GetZ(), position.z);
    EXPECT_NEAR(body.GetY(), level->GetHeightmap()->HeightAt(position.x, position.z), 1e-3f);
    EXPECT_GT(body.GetY(), 0.0f);
    EXPECT_FLOAT_EQ(body.GetScale(), CUnitFigures::unitScale);
    EXPECT_EQ(body.GetUnitIndex(), 0);

    EXPECT_EQ(match->GetStartHitpoints(1), 100 + 400);
    EXPECT_EQ(match->GetStartHitpoints(2), 250);
    EXPECT_EQ(match->GetMaxHitpoints(), 400);
    CUnitLook look;
    ASSERT_TRUE(level->GetFigures()->GetUnitLook(2, look));
    EXPECT_EQ(look.team, 2);
    EXPECT_EQ(look.hitPoints, 250);
    EXPECT_FALSE(look.done);
    EXPECT_FALSE(level->GetFigures()->GetUnitLook(3, look));

    EXPECT_TRUE(level->UnloadLevel());
    EXPECT_EQ(level->GetMatch(), nullptr);
    EXPECT_TRUE(level->UnloadLevel());
}

struct CFacingCase {
    int   lookX, lookY;
    float yaw;   // degrees about the vertical axis
    float pitch; // degrees about x: the ground rises ahead
    float roll;  // degrees about z: the ground rises to the right
};

// The ground rises along +x by risePerTile per tile.
const float rampDegrees = std::atan2(risePerTile, tileSize) * 180.0f / 3.14159265f;

const CFacingCase facingCases[] = {
    {0, 1, 0.0f, 0.0f, -rampDegrees},
    {0, -1, 180.0f, 0.0f, rampDegrees},
    {1, 0, -90.0f, rampDegrees, 0.0f},
    {-1, 0, 90.0f, -rampDegrees, 0.0f},
    {0, 0, 0.0f, 0.0f, 0.0f}, // no direction: yaw stays, no tilt
    {3, 3, -45.0f, rampDegrees, -rampDegrees},
    {2147483647, -2147483647, -135.0f, rampDegrees, rampDegrees},
};

class FacingGlTest : public TeamsGlTest, public ::testing::WithParamInterface<CFacingCase> {};

TEST_P(FacingGlTest, TurnsToTheLookTileAndTiltsToTheSlope) {
    const CFacingCase& facing = GetParam();
    WriteFile("TestLevel/team1.xml", TeamFile(Entry(0, {"light.xml", 10, 10, facing.lookX, facing.lookY}) +
                                              Entry(1, {"hq.xml", 20, 10, facing.lookX, facing.lookY})));
    LoadLevel();
    ASSERT_EQ(match->GetUnitCount(), 2);
    const CModelInstance& unit = InstanceOf(0);
    EXPECT_NEAR(unit.GetRotY(), facing.yaw, 1e-2f);
    EXPECT_NEAR(unit.GetRotX(), facing.pitch, 1e-3f);
    EXPECT_NEAR(unit.GetRotZ(), facing.roll, 1e-3f);
    // Headquarters turn but keep level on any ground.
    const CModelInstance& headquarters = InstanceOf(1);
    EXPECT_NEAR(headquarters.GetRotY(), facing.yaw, 1e-2f);
    EXPECT_FLOAT_EQ(headquarters.GetRotX(), 0.0f);
    EXPECT_FLOAT_EQ(headquarters.GetRotZ(), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(LookOffsets, FacingGlTest, ::testing::ValuesIn(facingCases),
                         [](const ::testing::TestParamInfo<CFacingCase>& info) {
                             auto number = [](int value) {
                                 return (value < 0 ? "minus" : "") +
                                        std::to_string(value == INT_MIN ? 0 : std::abs(value) % 100);
                             };
                             return "look_" + number(info.param.lookX) + "_" + number(info.param.lookY);
                         });

// A model that cannot be shown leaves its unit in the match, without a
// model, and says so.
TEST_F(TeamsGlTest, AUnitWhoseModelIsNotA3dsFileStaysWithoutAModel) {
    std::string text = UnitFile(100, 0);
    text.replace(text.find("scout.3ds"), 9, "scout.obj");
    WriteFile("units/odd.xml", text);
    WriteFile("TestLevel/team1.xml", TeamFile(Entry(0, {"odd.xml", 10, 10, 0, 1})));
    LoadLevel();
    EXPECT_EQ(match->GetUnitCount(), 1);
    EXPECT_EQ(level->GetObjects()->GetCount(), 0);
    EXPECT_NE(ReadFile("log_error.txt").find("scout.obj"), std::string::npos);
}

} // namespace
