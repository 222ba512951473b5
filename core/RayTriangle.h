#pragma once

// Ray against triangle in double precision, for picking the terrain.
struct CRayHit {
    bool   hit = false;
    double t   = 0.0; // distance along the direction; its sign is not checked
    double u   = 0.0; // barycentric weight of corner b
    double v   = 0.0; // barycentric weight of corner c
};

CRayHit IntersectRayTriangle(const double origin[3], const double direction[3], const double a[3], const double b[3],
                             const double c[3]);
