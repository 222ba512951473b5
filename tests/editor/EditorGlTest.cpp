#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "GlFixture.h"
#include "TestSupport.h"
#include "editor/Editor.h"
#include "core/Heightmap.h"
#include "render/ModelTools.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"

// Objects placed with the editor's choices, removed and saved come back
// through the game's own loader.
namespace {

class EditorGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        ASSERT_TRUE(ModelTools::ExportModel("objects", "ball", ModelTools::SphereObj(2.5f, "paint"),
                                            "newmtl paint\nKd 0.8 0.8 0.8\n"));
        WriteFile("objects/pine.3ds", ReadFile("objects/ball.3ds"));
        WriteFile("objects/editor.xml", "<objects><0><filename>ball.3ds</filename></0>"
                                        "<1><filename>pine.3ds</filename></1></objects>");
        objects = std::make_unique<CWorldObjects>("objects.xml", &textures, &ground);
        editor.Attach({objects.get(), nullptr, nullptr, nullptr});
    }
    void TearDown() override {
        objects.reset();
        textures.Clear();
        GlSceneTest::TearDown();
    }

    CHeightmap                     ground{33, std::vector<int>(33 * 33, 40), 320.0f, 255.0f}; // 40 high
    CTextureManager                textures;
    std::unique_ptr<CWorldObjects> objects;
    CEditor                        editor;
};

TEST_F(EditorGlTest, PlaceRemoveAndSaveRoundTrip) {
    EXPECT_EQ(editor.PlaceObject(10, 10), -1) << "no list loaded: a click places nothing";
    EXPECT_EQ(objects->GetCount(), 0);

    editor.LoadObjectList("editor.xml");
    const float spots[][2] = {{100, 100}, {120, 100}, {160, 100}, {250, 250}, {40, 250}};
    for (const auto& spot : spots) {
        editor.PlaceObject(spot[0], spot[1]);
        editor.OnFunctionKey(6); // the other model next time
        editor.OnFunctionKey(9); // and 11.25 degrees more
        editor.OnFunctionKey(8); // and 0.005 smaller
    }
    const CModelInstance* first = objects->GetObjectByIndex(0);
    EXPECT_EQ(std::make_tuple(first->GetFileName(), first->GetY(), first->GetScale(), first->GetRadius()),
              std::make_tuple(std::string("ball.3ds"), 40.0f, 2.5f, 2.0f * 2.5f));
    EXPECT_FLOAT_EQ(objects->GetObjectByIndex(3)->GetRotZ(), 33.75f);
    EXPECT_EQ(objects->GetObjectByIndex(3)->GetFileName(), "pine.3ds");

    // Delete held while the pointer moves from (110, 100) to (40, 220): the
    // object at exactly 50 from the path's start stays.
    editor.RemoveObjectsNear(110, 100);
    editor.RemoveObjectsNear(40, 220);
    ASSERT_TRUE(editor.Save());

    CWorldObjects reloaded("objects.xml", &textures, &ground);
    ASSERT_TRUE(reloaded.LoadObjects());
    ASSERT_EQ(reloaded.GetCount(), 2) << ReadFile("objects.xml");
    for (int n = 0; n < 2; ++n) {
        const CModelInstance* original = objects->GetObjectByIndex(n + 2);
        const CModelInstance* copy     = reloaded.GetObjectByIndex(n);
        const auto            place    = [](const CModelInstance* object) {
            return std::make_tuple(object->GetFileName(), object->GetX(), object->GetZ(), object->GetRotZ());
        };
        EXPECT_EQ(place(copy), place(original));
        EXPECT_NEAR(copy->GetScale(), original->GetScale(), 1e-5f) << "written with six digits";
    }
    EXPECT_EQ(ReadFile("objects.xml").find("<2>"), std::string::npos) << "numbered 0, 1 without gaps";
}

} // namespace
