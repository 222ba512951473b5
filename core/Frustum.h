#pragma once

// The six clip planes of the current view, each (a, b, c, d) with (a, b, c)
// of unit length and pointing inwards, in the order right, left, bottom, top,
// far, near. A point's signed distance to a plane is a·x + b·y + c·z + d.
class CFrustum {
public:
    enum Plane { planeRight, planeLeft, planeBottom, planeTop, planeFar, planeNear, planeCount };
    enum Containment { outside = 0, inside = 1, intersecting = 2 };

    // Both matrices column-major, as glGetFloatv returns them; nothing
    // happens if either is null.
    void Update(const float* modelView, const float* projection);

    bool PointInFrustum(float x, float y, float z) const;
    bool SphereInFrustum(float x, float y, float z, float radius) const;
    int  CubeInFrustum(float x, float y, float z, float halfSize) const;
    int  BoxInFrustum(float minX, float maxX, float minY, float maxY, float minZ, float maxZ) const;

    const float* GetPlane(int plane) const { return planes[plane]; }

private:
    float Distance(int plane, float x, float y, float z) const;

    float planes[planeCount][4] = {};
};
