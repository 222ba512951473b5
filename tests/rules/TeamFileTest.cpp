#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "rules/TeamFile.h"
#include "rules/FightFile.h"

namespace {

TEST(TeamFileTest, ReadsEntriesInAnyKeyOrderAndClampsLookOffsets) {
    CTempWorkDir folder;
    WriteFile("team.xml", "<units><1><lookY>-99999999</lookY><positionY>4</positionY><lookX>2</lookX>"
                          "<filename>b.xml</filename><positionX>3</positionX></1>"
                          "<0><filename>a.xml</filename><positionX>1</positionX><positionY>2</positionY>"
                          "<lookX>0</lookX><lookY>1</lookY></0></units>"
                          "<effectSpecial>special_team2.xml</effectSpecial>");
    CTeamFile team;
    ASSERT_TRUE(team.Load("team.xml"));
    EXPECT_EQ(team.GetEffectSpecial(), "special_team2.xml");
    ASSERT_EQ(team.GetEntries().size(), 2u);
    const CTeamEntry& first = team.GetEntries()[0];
    EXPECT_EQ(first.fileName, "a.xml");
    EXPECT_EQ(first.positionX, 1);
    EXPECT_EQ(first.positionY, 2);
    EXPECT_EQ(first.lookY, 1);
    const CTeamEntry& second = team.GetEntries()[1];
    EXPECT_EQ(second.fileName, "b.xml");
    EXPECT_EQ(second.positionX, 3);
    EXPECT_EQ(second.positionY, 4);
    EXPECT_EQ(second.lookX, 2);
    EXPECT_EQ(second.lookY, -CTeamFile::maxLookOffset);
}

TEST(TeamFileTest, ForgetsAnEarlierFileWhenTheNextCannotBeRead) {
    CTempWorkDir folder;
    WriteFile("team.xml", "<effectSpecial>s</effectSpecial><units><0><filename>a.xml</filename><positionX>1"
                          "</positionX><positionY>2</positionY><lookX>0</lookX><lookY>1</lookY></0></units>");
    CTeamFile team;
    ASSERT_TRUE(team.Load("team.xml"));
    ASSERT_EQ(team.GetEntries().size(), 1u);
    EXPECT_FALSE(team.Load("missing.xml"));
    EXPECT_TRUE(team.GetEntries().empty());
    EXPECT_TRUE(team.GetEffectSpecial().empty());
}

struct CFightCase {
    const char* label;
    const char* text; // nullptr: no file
    bool        opened;
    FightParams expected;
    int         lines; // in the error log, one per key that cannot be used (or for the file)
};

const FightParams standard;

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
    // Each unusable value keeps the standard one: a NaN divisor once made
    // attacks thirty times as strong as the shipped rules.
    {"damaged values",
     "<maxAttack>nan</maxAttack><maxDefense>-2</maxDefense><attackBonus>inf</attackBonus><attackFactor>1e39"
     "</attackFactor><minAttack>twelve</minAttack><minDefense> 0.5 </minDefense><maxSlopeBonus>3</maxSlopeBonus>",
     true,
     {1.25f, 1.0f, 24.0f, 1.0f, 30.0f, 0.5f, 3.0f},
     5},
};

class FightParamsTest : public ::testing::TestWithParam<CFightCase> {};

TEST_P(FightParamsTest, ReadsEachKeyOnItsOwnAndNamesEachUnusableOne) {
    const CFightCase& fight = GetParam();
    CTempWorkDir      folder;
    if (fight.text != nullptr) {
        WriteFile("fight.xml", fight.text);
    }
    FightParams read;
    EXPECT_EQ(LoadFightFile("fight.xml", read), fight.opened);
    EXPECT_FLOAT_EQ(read.attackBonus, fight.expected.attackBonus);
    EXPECT_FLOAT_EQ(read.attackFactor, fight.expected.attackFactor);
    EXPECT_FLOAT_EQ(read.maxAttack, fight.expected.maxAttack);
    EXPECT_FLOAT_EQ(read.minAttack, fight.expected.minAttack);
    EXPECT_FLOAT_EQ(read.maxDefense, fight.expected.maxDefense);
    EXPECT_FLOAT_EQ(read.minDefense, fight.expected.minDefense);
    EXPECT_FLOAT_EQ(read.maxSlopeBonus, fight.expected.maxSlopeBonus);
    const std::string log = FileExists("log_error.txt") ? ReadFile("log_error.txt") : "";
    EXPECT_EQ(CountLinesWith(log, "LoadFightParams: "), fight.lines) << log;
    EXPECT_EQ(CountLinesWith(log, "fight.xml"), fight.lines) << "each line names the file:\n" << log;
}

INSTANTIATE_TEST_SUITE_P(FightFiles, FightParamsTest, ::testing::ValuesIn(fightCases),
                         [](const ::testing::TestParamInfo<CFightCase>& info) {
                             std::string name = info.param.label;
                             for (char& ch : name) {
                                 ch = ch == ' ' ? '_' : ch;
                             }
                             return name;
                         });

} // namespace
