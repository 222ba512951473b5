#include "GlFixture.h"
#include "ModelTools.h"
#include "platform/MessageBox.h"
#include "render/Model.h"
#include "render/TextureManager.h"

// CModel on a real context: the three render modes with and without display lists draw one picture.
namespace {

// Two meshes: an untextured red box and a box wearing the checker texture.
const std::string boxesObj = ModelTools::BoxObj("plain", "red", -3, -1, 0, -1, 1, 2, 1, 1) +
                             ModelTools::BoxObj("skin", "checker", 1, -1, 0, 3, 1, 2, 9, 5);
const char* const boxesMtl = "newmtl red\nKd 0.8 0.1 0.1\nnewmtl checker\nKd 1 1 1\nmap_Kd checker.bmp\n";
constexpr int     boxFaces = 12;

class ModelGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        app->options.vertexBufferObjects = true;
        app->options.displayLists        = true;
        ASSERT_TRUE(ModelTools::ExportModel("objects", "boxes", boxesObj, boxesMtl))
            << "assimp (assimp-utils) must export the test model";
        ASSERT_TRUE(ModelTools::WriteCheckerTexture("objects/checker.bmp"));
    }

    void TearDown() override {
        textures.Clear();
        GlSceneTest::TearDown();
    }

    // From the front and a little above, lit as the world objects light it: light 0 from (1, 1, 1).
    CPicture DrawIn(const CModel& model, RenderMode renderMode, bool displayLists, int& triangles) {
        app->options.renderMode   = renderMode;
        app->options.displayLists = displayLists;
        const float clear[3]      = {0.12f, 0.55f, 0.12f}; // a green that none of the model's pixels has
        ClearAndLook(clear, CView{{2.0, 5.0, 9.0}, {0.0, 1.0, 0.0}, 45.0, 0.0, 1.0, 100.0});
        const GLfloat white[4] = {1, 1, 1, 1}, dark[4] = {0, 0, 0, 1}, position[4] = {1, 1, 1, 0};
        glLightfv(GL_LIGHT0, GL_AMBIENT, dark);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        triangles = model.Draw(CCelArguments());
        glDisable(GL_LIGHTING);
        glDisable(GL_LIGHT0);
        return CPicture::Read();
    }

    CTempWorkDir    dir;
    CTextureManager textures;
};

// Rasterisers may round a few edge pixels differently; a wrong stride, coordinate or normal changes whole faces.
TEST_F(ModelGlTest, EveryPathDrawsThePictureOfTheImmediateMode) {
    CModel model("objects\\boxes.3ds", &textures);
    EXPECT_TRUE(model.HasBuffers()) << "Mesa offers GL_ARB_vertex_buffer_object";
    EXPECT_TRUE(model.HasDisplayLists());
    ASSERT_EQ(model.GetMeshCount(), 2u);
    int            triangles = 0;
    const CPicture reference = DrawIn(model, renderImmediate, false, triangles);
    for (const RenderMode renderMode : {renderImmediate, renderBufferObjects, renderVertexArrays}) {
        for (const bool displayLists : {false, true}) {
            SCOPED_TRACE("mode " + std::to_string(renderMode) + (displayLists ? " with lists" : ""));
            const CPicture picture = DrawIn(model, renderMode, displayLists, triangles);
            EXPECT_EQ(triangles, 2 * boxFaces);
            EXPECT_LT(CountDifferences(reference, picture, 8), 40);
            const auto over = [](const uint8_t* p, int high, int low) { return p[high] > p[low] + 40; };
            EXPECT_GT(picture.Count([&](const uint8_t* p) { return over(p, 0, 1) && over(p, 0, 2); }), 1000)
                << "the untextured box in its material colour";
            EXPECT_GT(picture.Count([&](const uint8_t* p) { return over(p, 2, 0) && over(p, 2, 1); }), 300)
                << "blue squares of the checker";
            EXPECT_GT(picture.Count([&](const uint8_t* p) { return over(p, 0, 2) && over(p, 1, 2); }), 300)
                << "yellow squares of the checker";
        }
    }
    EXPECT_TRUE(CMessageBox::GetRecorded().empty());
}

} // namespace
