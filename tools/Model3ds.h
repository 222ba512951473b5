#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A model being built: meshes of triangles in a y-up world frame (x right,
// z forward, the way a unit faces when its model is not turned), and the
// materials they use. Encode3ds writes the binary 3DS file: the main chunk
// 0x4D4D with the version, the editor chunk 0x3D3D starting with its mesh
// version, the materials (name, diffuse colour, optional texture map) and
// one object per mesh (vertices, texture coordinates, faces with their
// material). 3DS is z-up, so (x, y, z) is stored as (x, -z, y); a reader
// that maps (x, y, z) to (x, z, -y) gets the world frame back.
class CModel3ds {
public:
    struct Vertex {
        float x, y, z;
        float s, t;
    };

    struct Material {
        std::string name;
        uint8_t     red, green, blue;
        std::string texture; // empty: untextured
    };

    struct Mesh {
        std::string         name;
        int                 material = 0;
        std::vector<Vertex> vertices;
        std::vector<int>    faces; // three vertex indices per face, counter-clockwise seen from outside
    };

    int AddMaterial(const std::string& name, uint8_t red, uint8_t green, uint8_t blue, const std::string& texture = "");
    Mesh& AddMesh(const std::string& name, int material);

    const std::vector<Material>& GetMaterials() const { return materials; }
    const std::vector<Mesh>&     GetMeshes() const { return meshes; }
    int                          GetFaceCount() const;

    std::vector<uint8_t> Encode3ds() const;

private:
    std::vector<Material> materials;
    std::vector<Mesh>     meshes;
};
