#include <GL/gl.h>

#include "GlFixture.h"

namespace {

// Proves the fixture gives a working context: what is drawn into the back
// buffer can be read back pixel for pixel.
TEST_F(GlTest, ClearedAndDrawnPixelsReadBack) {
    ASSERT_NE(glGetString(GL_RENDERER), nullptr);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS); // the left half of the window
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(0.0f, -1.0f);
    glVertex2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glFinish();

    unsigned char left[4]  = {};
    unsigned char right[4] = {};
    glReadPixels(windowWidth / 4, windowHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, left);
    glReadPixels(3 * windowWidth / 4, windowHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, right);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(left[0], 255);
    EXPECT_EQ(left[2], 0);
    EXPECT_EQ(right[0], 0);
    EXPECT_EQ(right[2], 255);

    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    EXPECT_GE(stencilBits, 1) << "the outline pass of cel shading needs a stencil buffer";
}

} // namespace
