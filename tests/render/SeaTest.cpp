#include <gtest/gtest.h>

#include "render/Sea.h"

namespace {

// The drift of the sea texture, as the frames advance it.
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
