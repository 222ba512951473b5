#include <algorithm>
#include <memory>
#include <string>

#include "GlFixture.h"
#include "TestSupport.h"
#include "core/Heightmap.h"
#include "view/BattleView.h"
#include "rules/UnitFile.h"
#include "view/UnitFigures.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"

namespace {

// 129 samples a side over 2048 world units: a tile is 64 units (4 samples).
// Heights rise by 2 per sample along x and are flat along z.
constexpr int   heightmapSize = 129;
constexpr float tileSize      = 64.0f;

std::string UnitFile(int hitpoints, int isHeadquarter) {
    return UnitFileText({{"hitpoints", std::to_string(hitpoints)}, {"isHeadquarter", std::to_string(isHeadquarter)}});
}

class TeamsGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp(); // records the boxes: the unit models do not exist
        WriteTestLevel("maxwidth=2048\nmaxheight=255\n",
                       Bitmap(heightmapSize, [](int column, int) { return std::min(2 * column, 255); }));
        MakeFolders("units");
        WriteFile("units/light.xml", UnitFile(100, 0));
        WriteFile("units/heavy.xml", UnitFile(250, 0));
        WriteFile("units/hq.xml", UnitFile(400, 1));
    }
    void TearDown() override {
        level.reset();
        GlSceneTest::TearDown();
    }

    bool LoadLevel(uint64_t seed = 1) {
        level             = std::make_unique<CBattleView>("TestLevel");
        const bool loaded = level->LoadTeams(seed);
        match             = level->GetMatch();
        return loaded;
    }

    // The level loads no objects here: unit i's model is object i.
    const CModelInstance& InstanceOf(int unit) const { return *level->GetObjects()->GetObjectByIndex(unit); }

    CTempWorkDir                 folder;
    std::unique_ptr<CBattleView> level;
    const CMatch*                match = nullptr;
};

// The figures and their models stand on the units' tiles, on the ground.
TEST_F(TeamsGlTest, FiguresStandOnTheirUnitsTiles) {
    WriteFile("TestLevel/team1.xml",
              TeamFileText(TeamEntry(0, {"light.xml", 3, 7, 0, 1}) + TeamEntry(1, {"hq.xml", 9, 2, 1, 0}),
                           "special_team1.xml"));
    WriteFile("TestLevel/team2.xml", TeamFileText(TeamEntry(0, {"heavy.xml", 30, 31, 0, -1})));
    ASSERT_TRUE(LoadLevel());
    ASSERT_EQ(match->GetUnitCount(), 3);
    const CVector3        position = level->GetFigures()->GetPosition(0);
    const CModelInstance& body     = InstanceOf(0);
    EXPECT_EQ(CVector3(body.GetX(), 0, body.GetZ()), CVector3(3.5f * tileSize, 0, 7.5f * tileSize));
    EXPECT_EQ(CVector3(position.x, 0, position.z), CVector3(3.5f * tileSize, 0, 7.5f * tileSize));
    EXPECT_NEAR(body.GetY(), level->GetHeightmap()->HeightAt(position.x, position.z), 1e-3f);
    EXPECT_GT(body.GetY(), 0.0f);
    EXPECT_FLOAT_EQ(body.GetScale(), CUnitFigures::unitScale);
    EXPECT_EQ(body.GetUnitIndex(), 0);

    CUnitLook look;
    ASSERT_TRUE(level->GetFigures()->GetUnitLook(2, look));
    EXPECT_TRUE(look.team == 2 && look.hitPoints == 250 && !look.done);
    EXPECT_FALSE(level->GetFigures()->GetUnitLook(3, look));
}

// Units and headquarters turn to their look tile; no direction keeps the yaw;
// the largest offsets do not overflow.
TEST_F(TeamsGlTest, FiguresTurnToTheLookTile) {
    const struct {
        int   lookX, lookY;
        float yaw; // degrees about y
    } cases[] = {{0, 0, 0.0f}, {-1, 0, 90.0f}, {2147483647, -2147483647, -135.0f}};
    for (const auto& facing : cases) {
        SCOPED_TRACE(facing.lookX);
        WriteFile("TestLevel/team1.xml", TeamFileText(TeamEntry(0, {"light.xml", 10, 10, facing.lookX, facing.lookY}) +
                                                      TeamEntry(1, {"hq.xml", 20, 10, facing.lookX, facing.lookY})));
        LoadLevel();
        ASSERT_EQ(match->GetUnitCount(), 2);
        const CModelInstance &unit = InstanceOf(0), &headquarters = InstanceOf(1);
        EXPECT_NEAR(unit.GetRotY(), facing.yaw, 1e-2f);
        EXPECT_NEAR(headquarters.GetRotY(), facing.yaw, 1e-2f);
    }
}

// A model that cannot be shown leaves its unit in the match, without a model, and says so.
TEST_F(TeamsGlTest, AUnitWhoseModelIsNotA3dsFileStaysWithoutAModel) {
    std::string text = UnitFile(100, 0);
    text.replace(text.find("scout.3ds"), 9, "scout.obj");
    WriteFile("units/odd.xml", text);
    WriteFile("TestLevel/team1.xml", TeamFileText(TeamEntry(0, {"odd.xml", 10, 10, 0, 1})));
    LoadLevel();
    EXPECT_EQ(match->GetUnitCount(), 1);
    EXPECT_EQ(level->GetObjects()->GetCount(), 0);
    EXPECT_NE(ReadFile("log_error.txt").find("scout.obj"), std::string::npos);
}

} // namespace
