#include "core/Matrix4.h"

namespace {

float Row(const CMatrix4& matrix, int row, float x, float y, float z, float w) {
    return matrix.At(row, 0) * x + matrix.At(row, 1) * y + matrix.At(row, 2) * z + matrix.At(row, 3) * w;
}

} // namespace

CVector4 Transform(const CMatrix4& matrix, float x, float y, float z, float w) {
    CVector4 result;
    result.x = Row(matrix, 0, x, y, z, w);
    result.y = Row(matrix, 1, x, y, z, w);
    result.z = Row(matrix, 2, x, y, z, w);
    const bool affine =
        matrix.At(3, 0) == 0.0f && matrix.At(3, 1) == 0.0f && matrix.At(3, 2) == 0.0f && matrix.At(3, 3) == 1.0f;
    result.w = affine ? w : Row(matrix, 3, x, y, z, w);
    return result;
}

CVector4 Project(float x, float y, float z, float w) {
    CVector4 result{x, y, z, w};
    if (w != 0.0f && w != 1.0f) {
        const float reciprocal = 1.0f / w;
        result.x               = x * reciprocal;
        result.y               = y * reciprocal;
        result.z               = z * reciprocal;
    }
    return result;
}
