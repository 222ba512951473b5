#include <gtest/gtest.h>

#include "core/RayTriangle.h"

// Picking reaches hits through the terrain; this keeps the weights that place the pick point and rays that miss.
TEST(RayTriangle, ReportsBarycentricWeightsAndMissesOutsideOrAlongThePlane) {
    const double  a[3] = {0, 0, 0}, b[3] = {10, 0, 0}, c[3] = {0, 0, 10}; // in the ground plane
    const double  down[3] = {0, -1, 0}, along[3] = {0, 0, 1};
    const double  inside[3] = {2.5, 1, 5}, beyond[3] = {9, 5, 9}, left[3] = {-1, 5, 2}, level[3] = {0, 0, -5};
    const CRayHit hit = IntersectRayTriangle(inside, down, a, b, c);
    ASSERT_TRUE(hit.hit);
    EXPECT_NEAR(hit.t, 1.0, 1e-9);
    EXPECT_NEAR(hit.u, 0.25, 1e-12);
    EXPECT_NEAR(hit.v, 0.5, 1e-12);
    EXPECT_FALSE(IntersectRayTriangle(beyond, down, a, b, c).hit) << "beyond the hypotenuse";
    EXPECT_FALSE(IntersectRayTriangle(left, down, a, b, c).hit) << "u < 0";
    EXPECT_FALSE(IntersectRayTriangle(level, along, a, b, c).hit) << "along the plane";
}
