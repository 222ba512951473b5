#include "core/Frustum.h"

#include <cmath>

namespace {

// Element (row, column) of a column-major matrix.
float At(const float* matrix, int row, int column) {
    return matrix[column * 4 + row];
}

} // namespace

void CFrustum::Update(const float* modelView, const float* projection) {
    if (modelView == nullptr || projection == nullptr) {
        return;
    }
    float clip[4][4]; // [row][column] of projection × model-view
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += At(projection, row, k) * At(modelView, k, column);
            }
            clip[row][column] = sum;
        }
    }
    // Each plane is row 4 plus or minus row 1, 2 or 3 of the clip matrix.
    const int   rowOf[planeCount] = {0, 0, 1, 1, 2, 2};
    const float sign[planeCount]  = {-1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f};
    for (int plane = 0; plane < planeCount; ++plane) {
        for (int k = 0; k < 4; ++k) {
            planes[plane][k] = clip[3][k] + sign[plane] * clip[rowOf[plane]][k];
        }
        const float length = std::sqrt(planes[plane][0] * planes[plane][0] + planes[plane][1] * planes[plane][1] +
                                       planes[plane][2] * planes[plane][2]);
        if (length > 0.0f) {
            for (float& value : planes[plane]) {
                value /= length;
            }
        }
    }
}

float CFrustum::Distance(int plane, float x, float y, float z) const {
    return planes[plane][0] * x + planes[plane][1] * y + planes[plane][2] * z + planes[plane][3];
}

bool CFrustum::PointInFrustum(float x, float y, float z) const {
    for (int plane = 0; plane < planeCount; ++plane) {
        if (Distance(plane, x, y, z) < 0.0f) {
            return false;
        }
    }
    return true;
}

bool CFrustum::SphereInFrustum(float x, float y, float z, float radius) const {
    for (int plane = 0; plane < planeCount; ++plane) {
        if (Distance(plane, x, y, z) < -radius) {
            return false;
        }
    }
    return true;
}

int CFrustum::CubeInFrustum(float x, float y, float z, float halfSize) const {
    return BoxInFrustum(x - halfSize, x + halfSize, y - halfSize, y + halfSize, z - halfSize, z + halfSize);
}

int CFrustum::BoxInFrustum(float minX, float maxX, float minY, float maxY, float minZ, float maxZ) const {
    const float xs[2]      = {minX, maxX};
    const float ys[2]      = {minY, maxY};
    const float zs[2]      = {minZ, maxZ};
    bool        allInFront = true;
    for (int plane = 0; plane < planeCount; ++plane) {
        int inFront = 0;
        for (int corner = 0; corner < 8; ++corner) {
            // A corner exactly on the plane is not in front of it.
            if (Distance(plane, xs[corner & 1], ys[(corner >> 1) & 1], zs[corner >> 2]) > 0.0f) {
                ++inFront;
            }
        }
        if (inFront == 0) {
            return outside;
        }
        allInFront = allInFront && inFront == 8;
    }
    return allInFront ? inside : intersecting;
}
