#include <gtest/gtest.h>

#include "core/Frustum.h"

namespace {

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// With both matrices the identity the frustum is the cube -1..1 on every axis.
CFrustum UnitCube() {
    CFrustum frustum;
    frustum.Update(identity, identity);
    return frustum;
}

// A perspective projection like gluPerspective(90°, 1, 1, 100), column-major.
CFrustum Perspective() {
    const float nearPlane      = 1.0f;
    const float farPlane       = 100.0f;
    float       projection[16] = {};
    projection[0] = projection[5] = 1.0f;
    projection[10]                = (farPlane + nearPlane) / (nearPlane - farPlane);
    projection[11]                = -1.0f;
    projection[14]                = 2 * farPlane * nearPlane / (nearPlane - farPlane);
    CFrustum frustum;
    frustum.Update(identity, projection);
    return frustum;
}

TEST(Frustum, BoxesAreInsideOutsideOrIntersecting) {
    const CFrustum frustum = UnitCube();
    struct Case {
        float minimum[3];
        float maximum[3];
        int   expected;
    };
    const Case cases[] = {
        {{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}, CFrustum::inside},
        {{0.5f, -0.5f, -0.5f}, {1.5f, 0.5f, 0.5f}, CFrustum::intersecting},
        {{2.0f, 2.0f, 2.0f}, {3.0f, 3.0f, 3.0f}, CFrustum::outside},
        // Corners exactly on the right plane (x = 1) and beyond it: outside.
        {{1.0f, -0.5f, -0.5f}, {2.0f, 0.5f, 0.5f}, CFrustum::outside},
        // A flat box lying in the plane x = 1: every corner at distance 0.
        {{1.0f, -0.5f, -0.5f}, {1.0f, 0.5f, 0.5f}, CFrustum::outside},
        {{-1.0f, -0.5f, -0.5f}, {-1.0f, 0.5f, 0.5f}, CFrustum::outside},
        {{-2.0f, -2.0f, -2.0f}, {2.0f, 2.0f, 2.0f}, CFrustum::intersecting},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(frustum.BoxInFrustum(test.minimum[0], test.maximum[0], test.minimum[1], test.maximum[1],
                                       test.minimum[2], test.maximum[2]),
                  test.expected)
            << "box x " << test.minimum[0] << ".." << test.maximum[0];
    }
    EXPECT_EQ(frustum.CubeInFrustum(0.0f, 0.0f, 0.0f, 0.5f), CFrustum::inside);
    EXPECT_EQ(frustum.CubeInFrustum(1.5f, 0.0f, 0.0f, 0.5f), CFrustum::outside);
    EXPECT_EQ(frustum.CubeInFrustum(1.0f, 0.0f, 0.0f, 0.5f), CFrustum::intersecting);
}

TEST(Frustum, PointsAndSpheres) {
    const CFrustum frustum = UnitCube();
    EXPECT_TRUE(frustum.PointInFrustum(0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(frustum.PointInFrustum(1.0f, 1.0f, -1.0f)); // on the faces counts as inside
    EXPECT_FALSE(frustum.PointInFrustum(0.0f, 1.01f, 0.0f));
    EXPECT_FALSE(frustum.PointInFrustum(0.0f, 0.0f, -1.01f));
    EXPECT_TRUE(frustum.SphereInFrustum(1.4f, 0.0f, 0.0f, 0.5f));
    EXPECT_FALSE(frustum.SphereInFrustum(1.6f, 0.0f, 0.0f, 0.5f));
}

// The eye looks along -z: near at 1, far at 100, 45 degrees to each side.
TEST(Frustum, PerspectiveBoundsThePointsSeen) {
    const CFrustum frustum = Perspective();
    const struct {
        float x, z;
        bool  seen;
    } points[] = {{0, -5, true},      {4.9f, -5, true}, {-4.9f, -5, true}, {5.1f, -5, false},
                  {-5.1f, -5, false}, {0, 5, false},    {0, -0.5f, false}, {0, -101, false}};
    for (const auto& point : points) {
        EXPECT_EQ(frustum.PointInFrustum(point.x, 0.0f, point.z), point.seen) << point.x << "," << point.z;
        EXPECT_EQ(frustum.PointInFrustum(0.0f, point.x, point.z), point.seen) << point.x << "," << point.z;
    }
}

TEST(Frustum, MissingMatricesLeaveThePlanes) {
    CFrustum frustum = UnitCube();
    frustum.Update(nullptr, identity);
    frustum.Update(identity, nullptr);
    EXPECT_TRUE(frustum.PointInFrustum(0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(frustum.PointInFrustum(2.0f, 0.0f, 0.0f));
}

} // namespace
