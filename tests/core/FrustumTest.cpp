#include <gtest/gtest.h>

#include "core/Frustum.h"

namespace {

// Culling in view is checked through the terrain; this keeps what it does not
// reach: the box straddling a plane, corners on a plane, points and spheres.
// With both matrices the identity the frustum is the cube -1..1 on every axis.
TEST(Frustum, ClassifiesBoxesPointsAndSpheresAgainstTheUnitCube) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    CFrustum    frustum;
    frustum.Update(identity, identity);
    const struct {
        float minX, maxX;
        int   expected;
    } boxes[] = {{-0.5f, 0.5f, CFrustum::inside},       {0.5f, 1.5f, CFrustum::intersecting},
                 {-2.0f, 2.0f, CFrustum::intersecting}, {1.0f, 2.0f, CFrustum::outside},
                 {1.0f, 1.0f, CFrustum::outside},       {-1.0f, -1.0f, CFrustum::outside}};
    for (const auto& box : boxes) {
        EXPECT_EQ(frustum.BoxInFrustum(box.minX, box.maxX, -0.5f, 0.5f, -0.5f, 0.5f), box.expected) << box.minX;
    }
    EXPECT_TRUE(frustum.PointInFrustum(1.0f, 1.0f, -1.0f)) << "on the faces counts as inside";
    EXPECT_FALSE(frustum.PointInFrustum(0.0f, 1.01f, 0.0f));
    EXPECT_TRUE(frustum.SphereInFrustum(1.4f, 0.0f, 0.0f, 0.5f));
    EXPECT_FALSE(frustum.SphereInFrustum(1.6f, 0.0f, 0.0f, 0.5f));
}

} // namespace
