#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GlFixture.h"
#include "ParticleFiles.h"
#include "TestSupport.h"
#include "fx/ParticleSystem.h"
#include "render/ImageTools.h"
#include "render/TextureManager.h"

namespace {

// Particles seen from 100 units away (from above and aside) over a grey background.
class ParticleSystemGlTest : public GlSceneTest {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        MakeFolders("particles");
        const float grey[3] = {128 / 255.0f, 128 / 255.0f, 128 / 255.0f};
        ClearAndLook(grey, CView{{36.0, 48.0, 80.0}, {0.0, 0.0, 0.0}, 60.0, 0.0, 1.0, 1000.0});
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

    CTextureManager textures;
    CParticleSystem particles{&textures};
};

// The draw-time savings leave the picture as it was: a near quad (texture magnified: drawn without mip maps) and
// far ones (minified, where a checkerboard's mip maps are even grey) look as without them.
TEST_F(ParticleSystemGlTest, MagnifiedQuadsLookAsWithMipMaps) {
    std::vector<uint8_t> checker;
    for (int texel = 0; texel < 8 * 8; ++texel) {
        const uint8_t value = (texel / 8 + texel) % 2 != 0 ? 40 : 240;
        checker.insert(checker.end(), {value, value, value, 255});
    }
    ASSERT_TRUE(ConvertRawImage(checker, "rgba", 8, 8, "-strip -type TrueColorAlpha -compress none particles/c.tga"));
    Load("count=1 size=40 angle=30 texture=c.tga");
    Load("count=1 size=3 texture=c.tga", CVector3(-20.0f, 0.0f, -200.0f));
    CPicture pictures[2];
    for (const bool shortcuts : {false, true}) {
        app->options.fillShortcuts = shortcuts;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        EXPECT_EQ(particles.Draw(), 4);
        pictures[shortcuts] = CPicture::Read();
    }
    EXPECT_EQ(CountDifferences(pictures[0], pictures[1], 0), 0);
}

} // namespace
