#pragma once

// 16 floats in OpenGL's column-major order: element (row r, column c) is at
// index c * 4 + r, as glGetFloatv returns it.
struct CMatrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float At(int row, int column) const { return m[column * 4 + row]; }
};

struct CVector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// matrix × (x, y, z, w). An affine matrix (last row exactly 0, 0, 0, 1) keeps w.
CVector4 Transform(const CMatrix4& matrix, float x, float y, float z, float w);

// Divides x, y and z by w, unless w is 0 or exactly 1.
CVector4 Project(float x, float y, float z, float w);
