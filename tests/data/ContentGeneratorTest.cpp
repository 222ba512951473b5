#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "render/ModelFile.h"
#include "TestSupport.h"
#include "core/BmpHandler.h"
#include "tools/ContentGenerator.h"
#include "tools/Image.h"
#include "tools/MeshShapes.h"
#include "tools/Model3ds.h"

namespace {

// Relative path -> content of every file below `folder`.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[std::filesystem::relative(entry.path(), folder).string()] = ReadFile(entry.path().string());
        }
    }
    return files;
}

// Two complete runs into empty folders agree byte for byte; a later run keeps
// an edited file and restores a deleted one exactly.
TEST(ContentGeneratorTest, RunsAreDeterministicAndNeverOverwrite) {
    CContentGenerator first("one"), second("two");
    ASSERT_TRUE(first.Run());
    ASSERT_TRUE(second.Run());
    const auto one = Snapshot("one"), two = Snapshot("two");
    ASSERT_GT(one.size(), 150u);
    ASSERT_EQ(one.size(), two.size());
    for (const auto& [path, content] : one) {
        ASSERT_EQ(two.count(path), 1u) << path;
        EXPECT_TRUE(content == two.at(path)) << path << " differs between two runs";
        EXPECT_EQ(path.find(".part"), std::string::npos) << "temporary file left behind: " << path;
    }

    WriteFile("two/units/tank.xml", "edited by hand");
    std::filesystem::remove("two/music/intro.wav");
    std::filesystem::remove("two/TestLevel/Terrain/terrain_3_5.bmp");
    CContentGenerator again("two");
    ASSERT_TRUE(again.Run());
    EXPECT_EQ(again.GetWrittenCount(), 2);
    EXPECT_EQ(ReadFile("two/units/tank.xml"), "edited by hand");
    EXPECT_TRUE(ReadFile("two/music/intro.wav") == one.at("music/intro.wav"));
    EXPECT_TRUE(ReadFile("two/TestLevel/Terrain/terrain_3_5.bmp") == one.at("TestLevel/Terrain/terrain_3_5.bmp"));
}

// The BMP writer against the game's own BMP reader, on rows that need padding (3 pixels = 9 bytes, padded to 12).
// TGA rows are stored bottom-up: the game's loaders use the stored order as texture rows from t = 0.
TEST(ContentGeneratorTest, ImagesReadBackAsTheGamesReadersExpect) {
    CImage image(3, 2);
    for (int pixel = 0; pixel < 6; ++pixel) {
        image.SetPixel(pixel % 3, pixel / 3, 10 + pixel % 3, 100 + pixel / 3, 200 + pixel % 3 + pixel / 3);
    }
    const std::vector<uint8_t> bytes = image.EncodeBmp();
    WriteFile("small.bmp", std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(bytes.size(), 54u + 2 * 12);
    CBmpHandler reader;
    reader.Load("small.bmp", false);
    ASSERT_EQ(std::make_pair(reader.GetWidth(), reader.GetHeight()), std::make_pair(3, 2));
    for (int pixel = 0; pixel < 6; ++pixel) {
        const int column = pixel % 3, row = pixel / 3;
        EXPECT_EQ(
            std::vector<int>({reader.GetRed(row, column), reader.GetGreen(row, column), reader.GetBlue(row, column)}),
            std::vector<int>({10 + column, 100 + row, 200 + column + row}))
            << column << "," << row;
    }
    CImage tga(2, 2);
    tga.SetPixel(0, 0, 1, 2, 3, 4);     // top left
    tga.SetPixel(0, 1, 50, 60, 70, 80); // bottom left
    const std::vector<uint8_t> rgba = tga.EncodeTga(32);
    const std::vector<uint8_t> rgb  = tga.EncodeTga(24);
    ASSERT_EQ(std::make_pair(rgba.size(), rgb.size()), std::make_pair(size_t{18 + 16}, size_t{18 + 12}));
    EXPECT_EQ(std::make_pair(rgba[16], rgb[16]), std::make_pair(uint8_t{32}, uint8_t{24})) << "bits per pixel";
    const uint8_t bottomLeft[4] = {70, 60, 50, 80};
    EXPECT_EQ(memcmp(&rgba[18], bottomLeft, 4), 0) << "first stored pixel is the bottom-left one, as B, G, R, A";
    EXPECT_EQ(rgb[18 + 2 * 3], 3) << "first pixel of the second stored row is the top-left one's blue";
}

// Every face of a closed convex solid must face away from its centre: the game derives vertex normals from the
// winding and draws the silhouette from the back faces.
TEST(ContentGeneratorTest, ShapeFacesPointOutwardAndCoordinatesStayInTheTexture) {
    CModel3ds model;
    const int material = model.AddMaterial("m", 1, 2, 3, "t.bmp");
    MeshShapes::AddBox(model.AddMesh("box", material), {1, 2, 3}, {4, 2, 6});
    MeshShapes::AddCylinder(model.AddMesh("cylinder", material), {0, 0, 0}, {0, 0, 1}, 1.0, 5.0, 10);
    MeshShapes::AddCylinder(model.AddMesh("upright cylinder", material), {0, 0, 0}, {0, 1, 0}, 1.0, 4.0, 8);
    MeshShapes::AddCone(model.AddMesh("cone", material), {0, 0, 0}, 2.0, 4.0, 10);
    MeshShapes::AddBlob(model.AddMesh("blob", material), {0, 3, 0}, {3, 2, 3}, 8, 12, 0.2, 5);
    MeshShapes::AddGableRoof(model.AddMesh("roof", material), {0, 0, 0}, 4, 6, 3);
    const MeshShapes::Vec centres[] = {{1, 2, 3}, {0, 0, 2.5}, {0, 2, 0}, {0, 1, 0}, {0, 3, 0}, {0, 1, 0}};
    ASSERT_EQ(model.GetMeshes().size(), std::size(centres));
    for (size_t shape = 0; shape < std::size(centres); ++shape) {
        const CModel3ds::Mesh& mesh = model.GetMeshes()[shape];
        const MeshShapes::Vec& c    = centres[shape];
        ASSERT_FALSE(mesh.faces.empty()) << mesh.name;
        for (size_t i = 0; i + 2 < mesh.faces.size(); i += 3) {
            const auto&  a  = mesh.vertices[mesh.faces[i]];
            const auto&  b  = mesh.vertices[mesh.faces[i + 1]];
            const auto&  d  = mesh.vertices[mesh.faces[i + 2]];
            const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = d.x - a.x, vy = d.y - a.y, vz = d.z - a.z;
            const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
            const double mx = (a.x + b.x + d.x) / 3 - c.x, my = (a.y + b.y + d.y) / 3 - c.y,
                         mz = (a.z + b.z + d.z) / 3 - c.z;
            EXPECT_GT(nx * mx + ny * my + nz * mz, 0.0) << mesh.name << " face " << i / 3 << " faces inwards";
        }
        for (const auto& vertex : mesh.vertices) {
            EXPECT_TRUE(vertex.s >= 0.0f && vertex.s <= 1.0f && vertex.t >= 0.0f && vertex.t <= 1.0f)
                << mesh.name << ": the game clamps textures to the edge";
        }
    }
}

// The file stores (x, -z, y) so that the game's reader, turning (x, y, z) into (x, z, -y), gives it back upright.
TEST(ContentGeneratorTest, ModelFileIsZUpAndCountsMatch) {
    CModel3ds        model;
    const int        plain = model.AddMaterial("plain", 10, 20, 30);
    CModel3ds::Mesh& mesh  = model.AddMesh("tri", plain);
    mesh.vertices          = {{1, 2, 3, 0, 0}, {0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}};
    mesh.faces             = {0, 1, 2};
    CModelFile file;
    ASSERT_EQ(file.Parse(model.Encode3ds()), CModelFile::loaded);
    ASSERT_EQ(file.GetMeshes().size(), 1u);
    ASSERT_EQ(file.GetMaterials().size(), 1u);
    const CModelMesh& read = file.GetMeshes()[0];
    EXPECT_EQ(read.faces.size(), 1u);
    EXPECT_FALSE(read.textured);
    EXPECT_FALSE(read.HasTexCoords()) << "no coordinates for an untextured mesh";
    EXPECT_EQ(read.vertices[0], CVector3(1, 2, 3)) << "upright again in the game's axes";
}

} // namespace
