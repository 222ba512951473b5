#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "GlFixture.h"
#include "TestSupport.h"
#include "render/ImageTools.h"
#include "app/Application.h"
#include "core/Camera.h"
#include "core/Frustum.h"

namespace {

class ApplicationGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        app          = GetApp();
        app->options = CAppOptions();
        app->ClearDebugLines();
        app->OnReshape(windowWidth, windowHeight);
    }

    CTempWorkDir  dir; // the program writes its logs and reads its level here
    CApplication* app = nullptr;
};

// The game is built once per process at the first idle call, here on the smallest level (flat, one patch).
// Narrowing the window moves the side planes at the next frame though the camera did not move.
TEST_F(ApplicationGlTest, TheFirstFrameHasNoFrameTimeAndAReshapeCountsAsAViewChange) {
    MakeFolders("TestLevel/Terrain");
    WriteFile("TestLevel/Terrain/ter_params.ini", "maxwidth=320\nmaxheight=255\n");
    ASSERT_TRUE(ConvertRawImage(std::vector<uint8_t>(33 * 33 * 3, 80), "rgb", 33, 33,
                                "bmp3:TestLevel/Terrain/ter_heightmap.bmp"));
    ASSERT_TRUE(app->IsFirstFrame()) << "no frame may have been drawn in this process yet";
    app->OnIdle();
    EXPECT_EQ(app->GetState(), CApplication::stateRunning);
    ASSERT_NE(app->GetCamera(), nullptr) << "the level should load and the camera exist";

    const auto firstBegin = std::chrono::steady_clock::now();
    app->BeginFrame();
    EXPECT_EQ(app->GetFrameTime(), 0.0f) << "the first frame's clock counts from zero";
    app->EndFrame(0);
    EXPECT_FALSE(app->IsFirstFrame());
    app->BeginFrame();
    const double betweenBegins = std::chrono::duration<double>(std::chrono::steady_clock::now() - firstBegin).count();
    const float  frameTime     = app->GetFrameTime();
    app->EndFrame(0);
    EXPECT_GT(frameTime, 0.0f);
    EXPECT_LE(frameTime, betweenBegins + 1e-3) << "the frame time is the distance of the two frames";

    app->OnDisplay();
    ASSERT_FALSE(app->GetCamera()->IsChanged());
    const float*             right = app->GetFrustum()->GetPlane(CFrustum::planeRight);
    const std::vector<float> before(right, right + 4);
    app->OnReshape(windowWidth / 2, windowHeight);
    app->OnMotion(windowWidth / 4, windowHeight / 2); // the pointer away from the scrolling edges
    app->OnDisplay();
    float change = 0.0f;
    for (int k = 0; k < 4; ++k) {
        change = std::max(change, std::fabs(right[k] - before[k]));
    }
    EXPECT_GT(change, 0.01f) << "the right plane must follow the new aspect";
    app->OnReshape(0, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<int>(viewport + 2, viewport + 4), std::vector<int>({1, 1}));
    EXPECT_EQ(app->GetWindowWidth() * app->GetWindowHeight(), 1);
}

} // namespace
