#include <gtest/gtest.h>

#include <tuple>

#include "core/Frustum.h"

// Culling in view is checked through the terrain; this keeps what it does not reach: boxes straddling a plane,
// corners on a plane, points and spheres. With identity matrices the frustum is the cube -1..1 on every axis.
TEST(Frustum, ClassifiesBoxesPointsAndSpheresAgainstTheUnitCube) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    CFrustum    frustum;
    frustum.Update(identity, identity);
    const std::tuple<float, float, int> boxes[] = {
        {-0.5f, 0.5f, CFrustum::inside}, {0.5f, 1.5f, CFrustum::intersecting}, {-2.0f, 2.0f, CFrustum::intersecting},
        {1.0f, 2.0f, CFrustum::outside}, {1.0f, 1.0f, CFrustum::outside},      {-1.0f, -1.0f, CFrustum::outside}};
    for (const auto& [minX, maxX, expected] : boxes) {
        EXPECT_EQ(frustum.BoxInFrustum(minX, maxX, -0.5f, 0.5f, -0.5f, 0.5f), expected) << minX;
    }
    EXPECT_TRUE(frustum.PointInFrustum(1.0f, 1.0f, -1.0f)) << "on the faces counts as inside";
    EXPECT_FALSE(frustum.PointInFrustum(0.0f, 1.01f, 0.0f));
    EXPECT_TRUE(frustum.SphereInFrustum(1.4f, 0.0f, 0.0f, 0.5f));
    EXPECT_FALSE(frustum.SphereInFrustum(1.6f, 0.0f, 0.0f, 0.5f));
}
