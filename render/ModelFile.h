#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Vector3.h"

struct CModelMaterial {
    std::string name;
    std::string textureFile; // empty when the material has no texture map
    uint8_t     colour[3] = {0, 0, 0};
    int         index     = 0;
};

struct CModelFace {
    uint16_t corners[3] = {0, 0, 0};
};

struct CModelMesh {
    std::string             objectName;
    int                     materialIndex = -1;
    bool                    textured      = false;
    std::vector<CVector3>   vertices;  // world orientation: y up
    std::vector<CVector3>   normals;   // one per vertex, unit length
    std::vector<float>      texCoords; // s, t per coordinate
    std::vector<CModelFace> faces;

    bool HasTexCoords() const { return !texCoords.empty(); }
    // The coordinate of a vertex, (0, 0) when the mesh has none for it.
    void TexCoordAt(int vertex, float& s, float& t) const;
};

// The content of a binary 3DS file: meshes and materials, converted from the
// file's z-up axes to y up, with smooth vertex normals and the model's radius.
// Parsing is apart from any GL work so it can be tested and fuzzed alone. The
// file is untrusted: every chunk is bounded by its parent, counts by their
// chunk, faces that name missing vertices are dropped, and nesting is limited.
class CModelFile {
public:
    enum Result { loaded, fileMissing, notPrimaryChunk };

    static constexpr uint16_t chunkPrimary      = 0x4D4D;
    static constexpr uint16_t chunkVersion      = 0x0002;
    static constexpr uint16_t chunkEditor       = 0x3D3D;
    static constexpr uint16_t chunkObject       = 0x4000;
    static constexpr uint16_t chunkTriangleMesh = 0x4100;
    static constexpr uint16_t chunkVertices     = 0x4110;
    static constexpr uint16_t chunkFaces        = 0x4120;
    static constexpr uint16_t chunkFaceMaterial = 0x4130;
    static constexpr uint16_t chunkTexCoords    = 0x4140;
    static constexpr uint16_t chunkMaterial     = 0xAFFF;
    static constexpr uint16_t chunkMaterialName = 0xA000;
    static constexpr uint16_t chunkDiffuse      = 0xA020;
    static constexpr uint16_t chunkTextureMap   = 0xA200;
    static constexpr uint16_t chunkTextureFile  = 0xA300;
    static constexpr uint16_t chunkColourFloat  = 0x0010;
    static constexpr uint16_t chunkColourBytes  = 0x0011;
    static constexpr uint16_t chunkColourGamma  = 0x0012;

    // Files up to this version load without a warning.
    static constexpr uint32_t lastKnownVersion = 3;
    // Chunks nested deeper than this are skipped.
    static constexpr int maxDepth = 32;
    // No model of the game is more than a few hundred units across, and the
    // largest map a few thousand: a vertex coordinate beyond this belongs to
    // a broken file. It is clamped, so the radius (an int), bounding spheres,
    // normals and picking stay finite.
    static constexpr float maxCoordinate = 100000.0f;

    Result LoadFile(const char* path);
    Result Parse(const std::vector<uint8_t>& bytes);

    // Set when the file declares a version above lastKnownVersion.
    bool IsNewerVersion() const { return newerVersion; }
    // Set when the file ends before its primary chunk does (a cut file).
    bool IsTruncated() const { return truncated; }
    int  GetRadius() const { return radius; }
    // Vertex coordinates of the last parse that were clamped to maxCoordinate.
    int GetClampedCoordinates() const { return clampedCoordinates; }
    // Of the last parse: coordinates that were not finite numbers (read as
    // 0), and chunk lengths and list counts that claimed more than their
    // chunk holds (cut to it). A cut file's own shortfall is IsTruncated.
    int GetNonFiniteCoordinates() const { return nonFiniteCoordinates; }
    int GetLyingLengths() const { return lyingLengths; }
    int GetLyingCounts() const { return lyingCounts; }

    const std::vector<CModelMesh>&     GetMeshes() const { return meshes; }
    const std::vector<CModelMaterial>& GetMaterials() const { return materials; }

private:
    class CChunkReader;

    void  ReadChildren(CChunkReader& reader, size_t end, uint16_t parent, int depth);
    void  ReadChunk(CChunkReader& reader, uint16_t id, size_t end, uint16_t parent, int depth);
    void  ReadVertices(CChunkReader& reader, size_t end);
    float Coordinate(float value);
    void  ReadFaces(CChunkReader& reader, size_t end);
    void  ReadFaceMaterial(CChunkReader& reader, size_t end);
    void  ReadTexCoords(CChunkReader& reader, size_t end);
    void  ReadDiffuse(CChunkReader& reader, size_t end);
    void  DropBrokenFaces();
    void  CalcNormals();
    void  CalcRadius();

    std::vector<CModelMesh>     meshes;
    std::vector<CModelMaterial> materials;
    bool                        newerVersion         = false;
    bool                        truncated            = false;
    int                         radius               = 0;
    int                         clampedCoordinates   = 0;
    int                         nonFiniteCoordinates = 0;
    int                         lyingLengths         = 0;
    int                         lyingCounts          = 0;
};
