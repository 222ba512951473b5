#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

#include "DataFiles.h"
#include "GlFixture.h"
#include "TestSupport.h"

// The two cel-shading vertex programs of data/shader, loaded the way the
// world objects load them, and run on a quad: the light in program
// environment parameter 0 (object space) must pick the bright end of the
// 16-texel shade texture for a face turned to it and the dark end for one
// turned away, tinted by the current colour; the multi-texture program must
// also carry the mesh texture on unit 1.
namespace {

// The shade texture the world objects build: luminance steps.
const GLubyte shadeTexels[16] = {120, 120, 150, 150, 150, 160, 160, 255, 255, 255, 255, 255, 255, 255, 255, 255};

// The extension's entry points, fetched from the window library as the game
// fetches them.
PFNGLGENPROGRAMSARBPROC           glGenProgramsARB           = nullptr;
PFNGLDELETEPROGRAMSARBPROC        glDeleteProgramsARB        = nullptr;
PFNGLBINDPROGRAMARBPROC           glBindProgramARB           = nullptr;
PFNGLPROGRAMSTRINGARBPROC         glProgramStringARB         = nullptr;
PFNGLGETPROGRAMIVARBPROC          glGetProgramivARB          = nullptr;
PFNGLPROGRAMENVPARAMETER4FARBPROC glProgramEnvParameter4fARB = nullptr;

template <typename Function> bool Fetch(Function& function, const char* name) {
    function = reinterpret_cast<Function>(glutGetProcAddress(name));
    return function != nullptr;
}

bool FetchEntryPoints() {
    return Fetch(glGenProgramsARB, "glGenProgramsARB") && Fetch(glDeleteProgramsARB, "glDeleteProgramsARB") &&
           Fetch(glBindProgramARB, "glBindProgramARB") && Fetch(glProgramStringARB, "glProgramStringARB") &&
           Fetch(glGetProgramivARB, "glGetProgramivARB") &&
           Fetch(glProgramEnvParameter4fARB, "glProgramEnvParameter4fARB");
}

std::string ProgramText(const char* name) {
    return ReadFile(DataFiles::Path(std::string("shader\\") + name));
}

class CelShaderGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        if (extensions == nullptr || std::string(extensions).find("GL_ARB_vertex_program") == std::string::npos) {
            GTEST_SKIP() << "GL_ARB_vertex_program not available";
        }
        ASSERT_TRUE(FetchEntryPoints());
        glGenTextures(2, textures);
        glBindTexture(GL_TEXTURE_1D, textures[0]);
        glTexImage1D(GL_TEXTURE_1D, 0, GL_RGBA, 16, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, shadeTexels);
        glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        // The mesh texture: left half white, right half black.
        const GLubyte halves[2 * 3] = {255, 255, 255, 0, 0, 0};
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, halves);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    void TearDown() override {
        glDeleteTextures(2, textures);
        if (program != 0) {
            glDeleteProgramsARB(1, &program);
        }
    }

    // Loads a program; its error position, -1 when Mesa accepted it.
    GLint Load(const std::string& text) {
        glGenProgramsARB(1, &program);
        glBindProgramARB(GL_VERTEX_PROGRAM_ARB, program);
        glProgramStringARB(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(text.size()),
                           text.c_str());
        GLint position = -2;
        glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
        return position;
    }

    // A full-window quad at z = 0 with the given normal z, drawn with the
    // loaded program and the light at (0, 0, 10); returns the centre pixel
    // and, through `right`, a pixel of the right half.
    void DrawQuad(float normalZ, bool multi, GLubyte centre[4], GLubyte right[4]) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_1D);
        glBindTexture(GL_TEXTURE_1D, textures[0]);
        if (multi) {
            glActiveTexture(GL_TEXTURE1);
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, textures[1]);
            glActiveTexture(GL_TEXTURE0);
        }
        glEnable(GL_VERTEX_PROGRAM_ARB);
        glBindProgramARB(GL_VERTEX_PROGRAM_ARB, program);
        glProgramEnvParameter4fARB(GL_VERTEX_PROGRAM_ARB, 0, 0.0f, 0.0f, 10.0f, 1.0f);
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f); // the cel colour of a team-1 unit
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        glBegin(GL_QUADS);
        for (const auto& corner : corners) {
            glNormal3f(0.0f, 0.0f, normalZ);
            glMultiTexCoord2f(GL_TEXTURE0, (corner[0] + 1) / 2, (corner[1] + 1) / 2);
            glMultiTexCoord2f(GL_TEXTURE1, (corner[0] + 1) / 2, (corner[1] + 1) / 2);
            glVertex3f(corner[0], corner[1], 0.0f);
        }
        glEnd();
        glDisable(GL_VERTEX_PROGRAM_ARB);
        glActiveTexture(GL_TEXTURE1);
        glDisable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE0);
        glDisable(GL_TEXTURE_1D);
        glFinish();
        glReadPixels(windowWidth / 4, windowHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
        glReadPixels(3 * windowWidth / 4, windowHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, right);
    }

    GLuint textures[2] = {};
    GLuint program     = 0;
};

TEST_F(CelShaderGlTest, MesaAcceptsBothPrograms) {
    for (const char* name : {"celshadermulti.vsh", "celshadersingle.vsh"}) {
        const std::string text = ProgramText(name);
        ASSERT_FALSE(text.empty()) << name << " missing";
        const GLint position = Load(text);
        EXPECT_EQ(position, -1) << name << ": " << glGetString(GL_PROGRAM_ERROR_STRING_ARB);
        GLint native = 0;
        glGetProgramivARB(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_UNDER_NATIVE_LIMITS_ARB, &native);
        EXPECT_EQ(native, 1) << name;
        glDeleteProgramsARB(1, &program);
        program = 0;
    }
}

TEST_F(CelShaderGlTest, SingleProgramShadesByTheLightInObjectSpace) {
    ASSERT_EQ(Load(ProgramText("celshadersingle.vsh")), -1);
    GLubyte lit[4], litRight[4], dark[4], darkRight[4];
    DrawQuad(1.0f, false, lit, litRight);
    DrawQuad(-1.0f, false, dark, darkRight);
    EXPECT_GE(lit[0], 250) << "a face towards the light takes the brightest shade";
    EXPECT_NEAR(dark[0], 120, 3) << "a face turned away takes the darkest shade";
    EXPECT_EQ(lit[1], 0) << "the cel colour tints the shade";
    EXPECT_EQ(lit[2], 0);
}

TEST_F(CelShaderGlTest, MultiProgramAlsoCarriesTheMeshTexture) {
    ASSERT_EQ(Load(ProgramText("celshadermulti.vsh")), -1);
    GLubyte left[4], right[4];
    DrawQuad(1.0f, true, left, right);
    EXPECT_GE(left[0], 250) << "lit, over the white half of the mesh texture";
    EXPECT_LE(right[0], 5) << "over the black half of the mesh texture on unit 1";
}

} // namespace
