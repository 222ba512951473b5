#pragma once

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "ImageTools.h"
#include "TestSupport.h"

// 3DS models for the drawing tests, made by an independent exporter (assimp)
// from OBJ text written here.
namespace ModelTools {

// Writes <name>.obj (and its <name>.mtl) into `folder` and exports
// <folder>/<name>.3ds with assimp; false when the exporter failed.
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

// An axis-aligned box from (x0, y0, z0) to (x1, y1, z1) in the file's z-up
// axes, faces wound outwards, each face with the full texture square.
inline std::string BoxObj(const std::string& name, const std::string& material, float x0, float y0, float z0, float x1,
                          float y1, float z1, int firstVertex, int firstCoord) {
    std::string obj = "o " + name + "\n";
    for (int corner = 0; corner < 8; ++corner) {
        obj += "v " + std::to_string(corner & 1 ? x1 : x0) + " " + std::to_string(corner & 2 ? y1 : y0) + " " +
               std::to_string(corner & 4 ? z1 : z0) + "\n";
    }
    obj += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl " + material + "\n";
    // Corners of each face, counter-clockwise seen from outside.
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
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const bool blue = ((row / 2) + (column / 2)) % 2 == 0;
            raw.insert(raw.end(),
                       blue ? std::initializer_list<uint8_t>{0, 0, 255} : std::initializer_list<uint8_t>{255, 255, 0});
        }
    }
    return ConvertRawImage(raw, "rgb", 8, 8, "bmp3:" + path);
}

} // namespace ModelTools
