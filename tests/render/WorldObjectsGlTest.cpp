#include <memory>

#include "GlFixture.h"
#include "ModelTools.h"
#include "core/Heightmap.h"
#include "platform/MessageBox.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"

// The world objects: "objects.xml" in and out, shared models, and the draw passes.
namespace {

constexpr float sphereRadius = 2.5f; // the model's radius is the integer 2

class WorldObjectsGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        // 33 x 33 samples over 320 world units: the ground rises along x, one sample unit per column.
        heightmap =
            std::make_unique<CHeightmap>(33, Samples(33, [](int column, int) { return column; }), 320.0f, 255.0f);
        ASSERT_TRUE(ModelTools::ExportModel("objects", "ball", ModelTools::SphereObj(sphereRadius, "paint"),
                                            "newmtl paint\nKd 0.8 0.8 0.8\n"))
            << "assimp (assimp-utils) must export the test model";
        WriteFile("objects/pine.3ds", ReadFile("objects/ball.3ds")); // copies, for the tests of sharing
        WriteFile("objects/oak.3ds", ReadFile("objects/ball.3ds"));
    }

    void TearDown() override {
        textures.Clear();
        GlSceneTest::TearDown();
    }

    std::unique_ptr<CWorldObjects> Make() {
        return std::make_unique<CWorldObjects>("objects.xml", &textures, heightmap.get());
    }

    // Seen from +z on green; the fixed light comes from (1, 1, 1).
    CPicture Draw(const CWorldObjects& objects, int& triangles) const {
        const float green[3] = {0, 1, 0};
        ClearAndLook(green, CView{{0, 0, 20}, {0, 0, 0}, 0.0, 8.0, 1.0, 100.0});
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        triangles = objects.Draw(CWorldObjects::passAll);
        return CPicture::Read();
    }

    CTempWorkDir                dir;
    CTextureManager             textures;
    std::unique_ptr<CHeightmap> heightmap;
};

std::string Item(int number, const char* file, float x, const char* scale) {
    const std::string tag = std::to_string(number);
    return "<" + tag + "><filename>" + file + "</filename><positionX>" + std::to_string(x) +
           "</positionX><positionY>40</positionY><rotation>30</rotation>" +
           (scale != nullptr ? std::string("<scale>") + scale + "</scale>" : "") + "</" + tag + ">\n";
}

// Items with another suffix are skipped; an item without "scale" ends the list; no file or list loads nothing.
TEST_F(WorldObjectsGlTest, LoadSaveAndSharedModels) {
    EXPECT_FALSE(Make()->LoadObjects());
    WriteFile("objects.xml", "<things>\n" + Item(0, "pine.3ds", 1, "1") + "</things>\n");
    EXPECT_FALSE(Make()->LoadObjects());
    WriteFile("objects.xml", "<objects>\n" + Item(0, "pine.3ds", 100, "2") + Item(1, "pine.obj", 20, "1") +
                                 Item(2, "oak.3ds", 150, "0.5") + Item(3, "pine.3ds", 200, nullptr) +
                                 Item(4, "oak.3ds", 250, "1") + "</objects>\n");
    auto objects = Make();
    EXPECT_TRUE(objects->LoadObjects());
    ASSERT_EQ(objects->GetCount(), 2);
    EXPECT_EQ(objects->GetModelCount(), 2);
    const CModelInstance* first = objects->GetObjectByIndex(0);
    EXPECT_EQ(first->GetFileName(), "pine.3ds");
    // x = 100 is column 10 of samples 0, 1, 2, ...: 10 sample units of 1.0.
    EXPECT_NEAR(first->GetY(), 10.0f, 1e-3f);
    EXPECT_FLOAT_EQ(first->GetRotZ(), 30.0f);
    EXPECT_FLOAT_EQ(first->GetRadius(), 2.0f * 2.0f) << "the model's integer radius 2 times the scale";
    EXPECT_EQ(first->GetUnitIndex(), -1);
    EXPECT_EQ(objects->GetObjectByIndex(1)->GetFileName(), "oak.3ds");
    EXPECT_TRUE(CMessageBox::GetRecorded().empty());
    // Equal names share a model; names differing in case do not (both hold the sphere: lookup ignores case).
    auto                  shared  = Make();
    const CModelInstance* pine    = shared->GetObjectByIndex(shared->AddObject("pine.3ds"));
    const CModelInstance* again   = shared->GetObjectByIndex(shared->AddObject("pine.3ds"));
    const CModelInstance* capital = shared->GetObjectByIndex(shared->AddObject("Pine.3ds"));
    EXPECT_EQ(shared->GetModelCount(), 2);
    EXPECT_EQ(pine->GetModel(), again->GetModel());
    EXPECT_NE(pine->GetModel(), capital->GetModel());
    EXPECT_EQ(capital->GetModel()->GetMeshCount(), 1u);
    EXPECT_EQ(capital->GetModel()->GetPath(), "objects\\Pine.3ds");
    // Hiding spares units, and a unit's figure is never saved as an object.
    objects = Make();
    objects->PlaceOnGround(objects->AddObject("pine.3ds"), 50, 50);
    objects->PlaceOnGround(objects->AddObject("oak.3ds"), 150, 60);
    const int unit = objects->AddObject("pine.3ds");
    objects->GetObjectByIndex(unit)->SetUnitIndex(0);
    objects->PlaceOnGround(unit, 160, 60);
    objects->HideObjectsNear(155, 60, CWorldObjects::hideRadiusDefault);
    EXPECT_TRUE(objects->GetObjectByIndex(0)->IsPresent());
    EXPECT_FALSE(objects->GetObjectByIndex(1)->IsPresent());
    EXPECT_TRUE(objects->GetObjectByIndex(unit)->IsPresent());
    ASSERT_TRUE(objects->SaveObjects());
    auto reloaded = Make();
    reloaded->LoadObjects();
    ASSERT_EQ(reloaded->GetCount(), 1) << ReadFile("objects.xml");
    EXPECT_NEAR(reloaded->GetObjectByIndex(0)->GetX(), 50.0f, 1e-3f);
}

// A rejected cel program is logged and units fall back to the fixed light, still drawn and outlined;
// destroyed units and hidden objects are not drawn and stay in the list.
TEST_F(WorldObjectsGlTest, ARejectedProgramIsLoggedAndUnitsFallBackToTheFixedLight) {
    app->options.vertexShader = app->options.multitexture = app->options.vertexBufferObjects = true;
    app->options.renderMode                                                                  = renderBufferObjects;
    CopyCelPrograms();
    WriteFile("shader/celshadersingle.vsh", "!!ARBvp1.0\nthis is not a program\nEND\n");
    CUnitLook look{10, 1, false};
    auto      objects = Make();
    objects->SetUnitLookup([&look](int, CUnitLook& unitLook) { return unitLook = look, true; });
    EXPECT_FALSE(objects->IsCelShadingReady());
    EXPECT_NE(ReadFile("log_error.txt").find("celshadersingle.vsh"), std::string::npos);
    CModelInstance* unit = objects->GetObjectByIndex(objects->AddObject("ball.3ds"));
    unit->SetUnitIndex(0);
    const auto shown     = [](const uint8_t* p) { return p[0] != 0 || p[1] != 255; };
    const int  faces     = static_cast<int>(unit->GetModel()->GetData().GetMeshes()[0].faces.size());
    int        triangles = 0;
    EXPECT_GT(Draw(*objects, triangles).Count(shown), 2000);
    EXPECT_EQ(triangles, 2 * faces) << "shaded and as its outline";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    look.hitPoints = 0;
    objects->GetObjectByIndex(objects->AddObject("ball.3ds"))->SetPresent(false);
    EXPECT_EQ(Draw(*objects, triangles).Count(shown), 0);
    EXPECT_EQ(triangles, 0);
    EXPECT_EQ(objects->GetCount(), 2);
}

} // namespace
