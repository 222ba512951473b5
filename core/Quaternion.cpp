#include "core/Quaternion.h"

#include <cmath>

namespace {

constexpr float pi = 3.14159265358979323846f;

bool IsZeroOrOne(float value) {
    return value == 0.0f || value == 1.0f;
}

CQuaternion Normalized(const CQuaternion& q) {
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length == 0.0f) {
        return CQuaternion();
    }
    const float reciprocal = 1.0f / length;
    return CQuaternion{q.x * reciprocal, q.y * reciprocal, q.z * reciprocal, q.w * reciprocal};
}

} // namespace

CQuaternion CQuaternion::FromAxisAngle(float angleDegrees, float axisX, float axisY, float axisZ) {
    // Axes made only of 0 and 1 (the coordinate axes) are used as given.
    if (!(IsZeroOrOne(axisX) && IsZeroOrOne(axisY) && IsZeroOrOne(axisZ))) {
        const float length = std::sqrt(axisX * axisX + axisY * axisY + axisZ * axisZ);
        if (length > 0.0f) {
            axisX /= length;
            axisY /= length;
            axisZ /= length;
        }
    }
    const float halfAngle = angleDegrees * pi / 180.0f * 0.5f;
    const float sine      = std::sin(halfAngle);
    return Normalized(CQuaternion{axisX * sine, axisY * sine, axisZ * sine, std::cos(halfAngle)});
}

CQuaternion Multiply(const CQuaternion& a, const CQuaternion& b) {
    CQuaternion result;
    result.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    result.y = a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x;
    result.z = a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w;
    result.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
    return result;
}

CQuaternion Conjugate(const CQuaternion& q) {
    return CQuaternion{-q.x, -q.y, -q.z, q.w};
}
