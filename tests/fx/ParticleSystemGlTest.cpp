#include <GL/glu.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GlFixture.h"
#include "ParticleFiles.h"
#include "TestSupport.h"
#include "core/Frustum.h"
#include "fx/ParticleSystem.h"
#include "render/ImageTools.h"
#include "render/TextureManager.h"

namespace {

constexpr int background = 128;

// Particles of opaque white textures, seen from 100 units away (from above
// and aside) over a grey background.
class ParticleSystemGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        MakeFolders("particles");
        for (const char* name : {"white", "grey"}) {
            ASSERT_TRUE(
                ConvertRawImage(std::vector<uint8_t>(8 * 8 * 4, name[0] == 'w' ? 255 : 200), "rgba", 8, 8,
                                std::string("-strip -type TrueColorAlpha -compress none particles/") + name + ".tga"));
        }
        glClearColor(background / 255.0f, background / 255.0f, background / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 1.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(36.0, 48.0, 80.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    }
    void TearDown() override {
        particles.DestroyAll();
        textures.Clear();
        GlSceneTest::TearDown();
    }
    int Load(const std::string& changes, const CVector3& position = CVector3()) {
        WriteEffect("effect.xml", changes);
        return particles.LoadEmitter("effect.xml", position);
    }

    CTempWorkDir    dir;
    CTextureManager textures;
    CParticleSystem particles{&textures};
};

struct BlendCase {
    const char* type;
    int         colour[3];
    bool        additive;
};

class ParticleBlend : public ParticleSystemGlTest, public ::testing::WithParamInterface<BlendCase> {};

// FIRE adds light; every other type, also "fire" in lower case, covers the
// scene by alpha, so smoke darkens. The square faces the camera: upright on
// screen, 40 / (2 * 100 * tan 30°) of the window wide.
TEST_P(ParticleBlend, FireAddsLightAndEveryOtherTypeCoversByAlpha) {
    const BlendCase& blend = GetParam();
    ASSERT_EQ(Load("count=1 size=40 colorA=200 colorR=" + std::to_string(blend.colour[0]) +
                   " colorG=" + std::to_string(blend.colour[1]) + " colorB=" + std::to_string(blend.colour[2]) +
                   " type=" + blend.type),
              0);
    EXPECT_EQ(particles.Draw(), 2);
    std::vector<uint8_t> pixels(windowWidth * windowHeight * 4);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    const auto at = [&](int x, int y) { return &pixels[(y * windowWidth + x) * 4]; };
    for (int channel = 0; channel < 3; ++channel) {
        const int colour = blend.colour[channel];
        const int expected =
            blend.additive ? std::min(255, background + colour * 200 / 255) : (colour * 200 + background * 55) / 255;
        EXPECT_NEAR(at(windowWidth / 2, windowHeight / 2)[channel], expected, 3) << blend.type << " " << channel;
    }
    int width = 0, height = 0;
    for (int i = 0; i < windowWidth; ++i) {
        width += std::abs(at(i, windowHeight / 2)[1] - background) > 2 ? 1 : 0;
        height += std::abs(at(windowWidth / 2, i)[1] - background) > 2 ? 1 : 0;
    }
    EXPECT_NEAR(width, 89, 3);
    EXPECT_NEAR(height, 89, 3);
}

INSTANTIATE_TEST_SUITE_P(Types, ParticleBlend,
                         ::testing::Values(BlendCase{"FIRE", {255, 140, 40}, true},
                                           BlendCase{"SMOKE", {40, 40, 40}, false},
                                           BlendCase{"fire", {40, 40, 40}, false},
                                           BlendCase{"MAGIC", {40, 40, 40}, false}),
                         [](const ::testing::TestParamInfo<BlendCase>& info) {
                             return std::string(info.param.type) + std::to_string(info.index);
                         });

// With culling on only particles inside the frustum count (waiting ones
// too); with it off every particle of a running emitter counts.
TEST_F(ParticleSystemGlTest, CullingDecidesWhatCounts) {
    CFrustum frustum;
    float    modelView[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    frustum.Update(modelView, projection);
    particles.SetFrustum(&frustum);
    Load("count=3");
    Load("count=2 startFrom=5 startTo=5");
    Load("count=2 startFrom=5 startTo=5", CVector3(360.0f, 480.0f, 800.0f)); // behind the camera
    Load("count=2", CVector3(0.0f, 5000.0f, 0.0f));                          // far above
    for (const bool culling : {true, false}) {
        app->options.frustumCulling = culling;
        EXPECT_EQ(particles.Draw(), culling ? 10 : 18) << "culling " << culling;
        EXPECT_EQ(particles.GetFrameStats().renderedParticles, culling ? 5 : 9);
        EXPECT_EQ(particles.GetFrameStats().activeEmitters, 4);
    }
}

} // namespace
