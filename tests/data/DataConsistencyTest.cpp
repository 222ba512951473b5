#include <gtest/gtest.h>

#include <set>
#include <string>

#include "DataFiles.h"
#include "core/XmlFile.h"
#include "rules/Match.h"

// The shipped levels read by the rules themselves: units stand where they may, the teams mirror each other, the
// tile file agrees with the heightmap and the objects with the terrain (whole games show the teams can meet).
namespace {

constexpr int tiles        = CGridManager::gridSize;
constexpr int cliffDegrees = 50; // no usable tile is steeper than this

class ContentTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        match = level.NewMatch(1);
        ASSERT_TRUE(match);
    }
    const CBoardTile& TileAt(int x, int y) const { return match->GetBoard().GetTile(x, y); }

    DataFiles::CShippedLevel level{GetParam()};
    std::unique_ptr<CMatch>  match;
};

INSTANTIATE_TEST_SUITE_P(ShippedLevels, ContentTest, ::testing::Values("TestLevel", "Islands"));

TEST_P(ContentTest, EveryUnitLoadsOnATileItMayEnter) {
    EXPECT_FALSE(FileExists("log_error.txt")) << ReadFile("log_error.txt");
    EXPECT_TRUE(match->Start().events.empty()) << "both teams are complete";
    for (int unit = 0; unit < match->GetUnitCount(); ++unit) {
        const auto [x, y] = match->GetOrigin(unit);
        EXPECT_TRUE(match->IsTilePassable(unit, x, y)) << match->GetUnit(unit)->name << " at " << x << "," << y;
    }
}

// Unit i of team 2 is unit i of team 1 turned through the centre, and so is the ground; each team has one
// headquarters, one general and at least five fighting units of three kinds that differ in what matters.
TEST_P(ContentTest, TeamsAreMirroredAndHaveTheKindsTheGameNeeds) {
    std::vector<const CUnit*> teams[3];
    for (const CUnit& unit : match->GetUnits()) {
        teams[unit.team].push_back(&unit);
    }
    ASSERT_EQ(teams[1].size(), teams[2].size());
    for (size_t i = 0; i < teams[1].size(); ++i) {
        EXPECT_EQ(teams[1][i]->name, teams[2][i]->name);
        EXPECT_EQ(teams[2][i]->tileX, tiles - 1 - teams[1][i]->tileX) << teams[1][i]->name;
        EXPECT_EQ(teams[2][i]->tileY, tiles - 1 - teams[1][i]->tileY) << teams[1][i]->name;
    }
    for (int y = 0; y < tiles; ++y) {
        for (int x = 0; x < tiles; ++x) {
            const CBoardTile &tile = TileAt(x, y), &mirror = TileAt(tiles - 1 - x, tiles - 1 - y);
            ASSERT_EQ(tile.terrainType, mirror.terrainType) << x << "," << y;
            ASSERT_EQ(tile.slopeDegrees, mirror.slopeDegrees) << x << "," << y;
        }
    }
    for (int team = 1; team <= 2; ++team) {
        int                   headquarters = 0, generals = 0, fighters = 0;
        std::set<std::string> kinds;
        std::set<int>         movements, ranges, armours, slopes;
        for (const CUnit* unit : teams[team]) {
            headquarters += unit->isHeadquarter;
            generals += unit->isGeneral;
            EXPECT_LE(unit->fireMin, unit->fireMax) << unit->name;
            if (!unit->isHeadquarter && !unit->isGeneral) {
                ++fighters;
                kinds.insert(unit->name);
                movements.insert(unit->movement);
                ranges.insert(unit->fireMax);
                armours.insert(unit->defense);
                slopes.insert(unit->slopeMax);
            }
        }
        EXPECT_EQ(std::make_pair(headquarters, generals), std::make_pair(1, 1)) << "team " << team;
        EXPECT_GE(fighters, 5) << "team " << team;
        for (const size_t distinct : {kinds.size(), movements.size(), ranges.size(), armours.size(), slopes.size()}) {
            EXPECT_GE(distinct, 3u) << "team " << team;
        }
    }
}

TEST_P(ContentTest, TileFileAgreesWithTheHeightmap) {
    std::set<int> used;
    int           waterTiles = 0, steepTiles = 0;
    for (int y = 0; y < tiles; ++y) {
        for (int x = 0; x < tiles; ++x) {
            const CBoardTile& tile = TileAt(x, y);
            ASSERT_GE(tile.terrainType, 0) << x << "," << y;
            used.insert(tile.terrainType);
            const bool water = tile.height <= match->GetBoard().GetWaterHeight();
            const bool cliff = tile.slopeDegrees >= cliffDegrees;
            waterTiles += water;
            steepTiles += cliff;
            EXPECT_FALSE((water || cliff) && tile.usable) << "water or cliff marked usable at " << x << "," << y;
        }
    }
    EXPECT_GE(used.size(), 6u) << "the map uses too few terrain types";
    EXPECT_GT(waterTiles, 40) << "no river or lake below the water height";
    EXPECT_GT(steepTiles, 0) << "no cliffs";
}

// Every placed object stands inside the map, on no unit's start tile.
TEST_P(ContentTest, PlacedObjectsStandBesideTheUnits) {
    CXmlFile file;
    ASSERT_TRUE(file.Open((std::string(GetParam()) + "\\objects.xml").c_str(), 0) && file.EnterElement("objects"));
    int count = 0;
    for (float x = -1, z = -1, scale = 0; file.EnterSubElement(count); ++count, file.LeaveSubElement()) {
        ASSERT_TRUE(file.ReadFloat("positionX", x) && file.ReadFloat("positionY", z) && file.ReadFloat("scale", scale))
            << "object " << count;
        const int tileX = static_cast<int>(x / match->GetBoard().GetTileSize());
        const int tileY = static_cast<int>(z / match->GetBoard().GetTileSize());
        ASSERT_TRUE(CGridManager::IsInside(tileX, tileY)) << "object " << count << " outside the map";
        EXPECT_EQ(TileAt(tileX, tileY).unit, -1) << "object " << count << " on a unit's start tile";
        EXPECT_GT(scale, 0.0f);
    }
    EXPECT_GT(count, 50) << "too few objects to make a landscape";
}

} // namespace
