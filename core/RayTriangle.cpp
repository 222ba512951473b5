#include "core/RayTriangle.h"

namespace {

// Rays closer than this to the triangle's plane count as parallel.
constexpr double parallelEpsilon = 1e-6;

struct CVec3d {
    double x, y, z;
};

CVec3d Sub(const double a[3], const double b[3]) {
    return CVec3d{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

CVec3d CrossD(const CVec3d& a, const CVec3d& b) {
    return CVec3d{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double DotD(const CVec3d& a, const CVec3d& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

CRayHit IntersectRayTriangle(const double origin[3], const double direction[3], const double a[3], const double b[3],
                             const double c[3]) {
    CRayHit      result;
    const CVec3d dir{direction[0], direction[1], direction[2]};
    const CVec3d edge1 = Sub(b, a);
    const CVec3d edge2 = Sub(c, a);
    const CVec3d p     = CrossD(dir, edge2);
    const double det   = DotD(edge1, p);
    if (det > -parallelEpsilon && det < parallelEpsilon) {
        return result;
    }
    const CVec3d s = Sub(origin, a);
    const double u = DotD(s, p) / det;
    if (u < 0.0 || u > 1.0) {
        return result;
    }
    const CVec3d q = CrossD(s, edge1);
    const double v = DotD(dir, q) / det;
    if (v < 0.0 || u + v > 1.0) {
        return result;
    }
    result.hit = true;
    result.t   = DotD(edge2, q) / det;
    result.u   = u;
    result.v   = v;
    return result;
}
