#include "render/TexelFootprint.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float unbounded = 1e30f;
// The rasteriser shades 2 x 2 blocks, so pixels up to this far outside a
// triangle take its interpolated values into their level of detail.
constexpr float blockReach = 2.0f;

// The window gradient of a value given at the triangle's three corners.
struct CGradient {
    float x, y;
};

CGradient Gradient(const CWindowVertex (&corner)[3], const float (&value)[3], float determinant) {
    const float e1x = corner[1].x - corner[0].x, e1y = corner[1].y - corner[0].y;
    const float e2x = corner[2].x - corner[0].x, e2y = corner[2].y - corner[0].y;
    const float d1 = value[1] - value[0], d2 = value[2] - value[0];
    return {(d1 * e2y - d2 * e1y) / determinant, (d2 * e1x - d1 * e2x) / determinant};
}

// The largest |a - t b| for t in [low, high] (it is linear in t).
float LargestOver(float a, float b, float low, float high) {
    return std::max(std::fabs(a - low * b), std::fabs(a - high * b));
}

} // namespace

CPixelMapping CPixelMapping::FromGl() {
    float projection[16], modelView[16];
    GLint viewport[4] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetIntegerv(GL_VIEWPORT, viewport);
    CPixelMapping view;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += projection[k * 4 + row] * modelView[column * 4 + k];
            }
            view.matrix[column * 4 + row] = sum;
        }
    }
    view.windowWidth  = static_cast<float>(viewport[2]);
    view.windowHeight = static_cast<float>(viewport[3]);
    return view;
}

bool CPixelMapping::operator==(const CPixelMapping& other) const {
    return memcmp(matrix, other.matrix, sizeof matrix) == 0 && windowWidth == other.windowWidth &&
           windowHeight == other.windowHeight;
}

namespace TexelFootprint {

CWindowVertex Project(const CPixelMapping& view, float x, float y, float z, float u, float v) {
    const float*  m  = view.matrix;
    const float   cx = m[0] * x + m[4] * y + m[8] * z + m[12];
    const float   cy = m[1] * x + m[5] * y + m[9] * z + m[13];
    const float   cw = m[3] * x + m[7] * y + m[11] * z + m[15];
    CWindowVertex vertex;
    vertex.w = cw;
    vertex.u = u;
    vertex.v = v;
    if (cw > 0.0f) {
        vertex.x = (cx / cw * 0.5f + 0.5f) * view.windowWidth;
        vertex.y = (cy / cw * 0.5f + 0.5f) * view.windowHeight;
    }
    return vertex;
}

// With q = 1 / w affine on the window, u = (u q) / q and du/dx = w ((u q)_x - u q_x):
// bounded by the largest w and the range of u over the (widened) triangle.
float TriangleBound(const CWindowVertex& a, const CWindowVertex& b, const CWindowVertex& c) {
    const CWindowVertex corner[3] = {a, b, c};
    for (const CWindowVertex& vertex : corner) {
        if (!(vertex.w > 0.0f)) {
            return unbounded;
        }
    }
    const float determinant = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::fabs(determinant) > 0.5f)) {
        return unbounded; // less than a pixel of area: seen edge on
    }
    const float     q[3]    = {1.0f / a.w, 1.0f / b.w, 1.0f / c.w};
    const float     uq[3]   = {a.u * q[0], b.u * q[1], c.u * q[2]};
    const float     vq[3]   = {a.v * q[0], b.v * q[1], c.v * q[2]};
    const CGradient gq      = Gradient(corner, q, determinant);
    const CGradient gu      = Gradient(corner, uq, determinant);
    const CGradient gv      = Gradient(corner, vq, determinant);
    const float     lowestQ = std::min({q[0], q[1], q[2]}) - blockReach * (std::fabs(gq.x) + std::fabs(gq.y));
    if (!(lowestQ > 0.0f)) {
        return unbounded;
    }
    const float farthest = 1.0f / lowestQ;
    float       uLow = std::min({a.u, b.u, c.u}), uHigh = std::max({a.u, b.u, c.u});
    float       vLow = std::min({a.v, b.v, c.v}), vHigh = std::max({a.v, b.v, c.v});
    float       ux = 0.0f, uy = 0.0f, vx = 0.0f, vy = 0.0f;
    // The second round widens the coordinate ranges by the first round's slopes.
    for (int round = 0; round < 2; ++round) {
        ux                 = farthest * LargestOver(gu.x, gq.x, uLow, uHigh);
        uy                 = farthest * LargestOver(gu.y, gq.y, uLow, uHigh);
        vx                 = farthest * LargestOver(gv.x, gq.x, vLow, vHigh);
        vy                 = farthest * LargestOver(gv.y, gq.y, vLow, vHigh);
        const float uReach = blockReach * (ux + uy), vReach = blockReach * (vx + vy);
        uLow -= uReach;
        uHigh += uReach;
        vLow -= vReach;
        vHigh += vReach;
    }
    return std::sqrt(std::max(ux * ux + vx * vx, uy * uy + vy * vy));
}

} // namespace TexelFootprint
