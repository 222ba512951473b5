#pragma once

#include <cmath>

// A point or direction in world space (y up; x and z span the ground).
struct CVector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    CVector3() = default;
    CVector3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

    CVector3 operator+(const CVector3& other) const { return CVector3(x + other.x, y + other.y, z + other.z); }
    CVector3 operator-(const CVector3& other) const { return CVector3(x - other.x, y - other.y, z - other.z); }
    CVector3 operator*(float scale) const { return CVector3(x * scale, y * scale, z * scale); }
    // Division is multiplication by the reciprocal, as everywhere in this code.
    CVector3 operator/(float divisor) const { return *this * (1.0f / divisor); }
    bool     operator==(const CVector3& other) const { return x == other.x && y == other.y && z == other.z; }

    float Length() const { return std::sqrt(x * x + y * y + z * z); }
};

inline float Dot(const CVector3& a, const CVector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline CVector3 Cross(const CVector3& a, const CVector3& b) {
    return CVector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// Unit length; a zero vector is not guarded (its components become NaN), so
// callers normalise only vectors they know to be non-zero.
inline CVector3 Normalize(const CVector3& v) {
    return v * (1.0f / v.Length());
}
