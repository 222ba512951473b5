#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "ImageTools.h"
#include "TestSupport.h"
#include "render/ModelFile.h"

// 3DS models made by an independent exporter (assimp) from OBJ text, or by hand for what it never writes.
namespace ModelTools {

// Writes <name>.obj and .mtl into `folder` and exports <folder>/<name>.3ds; false when the exporter failed.
inline bool ExportModel(const std::string& folder, const std::string& name, const std::string& obj,
                        const std::string& mtl) {
    MakeFolders(folder);
    const std::string base = folder + "/" + name;
    WriteFile(base + ".obj", "mtllib " + name + ".mtl\n" + obj);
    WriteFile(base + ".mtl", mtl);
    const std::string command = "assimp export " + base + ".obj " + base + ".3ds >/dev/null 2>&1";
    return std::system(command.c_str()) == 0 && FileExists(base + ".3ds");
}

// A closed UV sphere of the given radius around the origin, one material.
inline std::string SphereObj(float radius, const std::string& material, int slices = 24, int stacks = 16) {
    const float pi  = 3.14159265f;
    std::string obj = "o sphere\n";
    for (int stack = 0; stack <= stacks; ++stack) {
        const float polar = pi * static_cast<float>(stack) / static_cast<float>(stacks);
        for (int slice = 0; slice < slices; ++slice) {
            const float azimuth = 2.0f * pi * static_cast<float>(slice) / static_cast<float>(slices);
            obj += "v " + std::to_string(radius * std::sin(polar) * std::cos(azimuth)) + " " +
                   std::to_string(radius * std::sin(polar) * std::sin(azimuth)) + " " +
                   std::to_string(radius * std::cos(polar)) + "\n";
        }
    }
    obj += "usemtl " + material + "\n";
    const auto index = [slices](int stack, int slice) { return stack * slices + slice % slices + 1; };
    for (int stack = 0; stack < stacks; ++stack) {
        for (int slice = 0; slice < slices; ++slice) {
            const int a = index(stack, slice), b = index(stack + 1, slice);
            const int c = index(stack + 1, slice + 1), d = index(stack, slice + 1);
            obj += "f " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + "\n";
            obj += "f " + std::to_string(a) + " " + std::to_string(c) + " " + std::to_string(d) + "\n";
        }
    }
    return obj;
}

// A box from (x0, y0, z0) to (x1, y1, z1) in the file's z-up axes, wound outwards, each face the whole texture.
inline std::string BoxObj(const std::string& name, const std::string& material, float x0, float y0, float z0, float x1,
                          float y1, float z1, int firstVertex, int firstCoord) {
    std::string obj = "o " + name + "\n";
    for (int corner = 0; corner < 8; ++corner) {
        obj += "v " + std::to_string(corner & 1 ? x1 : x0) + " " + std::to_string(corner & 2 ? y1 : y0) + " " +
               std::to_string(corner & 4 ? z1 : z0) + "\n";
    }
    obj += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl " + material + "\n";
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& face : faces) {
        obj += "f";
        for (int i = 0; i < 4; ++i) {
            obj += " " + std::to_string(face[i] + firstVertex) + "/" + std::to_string(i + firstCoord);
        }
        obj += "\n";
    }
    return obj;
}

// An 8 x 8 checker of blue and yellow squares of 2 texels, as a 24-bit BMP.
inline bool WriteCheckerTexture(const std::string& path) {
    std::vector<uint8_t> raw;
    for (int texel = 0; texel < 64; ++texel) {
        const uint8_t yellow = (texel / 16 + texel % 8 / 2) % 2 != 0 ? 255 : 0;
        raw.insert(raw.end(), {yellow, yellow, static_cast<uint8_t>(255 - yellow)});
    }
    return ConvertRawImage(raw, "rgb", 8, 8, "bmp3:" + path);
}

// Builds chunks by hand, for the cases an exporter never writes.
class CChunkWriter {
public:
    std::vector<uint8_t> bytes;

    CChunkWriter& U16(uint16_t value) {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
        return *this;
    }
    CChunkWriter& U32(uint32_t value) {
        return U16(static_cast<uint16_t>(value)).U16(static_cast<uint16_t>(value >> 16));
    }
    CChunkWriter& Float(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return U32(bits);
    }
    // A chunk around `body`, with its true length unless one is given.
    static std::vector<uint8_t> Chunk(uint16_t id, const std::vector<uint8_t>& body, long length = -1) {
        CChunkWriter writer;
        writer.U16(id).U32(length >= 0 ? static_cast<uint32_t>(length) : static_cast<uint32_t>(body.size() + 6));
        writer.bytes.insert(writer.bytes.end(), body.begin(), body.end());
        return writer.bytes;
    }
};

inline std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> joined;
    for (const auto& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

// One mesh "box": vertices (x, y, z) and faces (three corners and a flag), a version chunk unless it is 0.
inline std::vector<uint8_t> HandMadeModel(uint32_t version, std::initializer_list<float> coordinates,
                                          std::initializer_list<uint16_t> corners) {
    CChunkWriter vertices, faces, versionBody;
    vertices.U16(static_cast<uint16_t>(coordinates.size() / 3));
    for (const float coordinate : coordinates) {
        vertices.Float(coordinate);
    }
    faces.U16(static_cast<uint16_t>(corners.size() / 4));
    for (const uint16_t corner : corners) {
        faces.U16(corner);
    }
    versionBody.U32(version);
    const auto mesh   = CChunkWriter::Chunk(CModelFile::chunkTriangleMesh,
                                            Join({CChunkWriter::Chunk(CModelFile::chunkVertices, vertices.bytes),
                                                  CChunkWriter::Chunk(CModelFile::chunkFaces, faces.bytes)}));
    const auto object = CChunkWriter::Chunk(CModelFile::chunkObject, Join({{'b', 'o', 'x', 0}, mesh}));
    const auto editor =
        CChunkWriter::Chunk(CModelFile::chunkEditor, Join({CChunkWriter::Chunk(0x3D3E, {3, 0, 0, 0}), object}));
    return CChunkWriter::Chunk(
        CModelFile::chunkPrimary,
        version == 0 ? editor : Join({CChunkWriter::Chunk(CModelFile::chunkVersion, versionBody.bytes), editor}));
}

// A triangle, a second face naming a vertex that does not exist, and one vertex that no face uses.
inline std::vector<uint8_t> HandMadeModel(uint32_t version) {
    return HandMadeModel(version, {0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5}, {0, 1, 2, 0, 0, 1, 9, 0});
}

} // namespace ModelTools
