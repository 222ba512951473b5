#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "game/GridManager.h"
#include "game/Heightmap.h"
#include "game/UnitManager.h"

namespace {

// 129 samples over 2048 world units: tiles of 64 units. The ground rises by
// 8 world units per tile along x and is flat along z.
constexpr int   mapSize     = 129;
constexpr float mapWidth    = 2048.0f;
constexpr float tileSize    = 64.0f;
constexpr float risePerTile = 8.0f;

CHeightmap RampMap() {
    std::vector<int> samples(static_cast<size_t>(mapSize) * mapSize);
    for (int row = 0; row < mapSize; ++row) {
        for (int column = 0; column < mapSize; ++column) {
            samples[static_cast<size_t>(row) * mapSize + column] = std::min(2 * column, 255);
        }
    }
    return CHeightmap(mapSize, samples, mapWidth, 255.0f);
}

const char* const unitFile = "<name>Scout</name><filename>scout.3ds</filename><effectWheels>w.xml</effectWheels>"
                             "<effectSmoke>s.xml</effectSmoke><effectFire>f.xml</effectFire>"
                             "<effectAttack>a.xml</effectAttack><effectExplosion>e.xml</effectExplosion>"
                             "<soundMove>m.wav</soundMove><soundAttack>a.wav</soundAttack>"
                             "<soundExplosion>e.wav</soundExplosion><hitpoints>300</hitpoints>"
                             "<startEffectSmoke>200</startEffectSmoke><startEffectFire>100</startEffectFire>"
                             "<startEffectAttack>50</startEffectAttack><attack>10</attack><defense>8</defense>"
                             "<movement>4</movement><fireMin>1</fireMin><fireMax>3</fireMax><slopeMax>30</slopeMax>"
                             "<speed>1</speed><isGeneral>0</isGeneral><isHeadquarter>0</isHeadquarter>"
                             "<bonusAttack>0</bonusAttack><bonusDefense>0</bonusDefense>"
                             "<bonusMovement>0</bonusMovement><bonusFirerange>0</bonusFirerange>";

// The unit manager without world objects: what the rules use when no GL
// context exists. Each unit keeps its own position and angles.
class UnitManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeFolders("units");
        WriteFile("units/scout.xml", unitFile);
    }

    CTempWorkDir       folder;
    const CHeightmap   map = RampMap();
    const CGridManager grid{"none.xml", &map};
    CUnitManager       units{nullptr, &map, &grid};
};

TEST_F(UnitManagerTest, LoadsAndPlacesUnitsWithoutModels) {
    ASSERT_EQ(units.LoadUnit("units\\scout.xml"), 0);
    const CUnit& unit = *units.GetUnitByIndex(0);
    EXPECT_EQ(unit.modelInstance, -1);
    EXPECT_EQ(unit.hitpoints, 300);
    units.PlaceUnit(0, 3, 7);
    EXPECT_EQ(unit.tileX, 3);
    EXPECT_EQ(unit.targetY, 7);
    EXPECT_FLOAT_EQ(unit.worldX, 3.5f * tileSize);
    EXPECT_FLOAT_EQ(unit.worldZ, 7.5f * tileSize);
}

TEST_F(UnitManagerTest, NotUsableEntryWithoutTerrainIdLeavesNothing) {
    WriteFile("units/broken.xml",
              std::string(unitFile) + "<notusable><0><terrainid>5</terrainid></0><1><id>2</id></1></notusable>");
    EXPECT_EQ(units.LoadUnit("units\\broken.xml"), -1);
    EXPECT_EQ(units.GetCount(), 0);
    EXPECT_EQ(units.GetMaxHitpoints(), 0);
}

struct FacingCase {
    int   lookX, lookY;
    float yaw, pitch, roll; // degrees; pitch: ground rises ahead, roll: to the right
};

const float rampDegrees = std::atan2(risePerTile, tileSize) * 180.0f / 3.14159265f;

class UnitFacing : public UnitManagerTest, public ::testing::WithParamInterface<FacingCase> {};

INSTANTIATE_TEST_SUITE_P(Directions, UnitFacing,
                         ::testing::Values(FacingCase{0, 1, 0.0f, 0.0f, -rampDegrees},
                                           FacingCase{1, 0, -90.0f, rampDegrees, 0.0f},
                                           FacingCase{-1, -1, 135.0f, -rampDegrees, rampDegrees}));

TEST_P(UnitFacing, TurnsAndTiltsTheUnitItself) {
    const FacingCase& facing = GetParam();
    ASSERT_EQ(units.LoadUnit("units\\scout.xml"), 0);
    units.PlaceUnit(0, 10, 10);
    units.FaceTile(0, 10 + facing.lookX, 10 + facing.lookY);
    units.TiltUnit(0, 10 - facing.lookX, 10 - facing.lookY, 10, 10);
    const CUnit& unit = *units.GetUnitByIndex(0);
    EXPECT_NEAR(unit.yaw, facing.yaw, 1e-3f);
    EXPECT_NEAR(unit.pitch, facing.pitch, 1e-3f);
    EXPECT_NEAR(unit.roll, facing.roll, 1e-3f);
    // Its own position gives no direction: the yaw stays.
    units.FacePoint(0, unit.worldX, unit.worldZ);
    EXPECT_NEAR(unit.yaw, facing.yaw, 1e-3f);
}

} // namespace
