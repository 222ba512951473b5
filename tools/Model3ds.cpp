#include "tools/Model3ds.h"

#include "tools/ByteBuffer.h"

namespace {

constexpr uint32_t chunkMain          = 0x4D4D;
constexpr uint32_t chunkVersion       = 0x0002;
constexpr uint32_t chunkEditor        = 0x3D3D;
constexpr uint32_t chunkMeshVersion   = 0x3D3E;
constexpr uint32_t chunkMaterial      = 0xAFFF;
constexpr uint32_t chunkMaterialName  = 0xA000;
constexpr uint32_t chunkDiffuse       = 0xA020;
constexpr uint32_t chunkColour24      = 0x0011;
constexpr uint32_t chunkTextureMap    = 0xA200;
constexpr uint32_t chunkMapFileName   = 0xA300;
constexpr uint32_t chunkObject        = 0x4000;
constexpr uint32_t chunkTriangleMesh  = 0x4100;
constexpr uint32_t chunkVertices      = 0x4110;
constexpr uint32_t chunkFaces         = 0x4120;
constexpr uint32_t chunkFaceMaterial  = 0x4130;
constexpr uint32_t chunkTextureCoords = 0x4140;
constexpr uint32_t fileVersion        = 3;
// Face flags: all three edges visible.
constexpr uint32_t faceEdgesVisible = 0x0007;

// Writes a chunk header whose length is filled in by End.
class CChunk {
public:
    CChunk(CByteBuffer& out, uint32_t id) : out(out), start(out.Size()) {
        out.PutU16(id);
        out.PutU32(0);
    }
    ~CChunk() { out.PatchU32(start + 2, static_cast<uint32_t>(out.Size() - start)); }
    CChunk(const CChunk&)            = delete;
    CChunk& operator=(const CChunk&) = delete;

private:
    CByteBuffer& out;
    size_t       start;
};

void WriteMaterial(CByteBuffer& out, const CModel3ds::Material& material) {
    CChunk chunk(out, chunkMaterial);
    {
        CChunk name(out, chunkMaterialName);
        out.PutCString(material.name);
    }
    {
        CChunk diffuse(out, chunkDiffuse);
        CChunk colour(out, chunkColour24);
        out.PutU8(material.red);
        out.PutU8(material.green);
        out.PutU8(material.blue);
    }
    if (!material.texture.empty()) {
        CChunk map(out, chunkTextureMap);
        CChunk fileName(out, chunkMapFileName);
        out.PutCString(material.texture);
    }
}

void WriteMesh(CByteBuffer& out, const CModel3ds::Mesh& mesh, const CModel3ds::Material& material) {
    CChunk object(out, chunkObject);
    out.PutCString(mesh.name);
    CChunk triangles(out, chunkTriangleMesh);
    {
        CChunk vertices(out, chunkVertices);
        out.PutU16(static_cast<uint32_t>(mesh.vertices.size()));
        for (const CModel3ds::Vertex& vertex : mesh.vertices) {
            out.PutFloat(vertex.x);
            out.PutFloat(-vertex.z);
            out.PutFloat(vertex.y);
        }
    }
    if (!material.texture.empty()) {
        CChunk coordinates(out, chunkTextureCoords);
        out.PutU16(static_cast<uint32_t>(mesh.vertices.size()));
        for (const CModel3ds::Vertex& vertex : mesh.vertices) {
            out.PutFloat(vertex.s);
            out.PutFloat(vertex.t);
        }
    }
    CChunk     faces(out, chunkFaces);
    const auto faceCount = static_cast<uint32_t>(mesh.faces.size() / 3);
    out.PutU16(faceCount);
    for (size_t i = 0; i + 2 < mesh.faces.size(); i += 3) {
        out.PutU16(static_cast<uint32_t>(mesh.faces[i]));
        out.PutU16(static_cast<uint32_t>(mesh.faces[i + 1]));
        out.PutU16(static_cast<uint32_t>(mesh.faces[i + 2]));
        out.PutU16(faceEdgesVisible);
    }
    CChunk faceMaterial(out, chunkFaceMaterial);
    out.PutCString(material.name);
    out.PutU16(faceCount);
    for (uint32_t face = 0; face < faceCount; ++face) {
        out.PutU16(face);
    }
}

} // namespace

int CModel3ds::AddMaterial(const std::string& name, uint8_t red, uint8_t green, uint8_t blue,
                           const std::string& texture) {
    materials.push_back({name, red, green, blue, texture});
    return static_cast<int>(materials.size()) - 1;
}

CModel3ds::Mesh& CModel3ds::AddMesh(const std::string& name, int material) {
    meshes.emplace_back();
    meshes.back().name     = name;
    meshes.back().material = material;
    return meshes.back();
}

int CModel3ds::GetFaceCount() const {
    int count = 0;
    for (const Mesh& mesh : meshes) {
        count += static_cast<int>(mesh.faces.size() / 3);
    }
    return count;
}

std::vector<uint8_t> CModel3ds::Encode3ds() const {
    CByteBuffer out;
    {
        CChunk main(out, chunkMain);
        {
            CChunk version(out, chunkVersion);
            out.PutU32(fileVersion);
        }
        CChunk editor(out, chunkEditor);
        {
            CChunk meshVersion(out, chunkMeshVersion);
            out.PutU32(fileVersion);
        }
        for (const Material& material : materials) {
            WriteMaterial(out, material);
        }
        for (const Mesh& mesh : meshes) {
            WriteMesh(out, mesh, materials[static_cast<size_t>(mesh.material)]);
        }
    }
    return out.Take();
}
