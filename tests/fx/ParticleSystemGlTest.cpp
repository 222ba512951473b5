#include <GL/glu.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GlFixture.h"
#include "ParticleFiles.h"
#include "TestSupport.h"
#include "app/Frustum.h"
#include "fx/ParticleSystem.h"
#include "render/ImageTools.h"
#include "render/TextureManager.h"

namespace {

constexpr uint8_t background = 128;

// A camera 100 units from the origin, looking at it from above and aside,
// over a grey background.
void SetView(CFrustum* frustum = nullptr) {
    glClearColor(background / 255.0f, background / 255.0f, background / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(36.0, 48.0, 80.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    if (frustum != nullptr) {
        float modelView[16], projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        frustum->Update(modelView, projection);
    }
}

std::vector<uint8_t> ReadWindow() {
    glFinish();
    std::vector<uint8_t> pixels(GlTest::windowWidth * GlTest::windowHeight * 4);
    glReadPixels(0, 0, GlTest::windowWidth, GlTest::windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

const uint8_t* PixelAt(const std::vector<uint8_t>& pixels, int x, int y) {
    return &pixels[(y * GlTest::windowWidth + x) * 4];
}

bool IsBackground(const uint8_t* pixel) {
    return std::abs(pixel[0] - background) <= 2 && std::abs(pixel[1] - background) <= 2 &&
           std::abs(pixel[2] - background) <= 2;
}

class ParticleSystemGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        MakeFolders("particles");
        ASSERT_TRUE(ConvertRawImage(std::vector<uint8_t>(8 * 8 * 4, 255), "rgba", 8, 8,
                                    "-strip -type TrueColorAlpha -compress none particles/white.tga"));
        ASSERT_TRUE(ConvertRawImage(std::vector<uint8_t>(8 * 8 * 4, 200), "rgba", 8, 8,
                                    "-strip -type TrueColorAlpha -compress none particles/grey.tga"));
    }
    void TearDown() override {
        particles.DestroyAll();
        textures.Clear();
        GlSceneTest::TearDown();
    }

    int Load(const CEffectText& text, const CVector3& position = CVector3()) {
        text.Write("effect.xml");
        return particles.LoadEmitter("effect.xml", position);
    }

    CTempWorkDir    dir;
    CTextureManager textures;
    CParticleSystem particles{&textures};
};

struct BlendCase {
    const char* name;
    const char* type;
    uint8_t     red, green, blue;
    bool        brighter; // else darker
};

class ParticleBlend : public ParticleSystemGlTest, public ::testing::WithParamInterface<BlendCase> {};

// FIRE adds its colour to the scene; every other type covers it by alpha,
// so a dark colour darkens.
TEST_P(ParticleBlend, FireAddsLightAndEveryOtherTypeCoversByAlpha) {
    const BlendCase& blend = GetParam();
    CEffectText      text;
    text.count     = "1";
    text.size      = "40";
    text.type      = blend.type;
    text.colour[0] = "200";
    text.colour[1] = std::to_string(blend.red);
    text.colour[2] = std::to_string(blend.green);
    text.colour[3] = std::to_string(blend.blue);
    ASSERT_EQ(Load(text), 0);
    SetView();
    EXPECT_EQ(particles.Draw(), 2);
    const std::vector<uint8_t> pixels = ReadWindow();

    const uint8_t* centre    = PixelAt(pixels, windowWidth / 2, windowHeight / 2);
    const uint8_t  colour[3] = {blend.red, blend.green, blend.blue};
    for (int channel = 0; channel < 3; ++channel) {
        const int alphaBlended = (colour[channel] * 200 + background * 55) / 255;
        const int added        = std::min(255, background + colour[channel] * 200 / 255);
        EXPECT_NEAR(centre[channel], blend.brighter ? added : alphaBlended, 3) << blend.name << ", channel " << channel;
    }
    // The square faces the camera: an upright square on screen, about
    // 40 / (2 * 100 * tan 30°) of the window wide.
    int width = 0, height = 0;
    for (int at = 0; at < windowWidth; ++at) {
        width += IsBackground(PixelAt(pixels, at, windowHeight / 2)) ? 0 : 1;
        height += IsBackground(PixelAt(pixels, windowWidth / 2, at)) ? 0 : 1;
    }
    EXPECT_NEAR(width, 89, 3) << blend.name;
    EXPECT_NEAR(height, 89, 3) << blend.name;
}

INSTANTIATE_TEST_SUITE_P(Types, ParticleBlend,
                         ::testing::Values(BlendCase{"Fire", "FIRE", 255, 140, 40, true},
                                           BlendCase{"Smoke", "SMOKE", 40, 40, 40, false},
                                           BlendCase{"LowerCaseFire", "fire", 40, 40, 40, false},
                                           BlendCase{"Unknown", "MAGIC", 40, 40, 40, false}),
                         [](const ::testing::TestParamInfo<BlendCase>& info) { return std::string(info.param.name); });

// With culling on only particles inside the frustum count; with it off
// every particle of a running emitter counts, waiting ones included, though
// only started ones are drawn.
TEST_F(ParticleSystemGlTest, CullingDecidesWhatCounts) {
    CFrustum frustum;
    SetView(&frustum);
    particles.SetFrustum(&frustum);
    CEffectText text;
    text.count = "3";
    Load(text); // in view, flying
    text.count    = "2";
    text.start[0] = text.start[1] = "5";
    Load(text);                                   // in view, waiting
    Load(text, CVector3(360.0f, 480.0f, 800.0f)); // behind the camera
    text.start[0] = text.start[1] = "0";
    Load(text, CVector3(0.0f, 5000.0f, 0.0f)); // far above, flying

    for (const bool culling : {true, false}) {
        app->options.frustumCulling = culling;
        SetView();
        const int                  triangles = particles.Draw();
        const CParticleFrameStats& stats     = particles.GetFrameStats();
        const int                  expected  = culling ? 5 : 9;
        EXPECT_EQ(stats.renderedParticles, expected) << "culling " << culling;
        EXPECT_EQ(triangles, 2 * expected);
        EXPECT_EQ(stats.activeEmitters, 4);
        EXPECT_EQ(stats.emitterSlots, 4);
    }
}

// One draw call per texture and blend mode, however many emitters use them.
TEST_F(ParticleSystemGlTest, EmittersShareDrawCallsByTextureAndBlend) {
    CEffectText smoke;
    smoke.count      = "20";
    smoke.velX[0]    = "-30";
    smoke.velX[1]    = "30";
    CEffectText fire = smoke;
    fire.type        = "FIRE";
    CEffectText grey = smoke;
    grey.texture     = "grey.tga";
    for (int copy = 0; copy < 3; ++copy) {
        Load(smoke, CVector3(copy * 5.0f, 0.0f, 0.0f));
        Load(fire, CVector3(0.0f, copy * 5.0f, 0.0f));
    }
    Load(grey);
    SetView();
    particles.UpdateAndDraw(0.1f);
    EXPECT_EQ(particles.GetFrameStats().drawCalls, 3);
    EXPECT_EQ(particles.GetFrameStats().renderedParticles, 140);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
