#pragma once

#include "tools/Model3ds.h"

// Primitive solids appended to a mesh, all with outward counter-clockwise
// faces. Texture coordinates stay within 0..1 (the game clamps textures to
// the edge): each flat face spans the whole texture, round ones wrap it once.
namespace MeshShapes {

struct Vec {
    double x, y, z;
};

void AddBox(CModel3ds::Mesh& mesh, Vec centre, Vec size);
// A closed cylinder from `base` along the unit vector `axis`.
void AddCylinder(CModel3ds::Mesh& mesh, Vec base, Vec axis, double radius, double length, int segments);
// An upright cone standing on `base`.
void AddCone(CModel3ds::Mesh& mesh, Vec base, double radius, double height, int segments);
// An ellipsoid whose radius varies by up to `roughness` (a fraction) with a
// seeded pattern, for rocks and tree crowns.
void AddBlob(CModel3ds::Mesh& mesh, Vec centre, Vec radii, int rings, int segments, double roughness, unsigned seed);
// A gable roof standing on the rectangle of `width` (x) by `depth` (z) at height y.
void AddGableRoof(CModel3ds::Mesh& mesh, Vec base, double width, double depth, double height);

} // namespace MeshShapes
