#include <gtest/gtest.h>

#include <cmath>

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

TEST(Frustum, PerspectivePlanesAreUnitLengthAndInOrder) {
    const CFrustum frustum = Perspective();
    for (int plane = 0; plane < CFrustum::planeCount; ++plane) {
        const float* p = frustum.GetPlane(plane);
        EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 1.0f, 1e-5f) << "plane " << plane;
    }
    // The eye looks along -z: the near plane faces -z at distance 1, the far one +z at 100.
    EXPECT_NEAR(frustum.GetPlane(CFrustum::planeNear)[2], -1.0f, 1e-5f);
    EXPECT_NEAR(frustum.GetPlane(CFrustum::planeNear)[3], -1.0f, 1e-4f);
    EXPECT_NEAR(frustum.GetPlane(CFrustum::planeFar)[3], 100.0f, 1e-2f);
    EXPECT_LT(frustum.GetPlane(CFrustum::planeRight)[0], 0.0f);
    EXPECT_GT(frustum.GetPlane(CFrustum::planeLeft)[0], 0.0f);
    EXPECT_GT(frustum.GetPlane(CFrustum::planeBottom)[1], 0.0f);
    EXPECT_LT(frustum.GetPlane(CFrustum::planeTop)[1], 0.0f);
    EXPECT_TRUE(frustum.PointInFrustum(0.0f, 0.0f, -5.0f));
    EXPECT_TRUE(frustum.PointInFrustum(4.9f, 0.0f, -5.0f));
    EXPECT_FALSE(frustum.PointInFrustum(5.1f, 0.0f, -5.0f));
    EXPECT_FALSE(frustum.PointInFrustum(0.0f, 0.0f, 5.0f));
    EXPECT_FALSE(frustum.PointInFrustum(0.0f, 0.0f, -0.5f));
    EXPECT_FALSE(frustum.PointInFrustum(0.0f, 0.0f, -101.0f));
}

TEST(Frustum, MissingMatricesLeaveThePlanes) {
    CFrustum frustum = UnitCube();
    frustum.Update(nullptr, identity);
    frustum.Update(identity, nullptr);
    EXPECT_TRUE(frustum.PointInFrustum(0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(frustum.PointInFrustum(2.0f, 0.0f, 0.0f));
}

} // namespace
