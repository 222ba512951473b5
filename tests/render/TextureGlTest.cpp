#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

#include "GlFixture.h"
#include "ImageTools.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "render/TextureManager.h"

namespace {

// Keeps the capability flags of the application as they were.
class TextureGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        saved = GetApp()->options;
    }
    void TearDown() override { GetApp()->options = saved; }

    CAppOptions  saved;
    CTempWorkDir dir;
};

// A 2 x 2 picture: top row red, green; bottom row blue, white.
void MakeQuadrantImage(const std::string& output) {
    ASSERT_TRUE(ConvertRawImage({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}, "rgb", 2, 2, output));
}

// Draws the texture over the whole window, t = 0 at the bottom, and reads
// the window back.
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

struct UploadCase {
    const char* label;
    const char* output;
    bool        sgiMipmap;
    bool        grey; // a grey TGA: black, 100 / 200, white; else red, green / blue, white
};

class TextureUpload : public TextureGlTest, public ::testing::WithParamInterface<UploadCase> {};

INSTANTIATE_TEST_SUITE_P(Paths, TextureUpload,
                         ::testing::Values(UploadCase{"BmpBuildMipmaps", "bmp3:q.bmp", false, false},
                                           UploadCase{"TgaGenerateMipmap", "tga:q.tga", true, false},
                                           UploadCase{"GreyTgaAsLuminance", "tga:q.tga", false, true}),
                         [](const auto& info) { return std::string(info.param.label); });

// Each quadrant of the window shows its texel, with a full mip-map chain and
// the GL state the upload touched put back.
TEST_P(TextureUpload, DrawsTheImageWithAllMipLevels) {
    const UploadCase param = GetParam();
    if (param.sgiMipmap && !CApplication::IsExtensionSupported("GL_SGIS_generate_mipmap")) {
        GTEST_SKIP() << "no GL_SGIS_generate_mipmap here";
    }
    GetApp()->options.sgiMipmap = param.sgiMipmap;
    if (param.grey) {
        ASSERT_TRUE(ConvertRawImage({0, 100, 200, 255}, "gray", 2, 2, param.output));
    } else {
        MakeQuadrantImage(param.output);
    }
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
    // The picture's top row ends at t = 1: BMP rows are stored bottom-up,
    // ImageMagick's TGA rows top row first.
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

// Clear deletes every texture object, and loading after it starts a fresh cache.
TEST_F(TextureGlTest, ClearDeletesEveryTextureObject) {
    MakeQuadrantImage("bmp3:q.bmp");
    MakeQuadrantImage("tga:q.tga");
    CTextureManager manager;
    const GLuint    textures[] = {manager.LoadTexture("q.bmp", false), manager.LoadTexture("q.tga", false)};
    ASSERT_TRUE(glIsTexture(textures[0]) && glIsTexture(textures[1]));
    manager.Clear();
    EXPECT_FALSE(glIsTexture(textures[0]) || glIsTexture(textures[1]));
    EXPECT_EQ(manager.GetPlainCount(), 0u);
    EXPECT_NE(manager.LoadTexture("q.bmp", false), 0u);
}

} // namespace
