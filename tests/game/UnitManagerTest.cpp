#include <gtest/gtest.h>

#include <string>

#include "RulesBoard.h"

namespace {

using namespace RulesBoard;

// The unit manager without world objects, as the rules use it without a GL
// context: each unit keeps its own position.
TEST(UnitManager, NotUsableEntryWithoutTerrainIdLeavesNothing) {
    CBoard            b;
    const std::string file = UnitFile(UnitTraits());
    WriteFile("units/broken.xml", file.substr(0, file.find("<notusable>")) +
                                      "<notusable><0><terrainid>5</terrainid></0><1><id>2</id></1></notusable>");
    EXPECT_EQ(b.units->LoadUnit("units\\broken.xml"), -1);
    EXPECT_EQ(b.units->GetCount(), 0);
    EXPECT_EQ(b.units->GetMaxHitpoints(), 0);
}

// With speed 1 a unit covers 500 world units a second, so a frame of
// 0.064 s is half a 64-unit tile.
TEST(UnitWalk, StepsNodeByNodeByTheFrameTime) {
    CBoard       b;
    const int    unit   = b.AddUnit(UnitTraits(), 1, 5, 5);
    const CUnit& walker = b.Unit(unit);
    EXPECT_FLOAT_EQ(walker.worldX, 5.5f * tileSize);
    ASSERT_TRUE(b.units->MoveUnit(unit, 6, 5));
    ASSERT_EQ(walker.path.size(), 2u);
    EXPECT_TRUE(walker.moving);
    b.units->UpdateUnits(0.0f);
    EXPECT_FLOAT_EQ(walker.worldX, 5.5f * tileSize) << "no frame time, no step";
    b.units->UpdateUnits(0.064f);
    EXPECT_FLOAT_EQ(walker.worldX, 6.0f * tileSize);
    EXPECT_NEAR(walker.yaw, -90.0f, 1e-3f) << "facing +x";
    b.units->UpdateUnits(0.064f);
    EXPECT_FLOAT_EQ(walker.worldX, 6.5f * tileSize) << "never past the centre";
    EXPECT_EQ(walker.tileX, 5) << "the node counts as reached on the next frame";
    b.units->UpdateUnits(0.064f);
    EXPECT_EQ(walker.tileX, 6);
    EXPECT_EQ(walker.prevTileX, 5);
    EXPECT_TRUE(walker.moving);
    b.units->UpdateUnits(0.064f);
    EXPECT_FALSE(walker.moving);

    ASSERT_TRUE(b.units->MoveUnit(unit, 7, 6)); // a diagonal step moves both axes by the full step
    b.units->UpdateUnits(0.064f);
    EXPECT_FLOAT_EQ(walker.worldX, 7.0f * tileSize);
    EXPECT_FLOAT_EQ(walker.worldZ, 6.0f * tileSize);
}

TEST(UnitWalk, WithoutSpeedAUnitNeverArrives) {
    for (const float speed : {0.0f, -3.0f}) {
        CBoard     b;
        UnitTraits traits;
        traits.speed   = speed;
        const int unit = b.AddUnit(traits, 1, 5, 5);
        ASSERT_TRUE(b.units->MoveUnit(unit, 7, 7));
        for (int frame = 0; frame < 100; ++frame) {
            b.units->UpdateUnits(0.1f);
        }
        EXPECT_TRUE(b.units->IsMoving(unit)) << "speed " << speed;
        EXPECT_FLOAT_EQ(b.Unit(unit).worldX, 5.5f * tileSize) << "speed " << speed;
    }
}

} // namespace
