#include <cstring>
#include <memory>

#include "GlFixture.h"
#include "LayoutFiles.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "ui/Interface.h"

namespace {

// The layout of LayoutFiles.h in the 256 x 256 test window: the box covers
// (10, 10)..(250, 130) and the terrain panel's head stands at (20, 226).
class InterfaceGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        files.File("comment").Set("turnteam1", "%n%s%s turn"); // a message text is never a format
        files.Write();
        hud               = std::make_unique<CInterface>("Interface\\interface.xml", windowWidth, windowHeight);
        state.currentTeam = 1;
        state.frameTime   = 0.02f;
        state.options.showRenderInfo = false;
    }

    // A green scene filling the depth buffer as far terrain does.
    static void DrawScene() {
        CApplication::SetFixedGlState();
        glDisable(GL_TEXTURE_2D);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(0.0f, 1.0f, 0.0f);
        glBegin(GL_QUADS);
        glVertex3f(-1.0f, -1.0f, 0.99f);
        glVertex3f(1.0f, -1.0f, 0.99f);
        glVertex3f(1.0f, 1.0f, 0.99f);
        glVertex3f(-1.0f, 1.0f, 0.99f);
        glEnd();
    }

    CTempWorkDir                work;
    CLayoutFiles                files;
    std::unique_ptr<CInterface> hud;
    CHudState                   state;
};

TEST_F(InterfaceGlTest, DrawsOverTheSceneAndRestoresTheState) {
    DrawScene();
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    hud->Draw(state);
    const CPicture pixels = CPicture::Read();

    // The box blends half its red over the green scene.
    const uint8_t* box = pixels.At(245, 125);
    EXPECT_NEAR(box[0], 128, 2);
    EXPECT_NEAR(box[1], 127, 2);
    EXPECT_EQ(box[2], 0);
    EXPECT_TRUE(pixels.Is(252, 140, 0, 255, 0)) << "outside the box the scene stays";
    // The head text in the head font's colour (1, 0.8, 0.4), at its place.
    int head = 0;
    for (int y = 222; y < 245; ++y) {
        for (int x = 18; x < 120; ++x) {
            head += pixels.Is(x, y, 255, 204, 102) ? 1 : 0;
        }
    }
    EXPECT_GT(head, 30) << "the terrain panel's head";

    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[2], 0.3f) << "the colour is restored";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Without transparency the box is opaque.
    state.options.transparency = false;
    DrawScene();
    hud->Draw(state);
    EXPECT_TRUE(CPicture::Read().Is(245, 125, 255, 0, 0));
}

} // namespace
