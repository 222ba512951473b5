#include <GL/gl.h>
#include <GL/glext.h>

#include "GlFixture.h"
#include "ImageTools.h"
#include "render/TextureManager.h"

namespace {

using TextureGlTest = GlSceneTest; // the application's options restored afterwards

// Draws the texture over the whole window, t = 0 at the bottom, and reads the window back.
CPicture DrawFullWindow(GLuint texture) {
    const float black[3] = {0, 0, 0};
    ClearAndLook(black, CView{{0, 0, 2}, {0, 0, 0}, 0.0, 1.0});
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& corner : corners) {
        glTexCoord2f(corner[0], corner[1]);
        glVertex2f(2 * corner[0] - 1, 2 * corner[1] - 1);
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    return CPicture::Read();
}

// Each quadrant shows its texel, with a full mip-map chain and the GL state put back; Clear deletes all.
TEST_F(TextureGlTest, EachUploadPathDrawsTheImageWithAllMipLevelsAndClearDeletesThem) {
    const struct {
        const char* output;
        bool        sgiMipmap;
        bool        grey; // a grey TGA: black, 100 / 200, white; else red, green / blue, white
    } cases[] = {{"bmp3:q.bmp", false, false}, {"tga:q.tga", true, false}, {"tga:q.tga", false, true}};
    CTempWorkDir dir;
    for (const auto& param : cases) {
        SCOPED_TRACE(std::string(param.output) + (param.sgiMipmap ? " generated mip-maps" : "") +
                     (param.grey ? " grey" : ""));
        app->options.sgiMipmap = param.sgiMipmap;
        const std::vector<uint8_t> quadrantsRgb{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, grey{0, 100, 200, 255};
        ASSERT_TRUE(ConvertRawImage(param.grey ? grey : quadrantsRgb, param.grey ? "gray" : "rgb", 2, 2, param.output));
        const std::string file = std::string(param.output).substr(std::string(param.output).find(':') + 1);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        CTextureManager manager;
        const GLuint    texture = manager.LoadTexture(file.c_str(), false);
        ASSERT_NE(texture, 0u);
        GLint touched[2] = {};
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &touched[0]);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &touched[1]);
        EXPECT_TRUE(touched[0] == 4 && touched[1] == 0) << "alignment and binding put back";

        manager.ApplyFilter(textureFilterNearest, mipmapOff); // nearest, no mip-maps: exact texels
        const CPicture picture = DrawFullWindow(texture);
        // The top row ends at t = 1: BMP rows are stored bottom-up, ImageMagick's TGA rows top row first.
        const int     top    = file == "q.tga" ? windowHeight / 4 : 3 * windowHeight / 4;
        const int     bottom = windowHeight - top, left = windowWidth / 4, right = 3 * windowWidth / 4;
        const uint8_t quadrants[2][4][3] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}},
                                            {{0, 0, 0}, {100, 100, 100}, {200, 200, 200}, {255, 255, 255}}};
        const int     places[4][2]       = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            EXPECT_TRUE(picture.Is(places[quadrant][0], places[quadrant][1], quadrants[param.grey][quadrant], 0))
                << "quadrant " << quadrant;
        }

        glBindTexture(GL_TEXTURE_2D, texture);
        GLint levelOneWidth = 0, wrap = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        EXPECT_TRUE(levelOneWidth == 1 && wrap == GL_CLAMP_TO_EDGE) << levelOneWidth << " " << wrap;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    CTextureManager manager;
    const GLuint    textures[] = {manager.LoadTexture("q.bmp", false), manager.LoadTexture("q.tga", false)};
    ASSERT_TRUE(glIsTexture(textures[0]) && glIsTexture(textures[1]));
    manager.Clear();
    EXPECT_FALSE(glIsTexture(textures[0]) || glIsTexture(textures[1]));
    EXPECT_EQ(manager.GetPlainCount(), 0u);
    EXPECT_NE(manager.LoadTexture("q.bmp", false), 0u);
}

} // namespace
