#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "core/Camera.h"
#include "TestSupport.h"
#include "core/Heightmap.h"

namespace {

constexpr float frame = 0.02f; // seconds

// Over ground rising towards +z, looking along +z and down at 45 degrees: zooming stops at the height limits and
// the next step is refused; walking and strafing keep the height above ground and the view's drop.
TEST(Camera, ZoomsToTheLimitsAndMovesAlongRisingGround) {
    const CHeightmap ground(65, Samples(65, [](int, int row) { return row * 3; }), 2048.0f, 1000.0f);
    const auto       above = [&](const CCamera& camera) {
        return camera.GetEye().y - ground.HeightAt(camera.GetEye().x, camera.GetEye().z);
    };
    enum Move { zoom, walk, strafe };
    // Move, amount, start row, height above ground after.
    const std::tuple<Move, float, float, float> cases[] = {{zoom, 4, 300, CCamera::minZoomHeight},
                                                           {zoom, -4, 300, CCamera::maxZoomHeight},
                                                           {strafe, -4, 1000, 450},
                                                           {strafe, 4, 1000, 450},
                                                           {walk, 4, 1000, 450},
                                                           {walk, -4, 1000, 450}};
    for (const auto& [move, amount, z, height] : cases) {
        CCamera camera(&ground);
        camera.SetPosition(CVector3(1000, 0, z), CVector3(1000, -100, z + 100), CVector3(0, 1, 0));
        camera.SetHeightAboveGround(450.0f);
        const float drop = (camera.GetCenter() - camera.GetEye()).y;
        for (int step = 0; step < (move == zoom ? 400 : 50); ++step) {
            move == strafe ? camera.Strafe(amount, frame) : camera.MoveAlongView(amount, move == walk, frame);
            ASSERT_GE(above(camera), CCamera::minZoomHeight - 0.01f) << move << " " << amount;
            ASSERT_LE(above(camera), CCamera::maxZoomHeight + 0.01f) << move << " " << amount;
        }
        if (move == zoom) {
            const CVector3 before = camera.GetEye();
            camera.MoveAlongView(amount, false, frame);
            EXPECT_EQ(camera.GetEye(), before) << "amount " << amount;
        }
        EXPECT_NEAR(above(camera), height, move == zoom ? 20.0f : 0.05f) << move << " " << amount;
        EXPECT_NEAR((camera.GetCenter() - camera.GetEye()).y, drop, 0.05f) << move;
    }
}

// Positive tilt turns the view up; a tilt that would come near the vertical is refused, so the right vector stays
// usable and tilting back is still possible.
TEST(Camera, TiltsUpOrDownButNeverToTheVertical) {
    const auto angleToVertical = [](const CCamera& camera) {
        return std::acos(std::fabs(Normalize(camera.GetCenter() - camera.GetEye()).y)) * 180.0f / 3.14159265f;
    };
    for (const int ticks : {40, -40, 1000, -1000}) {
        CCamera camera(nullptr);
        camera.SetPosition(CVector3(500, 450, 500), CVector3(500, 450, 700), CVector3(0, 1, 0));
        camera.Rotate(0, ticks / std::abs(ticks) * 100);
        EXPECT_EQ(camera.GetCenter().y > 450.0f, ticks > 0) << "ticks " << ticks;
        for (int step = 0; step < 200; ++step) {
            camera.Rotate(0, ticks);
            ASSERT_GE(angleToVertical(camera), CCamera::minAngleToVertical - 0.01f) << "ticks " << ticks;
        }
        camera.Strafe(4.0f, frame);
        EXPECT_TRUE(std::isfinite(camera.GetEye().x) && std::isfinite(camera.GetRight().x)) << "ticks " << ticks;
        EXPECT_NEAR(camera.GetRight().Length(), 1.0f, 1e-4f) << "ticks " << ticks;
        const float angle = angleToVertical(camera);
        camera.Rotate(0, -ticks / std::abs(ticks) * 200);
        EXPECT_GT(angleToVertical(camera), angle) << "ticks " << ticks;
    }
}

} // namespace
