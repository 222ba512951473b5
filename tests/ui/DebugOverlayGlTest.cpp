#include <GL/gl.h>

#include <gtest/gtest.h>

#include "GlFixture.h"
#include "ui/DebugOverlay.h"

namespace {

// The overlay's text lies over the scene in the current colour: a near quad
// fills the depth buffer in front of the text plane, and a blue texture is
// bound and enabled, as the scene may leave them.
TEST_F(GlTest, TheOverlayTextLiesOverTheSceneInTheCurrentColour) {
    const float black[3] = {0.0f, 0.0f, 0.0f};
    ClearAndLook(black, CView{{0, 0, 0}, {0, 0, -1}});
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor3f(0.0f, 0.0f, 0.0f);
    glRectf(-10.0f, -10.0f, 10.0f, 10.0f); // at z = 0, in front of everything
    const GLubyte blue[3] = {0, 0, 255};
    GLuint        texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, blue);
    glEnable(GL_TEXTURE_2D);
    glColor3ub(255, 128, 0);

    CDebugOverlay::Draw({"fps: 60.000", "polycount: 1234"}, windowWidth, windowHeight);
    const CPicture picture = CPicture::Read();
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);

    const uint8_t orange[3] = {255, 128, 0};
    int           lines[2]  = {0, 0};
    int           other     = 0;
    for (int y = 0; y < windowHeight; ++y) {
        for (int x = 0; x < windowWidth; ++x) {
            const int fromTop = windowHeight - 1 - y;
            if (picture.At(x, y)[0] == 0 && picture.At(x, y)[1] == 0 && picture.At(x, y)[2] == 0) {
                continue;
            }
            EXPECT_TRUE(picture.Is(x, y, orange, 2)) << "text pixel (" << x << ", " << fromTop << ") not orange";
            const int line = fromTop < 17 ? 0 : fromTop < 40 ? 1 : -1;
            ++(line >= 0 ? lines[line] : other);
        }
    }
    EXPECT_GT(lines[0], 20) << "the first line, 10 pixels below the top";
    EXPECT_GT(lines[1], 20) << "the second line, 20 pixels further down";
    EXPECT_EQ(other, 0) << "nothing drawn outside the two lines";
}

} // namespace
