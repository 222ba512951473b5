#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/Camera.h"
#include "core/Heightmap.h"

namespace {

constexpr int   mapSize  = 65;
constexpr float mapWidth = 2048.0f;
constexpr float frame    = 0.02f; // seconds

// Ground that rises steadily towards +z: sample value = row * 3.
CHeightmap RisingGround() {
    std::vector<int> samples(mapSize * mapSize);
    for (int row = 0; row < mapSize; ++row) {
        for (int column = 0; column < mapSize; ++column) {
            samples[row * mapSize + column] = row * 3;
        }
    }
    return CHeightmap(mapSize, samples, mapWidth, 1000.0f);
}

float HeightAboveGround(const CCamera& camera, const CHeightmap& ground) {
    return camera.GetEye().y - ground.HeightAt(camera.GetEye().x, camera.GetEye().z);
}

// Looking along +z and down at 45 degrees.
CCamera CameraOver(const CHeightmap& ground, float x, float z, float height) {
    CCamera camera(&ground);
    camera.SetPosition(CVector3(x, 0.0f, z), CVector3(x, -100.0f, z + 100.0f), CVector3(0.0f, 1.0f, 0.0f));
    camera.SetHeightAboveGround(height);
    return camera;
}

float AngleToVertical(const CCamera& camera) {
    const CVector3 view = Normalize(camera.GetCenter() - camera.GetEye());
    return std::acos(std::fabs(view.y)) * 180.0f / 3.14159265f;
}

TEST(Camera, ZoomStopsAtTheHeightLimitsOverRisingGround) {
    const CHeightmap ground = RisingGround();
    struct Case {
        float amount;
        float startHeight;
        float limit;
    };
    for (const Case& test : {Case{4.0f, 450.0f, CCamera::minZoomHeight}, Case{-4.0f, 450.0f, CCamera::maxZoomHeight}}) {
        CCamera camera = CameraOver(ground, 1000.0f, 300.0f, test.startHeight);
        for (int step = 0; step < 400; ++step) {
            camera.MoveAlongView(test.amount, false, frame);
            const float height = HeightAboveGround(camera, ground);
            ASSERT_GE(height, CCamera::minZoomHeight - 0.01f) << "amount " << test.amount << " step " << step;
            ASSERT_LE(height, CCamera::maxZoomHeight + 0.01f) << "amount " << test.amount << " step " << step;
        }
        // Stuck close to the limit: the next move is refused entirely.
        const CVector3 before = camera.GetEye();
        camera.MoveAlongView(test.amount, false, frame);
        EXPECT_EQ(camera.GetEye(), before) << "amount " << test.amount;
        EXPECT_NEAR(HeightAboveGround(camera, ground), test.limit, 20.0f) << "amount " << test.amount;
    }
}

// Looking along +z with y up, right is -x.
TEST(Camera, GroundMovesKeepTheHeightAboveGroundAndGoTheirWay) {
    const CHeightmap ground = RisingGround();
    struct Case {
        const char* name;
        bool        strafe;
        float       amount, dx, dz; // the way it must go
    };
    for (const Case& test : {Case{"strafe left", true, -4.0f, 1, 0}, Case{"strafe right", true, 4.0f, -1, 0},
                             Case{"forward", false, 4.0f, 0, 1}, Case{"back", false, -4.0f, 0, -1}}) {
        CCamera        camera = CameraOver(ground, 1000.0f, 1000.0f, 450.0f);
        const CVector3 offset = camera.GetCenter() - camera.GetEye();
        for (int step = 0; step < 50; ++step) {
            test.strafe ? camera.Strafe(test.amount, frame) : camera.MoveAlongView(test.amount, true, frame);
        }
        EXPECT_NEAR(HeightAboveGround(camera, ground), 450.0f, 0.05f) << test.name;
        EXPECT_NEAR((camera.GetCenter() - camera.GetEye()).y, offset.y, 0.05f) << test.name;
        const CVector3 moved = camera.GetEye() - CVector3(1000.0f, camera.GetEye().y, 1000.0f);
        EXPECT_GT(moved.x * test.dx + moved.z * test.dz, 100.0f) << test.name;
        EXPECT_NEAR(moved.x * test.dz + moved.z * test.dx, 0.0f, 0.1f) << test.name << " went aside";
    }
}

// Yaw turns about the world's up axis counter-clockwise; positive tilt
// ticks turn the view up; no ticks change nothing.
TEST(Camera, YawTurnsCounterClockwiseAndTiltTurnsUp) {
    CCamera camera(nullptr);
    camera.SetPosition(CVector3(0, 0, 0), CVector3(0, 0, 10), CVector3(0, 1, 0));
    camera.SetChanged(false);
    camera.Rotate(0, 0);
    EXPECT_FALSE(camera.IsChanged());
    camera.Rotate(1800, 0); // 90 degrees
    EXPECT_NEAR(camera.GetCenter().x, 10.0f, 1e-3f);
    EXPECT_NEAR(camera.GetCenter().z, 0.0f, 1e-3f);
    EXPECT_TRUE(camera.IsChanged());
    camera.Rotate(0, 100);
    EXPECT_GT(camera.GetCenter().y, 0.0f);
}

TEST(Camera, TiltIsRefusedNearTheVerticalSoTheCameraStaysUsable) {
    for (const int ticks : {40, -40, 1000, -1000}) {
        CCamera camera(nullptr);
        camera.SetPosition(CVector3(500, 450, 500), CVector3(500, 300, 700), CVector3(0, 1, 0));
        for (int step = 0; step < 200; ++step) {
            camera.Rotate(0, ticks);
            ASSERT_GE(AngleToVertical(camera), CCamera::minAngleToVertical - 0.01f) << "ticks " << ticks;
        }
        camera.Strafe(4.0f, frame);
        EXPECT_TRUE(std::isfinite(camera.GetEye().x) && std::isfinite(camera.GetRight().x)) << "ticks " << ticks;
        EXPECT_NEAR(camera.GetRight().Length(), 1.0f, 1e-4f) << "ticks " << ticks;
        // Tilting back the other way is still possible.
        const float angle = AngleToVertical(camera);
        camera.Rotate(0, -ticks / std::abs(ticks) * 200);
        EXPECT_GT(AngleToVertical(camera), angle) << "ticks " << ticks;
    }
}

} // namespace
