#include <gtest/gtest.h>

#include "TestSupport.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/TextureManager.h"

namespace {

// Without their images (no GL work happens), the geometry still follows the map.
TEST(SkyAndSea, SpanTheMapWithTheirFactors) {
    CTempWorkDir    dir;
    CTextureManager textures;
    const CSkyBox   sky("Skydome", textures, 1280.0f);
    EXPECT_FLOAT_EQ(sky.GetCentre().x, 640.0f);
    EXPECT_FLOAT_EQ(sky.GetCentre().y - sky.GetSize().y * 0.5f, -2800.0f);
    EXPECT_FLOAT_EQ(sky.GetCentre().y + sky.GetSize().y * 0.5f, 2200.0f);
    EXPECT_EQ(sky.GetTexture(CSkyBox::faceTop), 0u) << "a missing image gives texture 0";

    const CSea sea("Terrain", 1280.0f, 2.0f, 45.0f, textures);
    EXPECT_FLOAT_EQ(sea.GetSizeX(), 5120.0f);
    EXPECT_FLOAT_EQ(sea.GetSizeZ(), 5120.0f);
    EXPECT_FLOAT_EQ(sea.GetCentreX(), 640.0f);
    EXPECT_FLOAT_EQ(sea.GetWaterHeight(), 90.0f);
}

TEST(SkyAndSea, DriftRepeatsAfterAWholeTextureAndNotOnTheFirstFrame) {
    CSea::SetDriftOffset(0.0f);
    CSea::AdvanceDrift(0.0f);
    EXPECT_EQ(CSea::GetDriftOffset(), 0.0f) << "the first frame has frame time 0";
    // 0.01 repeats per second: at 50 frames per second a repeat takes 100 s.
    int   frames   = 0;
    float previous = 0.0f;
    do {
        previous = CSea::GetDriftOffset();
        CSea::AdvanceDrift(1.0f / 50.0f);
        ++frames;
    } while (CSea::GetDriftOffset() > previous && frames < 100000);
    EXPECT_NEAR(frames, 5000, 2);
    EXPECT_EQ(CSea::GetDriftOffset(), 0.0f);
}

} // namespace
