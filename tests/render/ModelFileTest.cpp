#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "render/ModelTools.h"
#include "render/ModelFile.h"

namespace {

// "hull": untextured red, vertex (1, 2, 3), farthest vertex at 9.99; "turret": textured green.
const char* const objText = "o hull\nv 1 2 3\nv 4 0 0\nv 0 5 0\nv 0 0 9.99\n"
                            "vt 0 0\nvt 1 0\nvt 0 1\n"
                            "usemtl painted\nf 1 2 3\nf 1 3 4\n"
                            "o turret\nv 0 0 1\nv 1 0 1\nv 0 1 1\n"
                            "usemtl skin\nf 5/1 6/2 7/3\n";
const char* const mtlText = "newmtl painted\nKd 1.0 0.0 0.0\nnewmtl skin\nKd 0.0 1.0 0.0\nmap_Kd skin.bmp\n";

const CModelMesh* FindMesh(const CModelFile& model, bool textured) {
    for (const CModelMesh& mesh : model.GetMeshes()) {
        if (mesh.textured == textured && !mesh.faces.empty()) {
            return &mesh;
        }
    }
    return nullptr;
}

// A missing file and a wrong first chunk are reported; a file from an independent exporter is read.
TEST(ModelFile, ReadsAFileFromAnIndependentExporterAndReportsOthers) {
    CTempWorkDir dir;
    CModelFile   model;
    EXPECT_EQ(model.LoadFile("none.3ds"), CModelFile::fileMissing);
    WriteFile("text.3ds", "not a model at all");
    EXPECT_EQ(model.LoadFile("text.3ds"), CModelFile::notPrimaryChunk);
    WriteFile("short.3ds", "MM");
    EXPECT_EQ(model.LoadFile("short.3ds"), CModelFile::notPrimaryChunk);
    EXPECT_TRUE(model.GetMeshes().empty());
    ASSERT_TRUE(ModelTools::ExportModel(".", "model", objText, mtlText)) << "assimp (assimp-utils) must export it";
    ASSERT_EQ(model.LoadFile("model.3ds"), CModelFile::loaded);
    EXPECT_FALSE(model.IsNewerVersion());
    EXPECT_EQ(model.GetRadius(), 9) << "9.99 truncates to 9";

    const CModelMesh* hull   = FindMesh(model, false);
    const CModelMesh* turret = FindMesh(model, true);
    ASSERT_TRUE(hull != nullptr && turret != nullptr);
    EXPECT_EQ(hull->faces.size(), 2u);
    EXPECT_EQ(turret->faces.size(), 1u);
    EXPECT_TRUE(std::any_of(hull->vertices.begin(), hull->vertices.end(), [](const CVector3& vertex) {
        return (vertex - CVector3(1, 3, -2)).Length() < 1e-5f;
    })) << "(x, y, z) in the file is (x, z, -y) in the world";
    ASSERT_GE(hull->materialIndex, 0);
    const CModelMaterial& red = model.GetMaterials()[hull->materialIndex];
    EXPECT_TRUE(red.colour[0] == 255 && red.colour[1] == 0 && red.textureFile.empty());
    EXPECT_EQ(model.GetMaterials()[turret->materialIndex].textureFile, "skin.bmp");
    EXPECT_TRUE(turret->HasTexCoords());
    for (const CModelMesh& mesh : model.GetMeshes()) {
        ASSERT_EQ(mesh.normals.size(), mesh.vertices.size());
        for (const CVector3& normal : mesh.normals) {
            EXPECT_NEAR(normal.Length(), 1.0f, 1e-4f);
        }
    }
}

using ModelTools::HandMadeModel;

// Vertices far beyond any model's size are clamped, so the radius, normals and bounding
// spheres stay finite; coordinates that are not numbers are 0. Faces naming missing vertices
// are dropped, unused vertices get an up normal, and version 4 is flagged and still read.
TEST(ModelFile, ClampsFarVerticesDropsFacesBeyondTheVerticesAndFlagsNewerVersions) {
    CModelFile model;
    ASSERT_EQ(model.Parse(HandMadeModel(0, {1e30f, 0, 0, 0, -3e9f, 0, NAN, 0, 1}, {0, 1, 2, 0})), CModelFile::loaded);
    ASSERT_EQ(model.GetMeshes().size(), 1u);
    const CModelMesh& spike = model.GetMeshes()[0];
    EXPECT_EQ(spike.vertices[0], CVector3(CModelFile::maxCoordinate, 0, 0));
    EXPECT_EQ(spike.vertices[1], CVector3(0, 0, CModelFile::maxCoordinate)) << "file y -3e9 is world z +1e5";
    EXPECT_EQ(spike.vertices[2], CVector3(0, 1, 0));
    EXPECT_EQ(model.GetClampedCoordinates(), 2);
    EXPECT_EQ(model.GetRadius(), static_cast<int>(CModelFile::maxCoordinate));
    for (const CVector3& normal : spike.normals) {
        EXPECT_NEAR(normal.Length(), 1.0f, 1e-4f);
    }
    ASSERT_EQ(model.Parse(HandMadeModel(3)), CModelFile::loaded);
    EXPECT_EQ(model.GetClampedCoordinates(), 0) << "the count belongs to the last parse";
    ASSERT_EQ(model.GetMeshes().size(), 1u);
    const CModelMesh& mesh = model.GetMeshes()[0];
    EXPECT_EQ(mesh.objectName, "box");
    EXPECT_EQ(mesh.faces.size(), 1u);
    EXPECT_EQ(mesh.materialIndex, -1);
    EXPECT_EQ(mesh.normals[3], CVector3(0, 1, 0));
    EXPECT_FALSE(model.IsNewerVersion());
    EXPECT_EQ(model.GetRadius(), 8) << "|(5, 5, -5)| = 8.66";
    ASSERT_EQ(model.Parse(HandMadeModel(4)), CModelFile::loaded);
    EXPECT_TRUE(model.IsNewerVersion());
    EXPECT_EQ(model.GetMeshes().size(), 1u);
}

TEST(ModelFile, EveryTruncationAndLyingLengthLoadsWhatIsSound) {
    const std::vector<uint8_t> whole = HandMadeModel(3);
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        CModelFile model;
        model.Parse(std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        for (const CModelMesh& mesh : model.GetMeshes()) {
            for (const CModelFace& face : mesh.faces) {
                for (uint16_t corner : face.corners) {
                    ASSERT_LT(corner, mesh.vertices.size()) << "cut at " << cut;
                }
            }
        }
    }
    for (uint32_t lie : {0u, 1u, 5u, 7u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> bytes = HandMadeModel(3);
        for (size_t at = 2; at + 4 <= bytes.size(); at += 7) {
            std::vector<uint8_t> lying = bytes;
            for (int i = 0; i < 4; ++i) {
                lying[at + i] = static_cast<uint8_t>(lie >> (8 * i));
            }
            CModelFile model;
            model.Parse(lying); // must end, in bounds, under the sanitizers
        }
    }
}

} // namespace
