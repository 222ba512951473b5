#include <gtest/gtest.h>

#include "TestSupport.h"
#include "rules/UnitFile.h"

namespace {

TEST(UnitFile, ReadsEveryValueIntoTheRulesOrTheMedia) {
    WriteFile("unit.xml", UnitFileText({}, "",
                                       "<notusable><0><terrainid>5</terrainid></0><1><terrainid>2</terrainid></1>"
                                       "<3><terrainid>4</terrainid></3></notusable>"));
    CUnitFile file;
    ASSERT_TRUE(file.Load("unit.xml"));
    const CUnit&      unit  = file.GetUnit();
    const CUnitMedia& media = file.GetMedia();
    EXPECT_EQ(std::vector<int>({unit.hitpoints, unit.maxHitpoints, unit.attack, unit.defense, unit.movement,
                                unit.fireMin, unit.fireMax, unit.slopeMax, unit.bonusAttack, unit.bonusDefense,
                                unit.bonusMovement, unit.bonusFirerange, unit.boostMovement}),
              std::vector<int>({900, 900, 14, 12, 5, 1, 3, 25, 2, 3, 4, 6, 0}));
    EXPECT_TRUE(unit.name == "Scout" && unit.isGeneral && !unit.isHeadquarter);
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

// A file missing any value, or with a "notusable" entry without "terrainid", is refused whole with a line.
TEST_P(MissingUnitKey, RefusesTheFileWithALine) {
    const bool badList = GetParam() == "notusable";
    WriteFile("unit.xml",
              UnitFileText({}, badList ? "" : GetParam(),
                           badList ? "<notusable><0><terrainid>5</terrainid></0><1><id>2</id></1></notusable>" : ""));
    CUnitFile file;
    EXPECT_FALSE(file.Load("unit.xml"));
    EXPECT_EQ(file.GetUnit().hitpoints, 0) << "nothing is kept";
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "unit.xml lacks a value"), 1);
}

} // namespace
