#include <gtest/gtest.h>

#include "TestSupport.h"
#include "rules/UnitFile.h"

namespace {

// Every key of a unit file, in its documented order, with a value.
const std::vector<std::pair<std::string, std::string>> unitValues = {
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
    {"hitpoints", "900"},
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
    {"isHeadquarter", "0"},
    {"bonusAttack", "2"},
    {"bonusDefense", "3"},
    {"bonusMovement", "4"},
    {"bonusFirerange", "6"},
};

std::string UnitText(const std::string& leaveOut, const std::string& notUsable = "") {
    std::string text;
    for (const auto& [key, value] : unitValues) {
        if (key != leaveOut) {
            text += "<" + key + ">" + value + "</" + key + ">\n";
        }
    }
    return text + notUsable;
}

TEST(UnitFile, ReadsEveryValueIntoTheRulesOrTheMedia) {
    CTempWorkDir folder;
    WriteFile("unit.xml", UnitText("", "<notusable><0><terrainid>5</terrainid></0><1><terrainid>2</terrainid></1>"
                                       "<3><terrainid>4</terrainid></3></notusable>"));
    CUnitFile file;
    ASSERT_TRUE(file.Load("unit.xml"));
    const CUnit&      unit  = file.GetUnit();
    const CUnitMedia& media = file.GetMedia();
    EXPECT_EQ(unit.name, "Scout");
    EXPECT_EQ(std::vector<int>({unit.hitpoints, unit.maxHitpoints, unit.attack, unit.defense, unit.movement,
                                unit.fireMin, unit.fireMax, unit.slopeMax, unit.bonusAttack, unit.bonusDefense,
                                unit.bonusMovement, unit.bonusFirerange, unit.boostMovement}),
              std::vector<int>({900, 900, 14, 12, 5, 1, 3, 25, 2, 3, 4, 6, 0}));
    EXPECT_TRUE(unit.isGeneral);
    EXPECT_FALSE(unit.isHeadquarter);
    EXPECT_EQ(unit.notUsable, (std::vector<int>{5, 2})) << "the list ends at the missing number 2";
    EXPECT_EQ(std::vector<std::string>({media.modelFile, media.effectWheels, media.effectSmoke, media.effectFire,
                                        media.effectAttack, media.effectExplosion, media.soundMove, media.soundAttack,
                                        media.soundExplosion}),
              std::vector<std::string>({"scout.3ds", "wheels.xml", "smoke.xml", "fire.xml", "attack.xml",
                                        "explosion.xml", "move.wav", "shot.wav", "boom.wav"}));
    EXPECT_EQ(std::vector<int>({media.startEffectSmoke, media.startEffectFire, media.startEffectAttack}),
              std::vector<int>({601, 302, 53}));
    EXPECT_FLOAT_EQ(media.speed, 1.5f);
}

class MissingUnitKey : public ::testing::TestWithParam<std::string> {};

INSTANTIATE_TEST_SUITE_P(EveryKey, MissingUnitKey,
                         ::testing::Values("name", "filename", "effectExplosion", "soundExplosion", "hitpoints",
                                           "startEffectAttack", "slopeMax", "speed", "isHeadquarter", "bonusFirerange",
                                           "notusable"));

// A file missing any value, or with a "notusable" entry without
// "terrainid", is refused whole with a line.
TEST_P(MissingUnitKey, RefusesTheFileWithALine) {
    CTempWorkDir folder;
    const bool   badList = GetParam() == "notusable";
    WriteFile("unit.xml",
              UnitText(badList ? "" : GetParam(),
                       badList ? "<notusable><0><terrainid>5</terrainid></0><1><id>2</id></1></notusable>" : ""));
    CUnitFile file;
    EXPECT_FALSE(file.Load("unit.xml"));
    EXPECT_EQ(file.GetUnit().hitpoints, 0) << "nothing is kept";
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "unit.xml lacks a value"), 1);
}

} // namespace
