#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "RulesBoard.h"
#include "TestSupport.h"
#include "rules/TeamFile.h"
#include "rules/FightFile.h"

namespace {

TEST(TeamFileTest, ReadsEntriesInAnyKeyOrderClampsLookOffsetsAndForgetsOnFailure) {
    WriteFile("team.xml", "<units><1><lookY>-99999999</lookY><positionY>4</positionY><lookX>2</lookX>"
                          "<filename>b.xml</filename><positionX>3</positionX></1>"
                          "<0><filename>a.xml</filename><positionX>1</positionX><positionY>2</positionY>"
                          "<lookX>0</lookX><lookY>1</lookY></0></units>"
                          "<effectSpecial>special_team2.xml</effectSpecial>");
    CTeamFile team;
    ASSERT_TRUE(team.Load("team.xml"));
    EXPECT_EQ(team.GetEffectSpecial(), "special_team2.xml");
    ASSERT_EQ(team.GetEntries().size(), 2u);
    const auto fields = [](const CTeamEntry& entry) {
        return std::make_tuple(entry.fileName, entry.positionX, entry.positionY, entry.lookX, entry.lookY);
    };
    EXPECT_EQ(fields(team.GetEntries()[0]), std::make_tuple(std::string("a.xml"), 1, 2, 0, 1));
    EXPECT_EQ(fields(team.GetEntries()[1]), std::make_tuple(std::string("b.xml"), 3, 4, 2, -CTeamFile::maxLookOffset));
    EXPECT_FALSE(team.Load("missing.xml"));
    EXPECT_TRUE(team.GetEntries().empty());
    EXPECT_TRUE(team.GetEffectSpecial().empty());
}

struct CFightCase {
    const char*  label;
    const char*  text; // nullptr: no file
    bool         opened;
    CFightParams expected;
    int          lines; // in the error log, one per key that cannot be used (or for the file)
};

const CFightParams standard;

const CFightCase fightCases[] = {
    {"all keys",
     "<maxSlopeBonus>6</maxSlopeBonus><minDefense>0.5</minDefense><maxDefense>30</maxDefense>"
     "<minAttack>0.25</minAttack><maxAttack>24</maxAttack><attackFactor>2</attackFactor><attackBonus>1.25</"
     "attackBonus>",
     true,
     {1.25f, 2.0f, 24.0f, 0.25f, 30.0f, 0.5f, 6.0f},
     0},
    {"one key", "<attackFactor>3</attackFactor>", true, {1.25f, 3.0f, 24.0f, 1.0f, 30.0f, 1.0f, 6.0f}, 6},
    {"no file", nullptr, false, standard, 1},
    {"empty file", "", true, standard, 7},
    // Each unusable value keeps the standard one: a NaN divisor once made attacks thirty times as strong.
    {"damaged values",
     "<maxAttack>nan</maxAttack><maxDefense>-2</maxDefense><attackBonus>inf</attackBonus><attackFactor>1e39"
     "</attackFactor><minAttack>twelve</minAttack><minDefense> 0.5 </minDefense><maxSlopeBonus>3</maxSlopeBonus>",
     true,
     {1.25f, 1.0f, 24.0f, 1.0f, 30.0f, 0.5f, 3.0f},
     5},
};

TEST(FightParamsTest, ReadsEachKeyOnItsOwnAndNamesEachUnusableOne) {
    const auto values = [](const CFightParams& p) {
        return std::vector<float>{p.attackBonus, p.attackFactor, p.maxAttack,    p.minAttack,
                                  p.maxDefense,  p.minDefense,   p.maxSlopeBonus};
    };
    for (const CFightCase& fight : fightCases) {
        unlink("log_error.txt");
        unlink("fight.xml");
        if (fight.text != nullptr) {
            WriteFile("fight.xml", fight.text);
        }
        CFightParams read;
        EXPECT_EQ(LoadFightFile("fight.xml", read), fight.opened) << fight.label;
        EXPECT_EQ(values(read), values(fight.expected)) << fight.label;
        const std::string log = FileExists("log_error.txt") ? ReadFile("log_error.txt") : "";
        EXPECT_EQ(CountLinesWith(log, "LoadFightParams: "), fight.lines) << fight.label << ": " << log;
        EXPECT_EQ(CountLinesWith(log, "fight.xml"), fight.lines) << "each line names the file:\n" << log;
    }
}

// Teams placed on a made-up board: unit files "light.xml" (100 hit points), "heavy.xml" (250), the
// headquarters "hq.xml" (400); team 2 always has one light unit at (20, 20).
class TeamRules : public ::testing::Test {
protected:
    TeamRules() {
        MakeFolders("TestLevel");
        MakeFolders("units");
        WriteFile("units/light.xml", UnitFileText({{"hitpoints", "100"}}));
        WriteFile("units/heavy.xml", UnitFileText({{"hitpoints", "250"}}));
        WriteFile("units/hq.xml", UnitFileText({{"hitpoints", "400"}, {"isHeadquarter", "1"}}));
        WriteFile("units/broken.xml", UnitFileText({}, "bonusFirerange"));
        WriteFile("TestLevel/team2.xml", TeamFileText(TeamEntry(0, {"light.xml", 20, 20, 0, -1})));
        WriteFile("TestLevel/fight.xml", "<attackFactor>2</attackFactor>");
    }
    long CountTeam(int team) const {
        const auto& units = b.match->GetUnits();
        return std::count_if(units.begin(), units.end(), [team](const CUnit& unit) { return unit.team == team; });
    }

    RulesBoard::CBoard b;
};

struct CTeamRulesCase {
    const char* label;
    std::string team1; // empty: no file
    bool        loaded;
    int         team1Units;
    int         team2Units;
    bool        fightRead;
    const char* logged; // a text expected in "log_error.txt", or nullptr
};

const CTeamEntryText light1{"light.xml", 1, 1, 0, 1};
const CTeamEntryText heavy2{"heavy.xml", 2, 1, 0, 1};
const CTeamEntryText light3{"light.xml", 3, 1, 0, 1};

const CTeamRulesCase teamRulesCases[] = {
    {"all entries", TeamFileText(TeamEntry(0, light1) + TeamEntry(1, heavy2) + TeamEntry(2, light3)), true, 3, 1, true,
     nullptr},
    {"no units element", "<effectSpecial>special.xml</effectSpecial>\n", false, 0, 1, true, "no unit that can fight"},
    {"numbers 0, 1, 3", TeamFileText(TeamEntry(0, light1) + TeamEntry(1, heavy2) + TeamEntry(3, light3)), true, 2, 1,
     true, nullptr},
    {"entry without lookY", TeamFileText(TeamEntry(0, light1) + TeamEntry(1, heavy2, "lookY") + TeamEntry(2, light3)),
     true, 1, 1, true, nullptr},
    {"entry without filename", TeamFileText(TeamEntry(0, light1, "filename") + TeamEntry(1, heavy2)), false, 0, 1, true,
     "unit entry 0 lacks a value"},
    {"team 1 missing", "", false, 0, 0, false, nullptr},
    {"no effectSpecial", "<units>" + TeamEntry(0, light1) + "</units>", false, 0, 0, false, nullptr},
    {"unit file missing a key",
     TeamFileText(TeamEntry(0, light1) + TeamEntry(1, {"broken.xml", 5, 5, 0, 1}) + TeamEntry(2, light3)), true, 2, 1,
     true, nullptr},
    {"unit file missing", TeamFileText(TeamEntry(0, {"absent.xml", 5, 5, 0, 1}) + TeamEntry(1, light3)), true, 1, 1,
     true, nullptr},
    {"column 32", TeamFileText(TeamEntry(0, {"light.xml", 32, 5, 0, 1}) + TeamEntry(1, light3)), true, 1, 1, true,
     "outside the board"},
    {"occupied tile",
     TeamFileText(TeamEntry(0, light1) + TeamEntry(1, {"heavy.xml", 1, 1, 1, 0}) + TeamEntry(2, light3)), true, 2, 1,
     true, "stands on unit 0"},
};

class TeamRulesTable : public TeamRules, public ::testing::WithParamInterface<CTeamRulesCase> {};

INSTANTIATE_TEST_SUITE_P(TeamFiles, TeamRulesTable, ::testing::ValuesIn(teamRulesCases),
                         [](const ::testing::TestParamInfo<CTeamRulesCase>& info) {
                             return CaseName(info.param.label);
                         });

// Every loaded unit owns its tile, and no tile names a unit that is elsewhere.
TEST_P(TeamRulesTable, LoadsTheEntriesTheRulesAdmit) {
    const CTeamRulesCase& rules = GetParam();
    if (!rules.team1.empty()) {
        WriteFile("TestLevel/team1.xml", rules.team1);
    }
    EXPECT_EQ(b.match->LoadTeams("TestLevel"), rules.loaded);
    EXPECT_EQ(CountTeam(1), rules.team1Units);
    EXPECT_EQ(CountTeam(2), rules.team2Units);
    EXPECT_EQ(b.match->GetFightParams().attackFactor == 2.0f, rules.fightRead);
    int tilesWithUnits = 0;
    for (int n = 0; n < CGridManager::tileCount; ++n) {
        const int x = n % CGridManager::gridSize, y = n / CGridManager::gridSize, unit = b.TileUnit(x, y);
        tilesWithUnits += unit != -1;
        EXPECT_TRUE(unit == -1 || b.match->GetOrigin(unit) == std::make_pair(x, y));
    }
    EXPECT_EQ(tilesWithUnits, b.match->GetUnitCount());
    if (rules.logged != nullptr) {
        EXPECT_NE(ReadFile("log_error.txt").find(rules.logged), std::string::npos) << ReadFile("log_error.txt");
    }
}

TEST_F(TeamRules, StartHitpointsCountIntoTheirTeam) {
    WriteFile("TestLevel/team1.xml",
              TeamFileText(TeamEntry(0, {"light.xml", 3, 7, 0, 1}) + TeamEntry(1, {"hq.xml", 9, 2, 1, 0})));
    WriteFile("TestLevel/team2.xml", TeamFileText(TeamEntry(0, {"heavy.xml", 30, 31, 0, -1})));
    ASSERT_TRUE(b.match->LoadTeams("TestLevel"));
    EXPECT_EQ(b.TileUnit(9, 2), 1);
    EXPECT_EQ(b.match->GetStartHitpoints(1), 100 + 400);
    EXPECT_EQ(b.match->GetStartHitpoints(2), 250);
    EXPECT_EQ(b.match->GetMaxHitpoints(), 400);
}

} // namespace
