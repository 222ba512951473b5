#pragma once

// A rotation; the identity is (0, 0, 0, 1). Angles are in degrees.
struct CQuaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    static CQuaternion FromAxisAngle(float angleDegrees, float axisX, float axisY, float axisZ);
};

// The Hamilton product a·b (apply b, then a).
CQuaternion Multiply(const CQuaternion& a, const CQuaternion& b);
CQuaternion Conjugate(const CQuaternion& q);
