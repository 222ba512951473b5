#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "game/GridManager.h"
#include "core/Heightmap.h"
#include "game/Level.h"
#include "game/UnitManager.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"

namespace {

// The small level: 129 samples a side over 2048 world units, so a tile is
// 64 units (4 samples). Heights rise by 2 per sample along x (world height
// = sample, maxheight 255), 8 per tile, and are flat along z.
constexpr int   heightmapSize = 129;
constexpr float tileSize      = 64.0f;
constexpr float risePerTile   = 8.0f;

void PutLittleEndian(std::string& bytes, size_t offset, unsigned value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A 24-bit BMP whose red channel holds min(2 * column, 255).
std::string RampBitmap(int size) {
    const int   rowBytes = (size * 3 + 3) / 4 * 4;
    std::string bytes(54 + static_cast<size_t>(rowBytes) * size, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittleEndian(bytes, 2, static_cast<unsigned>(bytes.size()), 4);
    PutLittleEndian(bytes, 10, 54, 4);
    PutLittleEndian(bytes, 14, 40, 4);
    PutLittleEndian(bytes, 18, static_cast<unsigned>(size), 4);
    PutLittleEndian(bytes, 22, static_cast<unsigned>(size), 4);
    PutLittleEndian(bytes, 26, 1, 2);
    PutLittleEndian(bytes, 28, 24, 2);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const size_t pixel = 54 + static_cast<size_t>(row) * rowBytes + column * 3;
            bytes[pixel + 2]   = static_cast<char>(std::min(2 * column, 255)); // BGR order
        }
    }
    return bytes;
}

// A complete unit file; `leaveOut` names one key to drop.
std::string UnitFile(int hitpoints, int isHeadquarter, const std::string& leaveOut = "",
                     const std::string& notUsable = "") {
    const std::vector<std::pair<std::string, std::string>> values = {
        {"name", "Scout"},
        {"filename", "scout.3ds"},
        {"effectWheels", "wheels.xml"},
        {"effectSmoke", "smoke.xml"},
        {"effectFire", "fire.xml"},
        {"effectAttack", "attack.xml"},
        {"effectExplosion", "explosion.xml"},
        {"soundMove", "move.wav"},
        {"soundAttack", "shot.wav"},
        {"soundExplosion", "boom.wav"},
        {"hitpoints", std::to_string(hitpoints)},
        {"startEffectSmoke", "601"},
        {"startEffectFire", "302"},
        {"startEffectAttack", "53"},
        {"attack", "14"},
        {"defense", "12"},
        {"movement", "5"},
        {"fireMin", "1"},
        {"fireMax", "3"},
        {"slopeMax", "25"},
        {"speed", "1.5"},
        {"isGeneral", "7"},
        {"isHeadquarter", std::to_string(isHeadquarter)},
        {"bonusAttack", "2"},
        {"bonusDefense", "3"},
        {"bonusMovement", "4"},
        {"bonusFirerange", "6"},
    };
    std::string text;
    for (const auto& value : values) {
        if (value.first != leaveOut) {
            text += "<" + value.first + ">" + value.second + "</" + value.first + ">\n";
        }
    }
    return text + notUsable;
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
        WriteFile("TestLevel/Terrain/ter_heightmap.bmp", RampBitmap(heightmapSize));
        WriteFile("units/light.xml", UnitFile(100, 0));
        WriteFile("units/heavy.xml", UnitFile(250, 0));
        WriteFile("units/hq.xml", UnitFile(400, 1));
    }
    void TearDown() override {
        level.reset();
        GlSceneTest::TearDown();
    }

    void LoadLevel() {
        level = std::make_unique<CLevel>("TestLevel");
        ASSERT_NE(level->GetUnits(), nullptr);
        ASSERT_FLOAT_EQ(level->GetGrid()->GetTileSize(), tileSize);
    }

    int CountTeam(int team) const {
        int count = 0;
        for (int i = 0; i < level->GetUnits()->GetCount(); ++i) {
            count += level->GetUnits()->GetTeam(i) == team ? 1 : 0;
        }
        return count;
    }

    const CModelInstance& InstanceOf(int unit) const {
        return *level->GetObjects()->GetObjectByIndex(level->GetUnits()->GetUnitByIndex(unit)->modelInstance);
    }

    CTempWorkDir            folder;
    std::unique_ptr<CLevel> level;
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
    LoadLevel();

    EXPECT_EQ(level->LoadTeams(), rules.loaded);
    EXPECT_EQ(CountTeam(1), rules.team1Units);
    EXPECT_EQ(CountTeam(2), rules.team2Units);
    EXPECT_EQ(level->GetUnits()->GetFightParams().attackFactor == 2.0f, rules.fightRead);
    // Every loaded unit owns its tile, and no tile names a unit that is elsewhere.
    int tilesWithUnits = 0;
    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            const int unit = level->GetGrid()->GetTile(x, y).unit;
            if (unit != -1) {
                ++tilesWithUnits;
                EXPECT_EQ(level->GetUnits()->GetUnitByIndex(unit)->tileX, x);
                EXPECT_EQ(level->GetUnits()->GetUnitByIndex(unit)->tileY, y);
            }
        }
    }
    EXPECT_EQ(tilesWithUnits, level->GetUnits()->GetCount());
    // A unit that failed to load leaves no model instance behind.
    EXPECT_EQ(level->GetObjects()->GetCount(), level->GetUnits()->GetCount());
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
    LoadLevel();
    ASSERT_TRUE(level->LoadTeams());
    const CUnitManager& units = *level->GetUnits();
    ASSERT_EQ(units.GetCount(), 3);

    EXPECT_EQ(level->GetGrid()->GetTile(3, 7).unit, 0);
    EXPECT_EQ(level->GetGrid()->GetTile(9, 2).unit, 1);
    EXPECT_EQ(level->GetGrid()->GetTile(30, 31).unit, 2);
    const CUnit& light = *units.GetUnitByIndex(0);
    EXPECT_EQ(light.targetX, 3);
    EXPECT_EQ(light.targetY, 7);
    EXPECT_FLOAT_EQ(light.worldX, 3.5f * tileSize);
    EXPECT_FLOAT_EQ(light.worldZ, 7.5f * tileSize);
    EXPECT_EQ(light.effectSpecial, "special_team1.xml");
    EXPECT_EQ(units.GetUnitByIndex(2)->effectSpecial, "special.xml");

    const CModelInstance& body = InstanceOf(0);
    EXPECT_FLOAT_EQ(body.GetX(), light.worldX);
    EXPECT_FLOAT_EQ(body.GetZ(), light.worldZ);
    EXPECT_NEAR(body.GetY(), level->GetHeightmap()->HeightAt(light.worldX, light.worldZ), 1e-3f);
    EXPECT_GT(body.GetY(), 0.0f);
    EXPECT_FLOAT_EQ(body.GetScale(), CUnitManager::unitScale);
    EXPECT_EQ(body.GetUnitIndex(), 0);

    EXPECT_EQ(units.GetStartHitpoints(1), 100 + 400);
    EXPECT_EQ(units.GetStartHitpoints(2), 250);
    EXPECT_EQ(units.GetMaxHitpoints(), 400);

    CUnitLook look;
    ASSERT_TRUE(units.GetUnitLook(2, look));
    EXPECT_EQ(look.team, 2);
    EXPECT_EQ(look.hitPoints, 250);
    EXPECT_FALSE(look.done);
    EXPECT_FALSE(units.GetUnitLook(3, look));
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
    {0, 1, 0.0f, 0.0f, -rampDegrees},          {0, -1, 180.0f, 0.0f, rampDegrees}, {1, 0, -90.0f, rampDegrees, 0.0f},
    {-1, 0, 90.0f, -rampDegrees, 0.0f},        {0, 0, 0.0f, 0.0f, 0.0f}, // no direction: yaw stays, no tilt
    {3, 3, -45.0f, rampDegrees, -rampDegrees},
};

class FacingGlTest : public TeamsGlTest, public ::testing::WithParamInterface<CFacingCase> {};

TEST_P(FacingGlTest, TurnsToTheLookTileAndTiltsToTheSlope) {
    const CFacingCase& facing = GetParam();
    WriteFile("TestLevel/team1.xml", TeamFile(Entry(0, {"light.xml", 10, 10, facing.lookX, facing.lookY}) +
                                              Entry(1, {"hq.xml", 20, 10, facing.lookX, facing.lookY})));
    LoadLevel();
    level->LoadTeams();
    ASSERT_EQ(level->GetUnits()->GetCount(), 2);
    const CModelInstance& unit = InstanceOf(0);
    EXPECT_NEAR(unit.GetRotY(), facing.yaw, 1e-3f);
    EXPECT_NEAR(unit.GetRotX(), facing.pitch, 1e-3f);
    EXPECT_NEAR(unit.GetRotZ(), facing.roll, 1e-3f);
    // Headquarters turn but keep level on any ground.
    const CModelInstance& headquarters = InstanceOf(1);
    EXPECT_NEAR(headquarters.GetRotY(), facing.yaw, 1e-3f);
    EXPECT_FLOAT_EQ(headquarters.GetRotX(), 0.0f);
    EXPECT_FLOAT_EQ(headquarters.GetRotZ(), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(LookOffsets, FacingGlTest, ::testing::ValuesIn(facingCases),
                         [](const ::testing::TestParamInfo<CFacingCase>& info) {
                             auto number = [](int value) {
                                 return (value < 0 ? "minus" : "") + std::to_string(std::abs(value));
                             };
                             return "look_" + number(info.param.lookX) + "_" + number(info.param.lookY);
                         });

TEST_F(TeamsGlTest, AbsurdLookOffsetsStillGiveADirection) {
    WriteFile("TestLevel/team1.xml", TeamFile(Entry(0, {"light.xml", 10, 10, 2147483647, -2147483647})));
    LoadLevel();
    level->LoadTeams();
    ASSERT_EQ(level->GetUnits()->GetCount(), 1);
    EXPECT_NEAR(InstanceOf(0).GetRotY(), -135.0f, 1e-2f);
}

TEST_F(TeamsGlTest, UnloadReleasesTheUnits) {
    WriteFile("TestLevel/team1.xml", TeamFile(Entry(0, a)));
    LoadLevel();
    level->LoadTeams();
    EXPECT_TRUE(level->UnloadLevel());
    EXPECT_EQ(level->GetUnits(), nullptr);
    EXPECT_TRUE(level->UnloadLevel());
}

// The unit manager alone, over world objects without a level.
class UnitFileGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        MakeFolders("units");
    }
    void TearDown() override {
        units.reset();
        objects.reset();
        GlSceneTest::TearDown();
    }

    CTempWorkDir                   folder;
    std::unique_ptr<CWorldObjects> objects = std::make_unique<CWorldObjects>("objects.xml", nullptr, nullptr);
    std::unique_ptr<CUnitManager>  units   = std::make_unique<CUnitManager>(objects.get(), nullptr, nullptr, nullptr);
};

const char* const unitKeys[] = {
    "name",          "filename",         "effectWheels",    "effectSmoke",       "effectFire",
    "effectAttack",  "effectExplosion",  "soundMove",       "soundAttack",       "soundExplosion",
    "hitpoints",     "startEffectSmoke", "startEffectFire", "startEffectAttack", "attack",
    "defense",       "movement",         "fireMin",         "fireMax",           "slopeMax",
    "speed",         "isGeneral",        "isHeadquarter",   "bonusAttack",       "bonusDefense",
    "bonusMovement", "bonusFirerange",
};

class MissingUnitKeyGlTest : public UnitFileGlTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingUnitKeyGlTest, RejectsTheFileAndCreatesNothing) {
    WriteFile("units/unit.xml", UnitFile(100, 0, GetParam()));
    EXPECT_EQ(units->LoadUnit("units\\unit.xml"), -1);
    EXPECT_EQ(units->GetCount(), 0);
    EXPECT_EQ(objects->GetCount(), 0);
    EXPECT_EQ(units->GetMaxHitpoints(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryKey, MissingUnitKeyGlTest, ::testing::ValuesIn(unitKeys));

TEST_F(UnitFileGlTest, CopiesEveryValue) {
    WriteFile("units/unit.xml", UnitFile(900, 0, "",
                                         "<notusable><0><terrainid>5</terrainid></0><1><terrainid>2</terrainid></1>"
                                         "<3><terrainid>4</terrainid></3></notusable>"));
    ASSERT_EQ(units->LoadUnit("units\\unit.xml"), 0);
    const CUnit& unit = *units->GetUnitByIndex(0);
    EXPECT_EQ(unit.name, "Scout");
    EXPECT_EQ(unit.effectWheels, "wheels.xml");
    EXPECT_EQ(unit.effectSmoke, "smoke.xml");
    EXPECT_EQ(unit.effectFire, "fire.xml");
    EXPECT_EQ(unit.effectAttack, "attack.xml");
    EXPECT_EQ(unit.effectExplosion, "explosion.xml");
    EXPECT_EQ(unit.hitpoints, 900);
    EXPECT_EQ(unit.maxHitpoints, 900);
    EXPECT_EQ(unit.startEffectSmoke, 601);
    EXPECT_EQ(unit.startEffectFire, 302);
    EXPECT_EQ(unit.startEffectAttack, 53);
    EXPECT_EQ(unit.attack, 14);
    EXPECT_EQ(unit.defense, 12);
    EXPECT_EQ(unit.movement, 5);
    EXPECT_EQ(unit.fireMin, 1);
    EXPECT_EQ(unit.fireMax, 3);
    EXPECT_EQ(unit.slopeMax, 25);
    EXPECT_FLOAT_EQ(unit.speed, 1.5f);
    EXPECT_TRUE(unit.isGeneral);
    EXPECT_FALSE(unit.isHeadquarter);
    EXPECT_EQ(unit.bonusAttack, 2);
    EXPECT_EQ(unit.bonusDefense, 3);
    EXPECT_EQ(unit.bonusMovement, 4);
    EXPECT_EQ(unit.bonusFirerange, 6);
    EXPECT_EQ(unit.notUsable, (std::vector<int>{5, 2})); // the list ends at the missing number 2
    EXPECT_EQ(unit.team, 1);
    EXPECT_EQ(unit.boostMovement, 0);
    EXPECT_EQ(units->GetMaxHitpoints(), 900);
    const CModelInstance& body = *objects->GetObjectByIndex(unit.modelInstance);
    EXPECT_EQ(body.GetFileName(), "scout.3ds");
    EXPECT_EQ(body.GetUnitIndex(), 0);
}

TEST_F(UnitFileGlTest, RejectsANotUsableEntryWithoutTerrainId) {
    WriteFile("units/unit.xml",
              UnitFile(100, 0, "", "<notusable><0><terrainid>5</terrainid></0><1><id>2</id></1></notusable>"));
    EXPECT_EQ(units->LoadUnit("units\\unit.xml"), -1);
    EXPECT_EQ(objects->GetCount(), 0);
}

TEST_F(UnitFileGlTest, RejectsAModelThatIsNotA3dsFile) {
    std::string text = UnitFile(100, 0);
    text.replace(text.find("scout.3ds"), 9, "scout.obj");
    WriteFile("units/unit.xml", text);
    EXPECT_EQ(units->LoadUnit("units\\unit.xml"), -1);
    EXPECT_EQ(units->GetCount(), 0);
    EXPECT_NE(ReadFile("log_error.txt").find("scout.obj"), std::string::npos);
}

TEST_F(UnitFileGlTest, MaxHitpointsIsTheLargestOfAllUnits) {
    WriteFile("units/a.xml", UnitFile(300, 0));
    WriteFile("units/b.xml", UnitFile(700, 0));
    WriteFile("units/c.xml", UnitFile(500, 0));
    for (const char* path : {"units\\a.xml", "units\\b.xml", "units\\c.xml"}) {
        units->LoadUnit(path);
    }
    EXPECT_EQ(units->GetCount(), 3);
    EXPECT_EQ(units->GetMaxHitpoints(), 700);
    EXPECT_EQ(units->GetStartHitpoints(1), 0); // only the team loader counts a team's total
    EXPECT_TRUE(units->AssignTeam(1, 2));
    EXPECT_FALSE(units->AssignTeam(0, 3));
    EXPECT_EQ(units->GetStartHitpoints(2), 700);
}

} // namespace
