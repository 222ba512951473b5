#include <cmath>

#include <gtest/gtest.h>

#include "core/BoundingBox.h"
#include "core/RayTriangle.h"
#include "core/Vector3.h"

namespace {

constexpr float tolerance = 1e-6f;

TEST(BoundingBox, FromPointsTranslateAndInclusiveContains) {
    const CVector3     points[] = {{1, 5, -2}, {-3, 2, 4}, {0, 8, 1}};
    const CBoundingBox box      = CBoundingBox::FromPoints(points, 3);
    EXPECT_EQ(box.centre, CVector3(-1, 5, 1));
    EXPECT_TRUE(box.Contains(1, 8, 4) && box.Contains(-3, 5, 0)) << "corners and faces are inside";
    EXPECT_FALSE(box.Contains(1.001f, 5, 0));
    EXPECT_EQ(box.Translate(CVector3(10, 0, 0)).minimum, CVector3(7, 2, -2));
    EXPECT_EQ(CBoundingBox::FromPoints(nullptr, 0).maximum, CVector3());
}

struct RayCase {
    double origin[3], direction[3];
    bool   hit;
    double t;
};

class RayTriangle : public ::testing::TestWithParam<RayCase> {};

TEST_P(RayTriangle, HitsInsideAndMissesOutsideOrAlongThePlane) {
    // The triangle lies in the ground plane y = 0.
    const double  a[3] = {0, 0, 0}, b[3] = {10, 0, 0}, c[3] = {0, 0, 10};
    const CRayHit hit = IntersectRayTriangle(GetParam().origin, GetParam().direction, a, b, c);
    EXPECT_EQ(hit.hit, GetParam().hit);
    if (GetParam().hit) {
        EXPECT_NEAR(hit.t, GetParam().t, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RayTriangle,
                         ::testing::Values(RayCase{{2, 5, 2}, {0, -1, 0}, true, 5},
                                           RayCase{{2, 5, 2}, {0, 1, 0}, true, -5},
                                           RayCase{{9, 5, 9}, {0, -1, 0}, false, 0},  // beyond the hypotenuse
                                           RayCase{{-1, 5, 2}, {0, -1, 0}, false, 0}, // u < 0
                                           RayCase{{0, 0, -5}, {0, 0, 1}, false, 0},  // along the plane: det 0
                                           RayCase{{0, 5, 0}, {0, -1, 0}, true, 5})); // exactly on a corner

TEST(RayTriangle, ReportsBarycentricWeights) {
    const double  origin[3] = {2.5, 1, 5}, direction[3] = {0, -1, 0};
    const double  a[3] = {0, 0, 0}, b[3] = {10, 0, 0}, c[3] = {0, 0, 10};
    const CRayHit hit = IntersectRayTriangle(origin, direction, a, b, c);
    ASSERT_TRUE(hit.hit);
    EXPECT_NEAR(hit.u, 0.25, 1e-12);
    EXPECT_NEAR(hit.v, 0.5, 1e-12);
}

} // namespace
