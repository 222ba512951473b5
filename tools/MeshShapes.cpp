#include "tools/MeshShapes.h"

#include <algorithm>
#include <cmath>

#include "tools/Noise.h"

namespace MeshShapes {

namespace {

constexpr double pi = 3.14159265358979323846;

Vec Add(Vec a, Vec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec Sub(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec Mul(Vec a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vec Cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Normalise(Vec a) {
    const double length = std::sqrt(Dot(a, a));
    return length > 0.0 ? Mul(a, 1.0 / length) : Vec{0, 1, 0};
}

int AddVertex(CModel3ds::Mesh& mesh, Vec p, double s, double t) {
    mesh.vertices.push_back({static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z),
                             static_cast<float>(s), static_cast<float>(t)});
    return static_cast<int>(mesh.vertices.size()) - 1;
}

void AddFace(CModel3ds::Mesh& mesh, int a, int b, int c) {
    mesh.faces.push_back(a);
    mesh.faces.push_back(b);
    mesh.faces.push_back(c);
}

// A planar polygon (3 or 4 corners) with its own vertices, wound so that its
// normal points along `outward`; texture coordinates follow the two
// in-plane directions, scaled to span 0..1 over the polygon.
void AddPlanar(CModel3ds::Mesh& mesh, const Vec* corners, int count, Vec outward) {
    const Vec  normal = Cross(Sub(corners[1], corners[0]), Sub(corners[2], corners[0]));
    const bool flip   = Dot(normal, outward) < 0.0;
    const Vec  n      = Normalise(flip ? Mul(normal, -1.0) : normal);
    const Vec  axisS  = Normalise(std::fabs(n.y) > 0.9 ? Vec{1, 0, 0} : Cross(Vec{0, 1, 0}, n));
    const Vec  axisT  = Cross(n, axisS);
    double     low[2] = {1e30, 1e30}, high[2] = {-1e30, -1e30};
    for (int i = 0; i < count; ++i) {
        const double st[2] = {Dot(corners[i], axisS), Dot(corners[i], axisT)};
        for (int k = 0; k < 2; ++k) {
            low[k]  = std::min(low[k], st[k]);
            high[k] = std::max(high[k], st[k]);
        }
    }
    const auto unit = [&low, &high](double value, int k) {
        return high[k] > low[k] ? (value - low[k]) / (high[k] - low[k]) : 0.0;
    };
    int index[4];
    for (int i = 0; i < count; ++i) {
        const Vec& p = corners[flip ? count - 1 - i : i];
        index[i]     = AddVertex(mesh, p, unit(Dot(p, axisS), 0), unit(Dot(p, axisT), 1));
    }
    AddFace(mesh, index[0], index[1], index[2]);
    if (count == 4) {
        AddFace(mesh, index[0], index[2], index[3]);
    }
}

// Two unit vectors that complete `axis` to a right-handed frame (e1 x e2 = axis).
void Frame(Vec axis, Vec& e1, Vec& e2) {
    const Vec helper = std::fabs(axis.y) < 0.9 ? Vec{0, 1, 0} : Vec{1, 0, 0};
    e1               = Normalise(Cross(helper, axis));
    e2               = Cross(axis, e1);
}

} // namespace

void AddBox(CModel3ds::Mesh& mesh, Vec centre, Vec size) {
    const Vec half = Mul(size, 0.5);
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = -1; side <= 1; side += 2) {
            Vec corners[4];
            for (int k = 0; k < 4; ++k) {
                const double a = (k == 1 || k == 2) ? 1.0 : -1.0, b = (k >= 2) ? 1.0 : -1.0;
                const double c[3] = {axis == 0 ? side : a, axis == 1 ? side : (axis == 0 ? a : b),
                                     axis == 2 ? side : b};
                corners[k] = {centre.x + c[0] * half.x, centre.y + c[1] * half.y, centre.z + c[2] * half.z};
            }
            const Vec outward = {axis == 0 ? side : 0.0, axis == 1 ? side : 0.0, axis == 2 ? side : 0.0};
            AddPlanar(mesh, corners, 4, outward);
        }
    }
}

void AddCylinder(CModel3ds::Mesh& mesh, Vec base, Vec axis, double radius, double length, int segments) {
    Vec e1, e2;
    axis = Normalise(axis);
    Frame(axis, e1, e2);
    const Vec top   = Add(base, Mul(axis, length));
    const int first = static_cast<int>(mesh.vertices.size());
    for (int i = 0; i <= segments; ++i) {
        const double angle  = 2.0 * pi * i / segments;
        const Vec    radial = Add(Mul(e1, std::cos(angle) * radius), Mul(e2, std::sin(angle) * radius));
        const double s      = static_cast<double>(i) / segments;
        AddVertex(mesh, Add(base, radial), s, 0.0);
        AddVertex(mesh, Add(top, radial), s, 1.0);
    }
    for (int i = 0; i < segments; ++i) {
        const int b0 = first + 2 * i, t0 = b0 + 1, b1 = b0 + 2, t1 = b0 + 3;
        AddFace(mesh, b0, b1, t1);
        AddFace(mesh, b0, t1, t0);
    }
    // Caps with their own vertices, so the rim stays sharp.
    const int bottomCentre = AddVertex(mesh, base, 0.5, 0.5);
    const int topCentre    = AddVertex(mesh, top, 0.5, 0.5);
    const int rim          = static_cast<int>(mesh.vertices.size());
    for (int i = 0; i < segments; ++i) {
        const double angle = 2.0 * pi * i / segments;
        const Vec    r     = Add(Mul(e1, std::cos(angle) * radius), Mul(e2, std::sin(angle) * radius));
        const double s = 0.5 + 0.5 * std::cos(angle), t = 0.5 + 0.5 * std::sin(angle);
        AddVertex(mesh, Add(base, r), s, t);
        AddVertex(mesh, Add(top, r), s, t);
    }
    for (int i = 0; i < segments; ++i) {
        const int next = (i + 1) % segments;
        AddFace(mesh, bottomCentre, rim + 2 * next, rim + 2 * i);
        AddFace(mesh, topCentre, rim + 2 * i + 1, rim + 2 * next + 1);
    }
}

void AddCone(CModel3ds::Mesh& mesh, Vec base, double radius, double height, int segments) {
    const Vec apex   = {base.x, base.y + height, base.z};
    const int centre = AddVertex(mesh, base, 0.5, 0.5);
    const int tip    = AddVertex(mesh, apex, 0.5, 1.0);
    const int rim    = static_cast<int>(mesh.vertices.size());
    for (int i = 0; i < segments; ++i) {
        // Counter-clockwise seen from above: x towards -z.
        const double angle = 2.0 * pi * i / segments;
        AddVertex(mesh, {base.x + radius * std::cos(angle), base.y, base.z - radius * std::sin(angle)},
                  static_cast<double>(i) / segments, 0.0);
    }
    for (int i = 0; i < segments; ++i) {
        const int next = (i + 1) % segments;
        AddFace(mesh, rim + i, rim + next, tip);
        AddFace(mesh, centre, rim + next, rim + i);
    }
}

void AddBlob(CModel3ds::Mesh& mesh, Vec centre, Vec radii, int rings, int segments, double roughness, unsigned seed) {
    const CNoise noise(seed);
    const int    first = static_cast<int>(mesh.vertices.size());
    for (int j = 0; j <= rings; ++j) {
        const double latitude = -pi / 2 + pi * j / rings;
        for (int i = 0; i <= segments; ++i) {
            // The seam column repeats the first one so the pattern closes.
            const double angle = 2.0 * pi * (i % segments) / segments;
            const Vec    d     = {std::cos(latitude) * std::cos(angle), std::sin(latitude),
                                  -std::cos(latitude) * std::sin(angle)};
            const double bump  = 1.0 + roughness * noise.Fractal3(d.x * 1.7, d.y * 1.7, d.z * 1.7, 3);
            const Vec    p     = {centre.x + d.x * radii.x * bump, centre.y + d.y * radii.y * bump,
                                  centre.z + d.z * radii.z * bump};
            AddVertex(mesh, p, static_cast<double>(i) / segments, static_cast<double>(j) / rings);
        }
    }
    for (int j = 0; j < rings; ++j) {
        for (int i = 0; i < segments; ++i) {
            const int a = first + j * (segments + 1) + i, b = a + 1, c = b + segments + 1, d = a + segments + 1;
            if (j > 0) {
                AddFace(mesh, a, b, c);
            }
            if (j + 1 < rings) {
                AddFace(mesh, a, c, d);
            }
        }
    }
}

void AddGableRoof(CModel3ds::Mesh& mesh, Vec base, double width, double depth, double height) {
    const double hw = width / 2, hd = depth / 2;
    const Vec    centre = {base.x, base.y + height / 3, base.z};
    const Vec    left0 = {base.x - hw, base.y, base.z - hd}, left1 = {base.x - hw, base.y, base.z + hd};
    const Vec    right0 = {base.x + hw, base.y, base.z - hd}, right1 = {base.x + hw, base.y, base.z + hd};
    const Vec    ridge0 = {base.x, base.y + height, base.z - hd}, ridge1 = {base.x, base.y + height, base.z + hd};
    const Vec    leftSlope[4]  = {left0, left1, ridge1, ridge0};
    const Vec    rightSlope[4] = {right0, ridge0, ridge1, right1};
    const Vec    gable0[3]     = {left0, ridge0, right0};
    const Vec    gable1[3]     = {left1, right1, ridge1};
    const Vec    floor[4]      = {left0, right0, right1, left1};
    AddPlanar(mesh, leftSlope, 4, Sub(Mul(Add(left0, ridge1), 0.5), centre));
    AddPlanar(mesh, rightSlope, 4, Sub(Mul(Add(right0, ridge1), 0.5), centre));
    AddPlanar(mesh, gable0, 3, {0, 0, -1});
    AddPlanar(mesh, gable1, 3, {0, 0, 1});
    AddPlanar(mesh, floor, 4, {0, -1, 0});
}

} // namespace MeshShapes
