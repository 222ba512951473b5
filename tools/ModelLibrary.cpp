#include <cmath>
#include <functional>
#include <string>

#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"
#include "tools/Image.h"
#include "tools/MeshShapes.h"
#include "tools/Model3ds.h"
#include "tools/Noise.h"

// The 3DS models of the units and the map objects, and their textures in
// "objects". Sizes are model units before the game's scale (units are drawn
// at scale 2, a tile is 64 world units): vehicles are about 18 long, facing
// +z. Every model mixes textured and untextured meshes.
namespace {

using MeshShapes::Vec;

constexpr int    textureSize = 128;
constexpr double pi          = 3.14159265358979323846;

struct Palette {
    double r, g, b;
};

// A texture of two or three colours chosen by noise thresholds, with grain.
CImage PaintTexture(unsigned seed, double frequency, const Palette* colours, int colourCount, double grain) {
    const CNoise noise(seed);
    CImage       image(textureSize, textureSize);
    for (int row = 0; row < textureSize; ++row) {
        for (int column = 0; column < textureSize; ++column) {
            const double   x = column * frequency / textureSize, y = row * frequency / textureSize;
            const double   n = 0.5 + 0.5 * noise.Fractal2(x, y, 4);
            const int      k = std::min(colourCount - 1, static_cast<int>(n * colourCount * 1.15 - 0.08 * colourCount));
            const Palette& c = colours[std::max(0, k)];
            const double   g = 1.0 + grain * noise.Value2(column * 0.7 + 100.0, row * 0.7);
            image.SetPixel(column, row, c.r * g, c.g * g, c.b * g);
        }
    }
    return image;
}

// Horizontal courses of blocks, for walls.
CImage PaintMasonry(unsigned seed, const Palette& mortar, const Palette& block) {
    const CNoise noise(seed);
    CImage       image(textureSize, textureSize);
    for (int row = 0; row < textureSize; ++row) {
        for (int column = 0; column < textureSize; ++column) {
            const int      course = row / 16;
            const int      shift  = (course % 2) * 16;
            const bool     joint  = row % 16 < 2 || (column + shift) % 32 < 2;
            const double   g      = 1.0 + 0.12 * noise.Fractal2(column * 0.2, row * 0.2, 3);
            const Palette& c      = joint ? mortar : block;
            image.SetPixel(column, row, c.r * g, c.g * g, c.b * g);
        }
    }
    return image;
}

// Vertical fibres, for bark.
CImage PaintBark(unsigned seed) {
    const CNoise noise(seed);
    CImage       image(textureSize, textureSize);
    for (int row = 0; row < textureSize; ++row) {
        for (int column = 0; column < textureSize; ++column) {
            const double fibre = 0.5 + 0.5 * noise.Fractal2(column * 0.25, row * 0.03, 3);
            image.SetPixel(column, row, 60 + 50 * fibre, 42 + 34 * fibre, 26 + 20 * fibre);
        }
    }
    return image;
}

struct TextureFile {
    const char*             fileName;
    std::function<CImage()> paint;
};

const TextureFile textureFiles[] = {
    {"camo.bmp",
     []() {
         const Palette colours[] = {{58, 70, 38}, {92, 98, 56}, {46, 44, 30}};
         return PaintTexture(11, 5.0, colours, 3, 0.06);
     }},
    {"camo_sand.bmp",
     []() {
         const Palette colours[] = {{176, 152, 104}, {142, 118, 78}, {112, 96, 66}};
         return PaintTexture(12, 5.0, colours, 3, 0.06);
     }},
    {"concrete.bmp",
     []() {
         return PaintMasonry(13, {96, 96, 92}, {150, 148, 140});
     }},
    {"plaster.bmp",
     []() {
         return PaintMasonry(14, {160, 150, 128}, {214, 200, 170});
     }},
    {"bark.bmp", []() { return PaintBark(15); }},
    {"leaves.bmp",
     []() {
         const Palette colours[] = {{34, 74, 28}, {58, 104, 40}, {86, 128, 52}};
         return PaintTexture(16, 12.0, colours, 3, 0.2);
     }},
    {"rock.bmp",
     []() {
         const Palette colours[] = {{98, 94, 88}, {128, 124, 116}, {156, 150, 140}};
         return PaintTexture(17, 7.0, colours, 3, 0.15);
     }},
};

// Tracks as dark boxes with road wheels along them.
void AddTracks(CModel3ds& model, int material, double halfGauge, double length, double height) {
    CModel3ds::Mesh& tracks = model.AddMesh("tracks", material);
    for (int side = -1; side <= 1; side += 2) {
        MeshShapes::AddBox(tracks, {side * halfGauge, height / 2, 0}, {2.6, height, length});
    }
}

void AddWheels(CModel3ds& model, int material, double halfGauge, const double* axles, int axleCount, double radius) {
    CModel3ds::Mesh& wheels = model.AddMesh("wheels", material);
    for (int i = 0; i < axleCount; ++i) {
        for (int side = -1; side <= 1; side += 2) {
            const Vec base = {side > 0 ? halfGauge : -halfGauge - 1.4, radius, axles[i]};
            MeshShapes::AddCylinder(wheels, base, {1, 0, 0}, radius, 1.4, 12);
        }
    }
}

CModel3ds BuildTank() {
    CModel3ds model;
    const int camo   = model.AddMaterial("Olive camouflage", 80, 90, 50, "camo.bmp");
    const int steel  = model.AddMaterial("Gun steel", 70, 74, 70);
    const int rubber = model.AddMaterial("Track rubber", 36, 34, 32);
    MeshShapes::AddBox(model.AddMesh("hull", camo), {0, 3.8, 0}, {9.4, 3.0, 16.0});
    MeshShapes::AddBox(model.AddMesh("turret", camo), {0, 6.4, -1.0}, {6.4, 2.4, 7.0});
    MeshShapes::AddCylinder(model.AddMesh("barrel", steel), {0, 6.6, 2.4}, {0, 0, 1}, 0.55, 9.5, 10);
    AddTracks(model, rubber, 5.4, 17.0, 3.2);
    return model;
}

CModel3ds BuildRecon() {
    CModel3ds model;
    const int sand   = model.AddMaterial("Sand camouflage", 170, 146, 100, "camo_sand.bmp");
    const int steel  = model.AddMaterial("Gun steel", 70, 74, 70);
    const int rubber = model.AddMaterial("Tyre rubber", 30, 30, 30);
    MeshShapes::AddBox(model.AddMesh("hull", sand), {0, 3.2, 0}, {7.6, 2.6, 13.0});
    MeshShapes::AddCylinder(model.AddMesh("turret", sand), {0, 4.5, -0.5}, {0, 1, 0}, 1.9, 1.6, 12);
    MeshShapes::AddCylinder(model.AddMesh("gun", steel), {0, 5.3, 1.2}, {0, 0, 1}, 0.3, 6.0, 8);
    const double axles[] = {-4.0, 4.0};
    AddWheels(model, rubber, 3.8, axles, 2, 1.8);
    return model;
}

CModel3ds BuildHowitzer() {
    CModel3ds model;
    const int camo   = model.AddMaterial("Olive camouflage", 80, 90, 50, "camo.bmp");
    const int steel  = model.AddMaterial("Gun steel", 70, 74, 70);
    const int rubber = model.AddMaterial("Track rubber", 36, 34, 32);
    MeshShapes::AddBox(model.AddMesh("hull", camo), {0, 3.4, -1.0}, {8.4, 2.4, 15.0});
    MeshShapes::AddBox(model.AddMesh("shield", camo), {0, 5.6, 0.5}, {6.0, 2.2, 4.0});
    // The long barrel is raised by 20 degrees.
    const double elevation = 20.0 * pi / 180.0;
    MeshShapes::AddCylinder(model.AddMesh("barrel", steel), {0, 5.8, 2.0},
                            {0, std::sin(elevation), std::cos(elevation)}, 0.75, 14.0, 12);
    AddTracks(model, rubber, 4.6, 15.5, 2.8);
    return model;
}

CModel3ds BuildCommandVehicle() {
    CModel3ds model;
    const int camo   = model.AddMaterial("Olive camouflage", 80, 90, 50, "camo.bmp");
    const int cabin  = model.AddMaterial("Command grey", 120, 124, 118);
    const int rubber = model.AddMaterial("Tyre rubber", 30, 30, 30);
    MeshShapes::AddBox(model.AddMesh("hull", camo), {0, 3.6, 0}, {8.4, 3.2, 15.0});
    CModel3ds::Mesh& superstructure = model.AddMesh("cabin", cabin);
    MeshShapes::AddBox(superstructure, {0, 6.2, -1.5}, {7.0, 2.0, 8.0});
    MeshShapes::AddCylinder(superstructure, {-2.5, 7.2, -4.5}, {0, 1, 0}, 0.15, 8.0, 6);
    MeshShapes::AddCylinder(superstructure, {2.5, 7.2, -4.5}, {0, 1, 0}, 0.15, 5.0, 6);
    const double axles[] = {-5.0, 0.0, 5.0};
    AddWheels(model, rubber, 4.2, axles, 3, 1.8);
    return model;
}

CModel3ds BuildHeadquarters() {
    CModel3ds        model;
    const int        concrete = model.AddMaterial("Concrete", 150, 148, 140, "concrete.bmp");
    const int        roof     = model.AddMaterial("Roof felt", 60, 62, 66);
    const int        mast     = model.AddMaterial("Mast steel", 90, 90, 96);
    CModel3ds::Mesh& walls    = model.AddMesh("walls", concrete);
    MeshShapes::AddBox(walls, {0, 4.5, 0}, {20.0, 9.0, 16.0});
    MeshShapes::AddBox(walls, {5.0, 11.0, -3.0}, {6.0, 4.0, 6.0});
    MeshShapes::AddBox(model.AddMesh("roof", roof), {0, 9.4, 0}, {21.0, 0.8, 17.0});
    CModel3ds::Mesh& antenna = model.AddMesh("antenna", mast);
    MeshShapes::AddCylinder(antenna, {5.0, 13.0, -3.0}, {0, 1, 0}, 0.3, 10.0, 8);
    MeshShapes::AddBox(antenna, {5.0, 21.0, -3.0}, {3.0, 0.4, 0.4});
    return model;
}

CModel3ds BuildPine() {
    CModel3ds model;
    const int bark    = model.AddMaterial("Bark", 90, 64, 40, "bark.bmp");
    const int needles = model.AddMaterial("Pine needles", 34, 78, 40);
    MeshShapes::AddCylinder(model.AddMesh("trunk", bark), {0, 0, 0}, {0, 1, 0}, 0.7, 5.0, 8);
    CModel3ds::Mesh& crown = model.AddMesh("crown", needles);
    MeshShapes::AddCone(crown, {0, 3.0, 0}, 4.2, 6.5, 10);
    MeshShapes::AddCone(crown, {0, 6.5, 0}, 3.3, 5.5, 10);
    MeshShapes::AddCone(crown, {0, 9.5, 0}, 2.3, 4.5, 10);
    return model;
}

CModel3ds BuildOak() {
    CModel3ds model;
    const int bark   = model.AddMaterial("Bark", 90, 64, 40, "bark.bmp");
    const int leaves = model.AddMaterial("Leaves", 58, 100, 40, "leaves.bmp");
    MeshShapes::AddCylinder(model.AddMesh("trunk", bark), {0, 0, 0}, {0, 1, 0}, 0.9, 6.0, 8);
    MeshShapes::AddBlob(model.AddMesh("crown", leaves), {0, 8.5, 0}, {5.0, 4.2, 5.0}, 8, 12, 0.25, 21);
    return model;
}

CModel3ds BuildHouse() {
    CModel3ds model;
    const int plaster = model.AddMaterial("Plaster", 214, 200, 170, "plaster.bmp");
    const int tiles   = model.AddMaterial("Roof tiles", 150, 62, 44);
    const int wood    = model.AddMaterial("Door wood", 84, 56, 36);
    MeshShapes::AddBox(model.AddMesh("walls", plaster), {0, 3.0, 0}, {10.0, 6.0, 8.0});
    CModel3ds::Mesh& roof = model.AddMesh("roof", tiles);
    MeshShapes::AddGableRoof(roof, {0, 6.0, 0}, 11.0, 9.0, 3.5);
    MeshShapes::AddBox(roof, {3.0, 8.5, 1.5}, {1.2, 3.0, 1.2});
    MeshShapes::AddBox(model.AddMesh("door", wood), {0, 1.6, 4.05}, {1.8, 3.2, 0.2});
    return model;
}

CModel3ds BuildRock() {
    CModel3ds model;
    const int stone = model.AddMaterial("Stone", 128, 124, 116, "rock.bmp");
    const int moss  = model.AddMaterial("Moss", 70, 96, 50);
    MeshShapes::AddBlob(model.AddMesh("boulder", stone), {0, 1.6, 0}, {4.0, 2.8, 3.4}, 8, 14, 0.3, 31);
    MeshShapes::AddBlob(model.AddMesh("stone", moss), {3.4, 0.8, 2.2}, {1.6, 1.2, 1.4}, 6, 10, 0.3, 32);
    return model;
}

struct ModelFile {
    const char* fileName;
    CModel3ds (*build)();
};

const ModelFile modelFiles[] = {
    {"tank.3ds", BuildTank},
    {"recon.3ds", BuildRecon},
    {"howitzer.3ds", BuildHowitzer},
    {"command.3ds", BuildCommandVehicle},
    {"headquarters.3ds", BuildHeadquarters},
    {"pine.3ds", BuildPine},
    {"oak.3ds", BuildOak},
    {"house.3ds", BuildHouse},
    {"rock.3ds", BuildRock},
};

} // namespace

namespace ContentStages {

bool WriteModels(CContentGenerator& generator) {
    bool ok = true;
    for (const ModelFile& model : modelFiles) {
        ok = generator.EnsureBytes(std::string("objects/") + model.fileName, [&model]() {
            return model.build().Encode3ds();
        }) && ok;
    }
    for (const TextureFile& texture : textureFiles) {
        ok = generator.EnsureBytes(std::string("objects/") + texture.fileName, [&texture]() {
            return texture.paint().EncodeBmp();
        }) && ok;
    }
    return ok;
}

} // namespace ContentStages
