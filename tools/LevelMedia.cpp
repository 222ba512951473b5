#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/Logger.h"
#include "core/Heightmap.h"
#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"
#include "tools/Image.h"
#include "tools/LevelLayout.h"
#include "tools/Noise.h"
#include "tools/TileMetrics.h"

// The level's terrain patch textures, sea and sky. Every texel is a function
// of the world position (terrain) or of the view direction (sky) at its
// centre, so textures that meet at an edge agree there and join without seams.
namespace {

using namespace LevelLayout;
using LevelGenerator::TileInfo;

constexpr int    skyTextureSize  = 512;
constexpr int    previewSize     = 128;
constexpr int    seaTextureSize  = 256;
constexpr int    samplesPerPatch = 32;
constexpr double tileBlend       = 0.18; // half width of the blend between tiles, in tiles

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb& colour, double factor) {
    return {colour.r * factor, colour.g * factor, colour.b * factor};
}

double Clamp01(double value) {
    return std::clamp(value, 0.0, 1.0);
}

// The noise values that pattern the ground at one texel, shared by every
// terrain type that blends there and computed only when a type needs them.
class CGroundNoise {
public:
    CGroundNoise(const CNoise& noise, double u, double v) : noise(noise), u(u), v(v) {}

    double Fine() { return Get(0, 0.9, 0.0); }
    double Coarse() { return Get(1, 0.12, 40.0); }
    double Canopy() { return Get(2, 0.45, 11.0); }

private:
    double Get(int which, double frequency, double offset) {
        if (!known[which]) {
            values[which] = noise.Fractal2(u * frequency + offset, v * frequency, 2);
            known[which]  = true;
        }
        return values[which];
    }

    const CNoise& noise;
    double        u, v;
    double        values[3] = {};
    bool          known[3]  = {};
};

// Ground colour of one terrain type at a world sample position, with the
// type's own small-scale pattern.
Rgb TerrainColour(CGroundNoise& noise, int terrainId, double u, double v) {
    switch (terrainId) {
    case forest:
        return Mix({30, 58, 28}, {58, 92, 40}, Clamp01(0.5 + 0.9 * noise.Canopy()));
    case rough:
        return Mix({112, 100, 78}, {142, 132, 112}, Clamp01(0.5 + noise.Fine()));
    case sand:
        return Mix({186, 168, 118}, {210, 194, 146}, Clamp01(0.5 + 0.8 * noise.Fine()));
    case road: {
        const double ruts = 0.5 + 0.5 * std::cos((u + v) * 3.14159265358979 * 1.5);
        return Mix({118, 100, 76}, {146, 126, 98}, Clamp01(0.3 + 0.4 * ruts + 0.4 * noise.Fine()));
    }
    case water:
        return Mix({58, 66, 52}, {78, 84, 64}, Clamp01(0.5 + noise.Fine()));
    case rock:
        return Mix({108, 106, 102}, {150, 146, 138}, Clamp01(0.5 + 1.2 * noise.Fine()));
    default:
        return Mix(Mix({72, 112, 44}, {104, 138, 58}, Clamp01(0.5 + noise.Coarse())), {90, 120, 50},
                   Clamp01(0.5 + noise.Fine()) * 0.5);
    }
}

// Weight of a tile for a point at signed distance d (in tiles) from its
// centre: 1 inside, falling linearly to 0 across the border; the weights of
// neighbouring tiles always add up to 1.
double TileWeight(double distance) {
    return Clamp01((0.5 + tileBlend - std::fabs(distance)) / (2.0 * tileBlend));
}

class CPatchPainter {
public:
    CPatchPainter(const CHeightmap& heightmap, const std::vector<TileInfo>& tiles)
        : heightmap(heightmap), tiles(tiles), noise(0x7E22A1u), tileSamples(TileMetrics::SamplesPerTile(heightmap)),
          lightStep(std::max(1, tileSamples / 8)) {}

    CImage Paint(int patchColumn, int patchRow, int textureSize) const {
        CImage image(textureSize, textureSize);
        for (int row = 0; row < textureSize; ++row) {
            for (int column = 0; column < textureSize; ++column) {
                const double u   = samplesPerPatch * (patchColumn + (column + 0.5) / textureSize);
                const double v   = samplesPerPatch * (patchRow + (row + 0.5) / textureSize);
                const Rgb    rgb = Scale(GroundColour(u, v), Lighting(u, v));
                image.SetPixel(column, row, rgb.r, rgb.g, rgb.b);
            }
        }
        return image;
    }

    // The whole map from above, for choosing the level: the ground as the
    // patches paint it, the sea's colour wherever the sea plane covers it.
    CImage PaintPreview(const SeaLook& sea) const {
        CImage       image(previewSize, previewSize);
        const double mapSamples = heightmap.GetWidth() - 1;
        for (int row = 0; row < previewSize; ++row) {
            for (int column = 0; column < previewSize; ++column) {
                const double u     = mapSamples * (column + 0.5) / previewSize;
                const double v     = mapSamples * (row + 0.5) / previewSize;
                const double depth = waterLevel - Height(u, v) / heightmap.GetHeightScale();
                const Rgb    rgb   = depth > 0.0 ? Mix(sea.crest, sea.deep, Clamp01(depth / 12.0))
                                                 : Scale(GroundColour(u, v), Lighting(u, v));
                image.SetPixel(column, row, rgb.r, rgb.g, rgb.b);
            }
        }
        return image;
    }

private:
    int TerrainOf(int x, int y) const {
        x = std::clamp(x, 0, tilesPerSide - 1);
        y = std::clamp(y, 0, tilesPerSide - 1);
        return tiles[y * tilesPerSide + x].terrainId;
    }

    // u, v in samples.
    Rgb GroundColour(double u, double v) const {
        const double tu = u / tileSamples, tv = v / tileSamples;
        const int    x = static_cast<int>(std::floor(tu)), y = static_cast<int>(std::floor(tv));
        CGroundNoise patterns(noise, u, v);
        Rgb          sum = {0, 0, 0};
        for (int dy = -1; dy <= 1; ++dy) {
            const double wy = TileWeight(tv - (y + dy + 0.5));
            for (int dx = -1; dx <= 1 && wy > 0.0; ++dx) {
                const double wx = TileWeight(tu - (x + dx + 0.5));
                if (wx > 0.0) {
                    const Rgb colour = TerrainColour(patterns, TerrainOf(x + dx, y + dy), u, v);
                    sum = {sum.r + colour.r * wx * wy, sum.g + colour.g * wx * wy, sum.b + colour.b * wx * wy};
                }
            }
        }
        const double detail = 1.0 + 0.1 * noise.Value2(u * 2.5 + 7.0, v * 2.5);
        return Scale(sum, detail);
    }

    double Height(double u, double v) const {
        const int    cu = static_cast<int>(std::floor(u)), cv = static_cast<int>(std::floor(v));
        const double fu = u - cu, fv = v - cv;
        const double top    = heightmap.GetSample(cu, cv) * (1 - fu) + heightmap.GetSample(cu + 1, cv) * fu;
        const double bottom = heightmap.GetSample(cu, cv + 1) * (1 - fu) + heightmap.GetSample(cu + 1, cv + 1) * fu;
        return (top * (1 - fv) + bottom * fv) * heightmap.GetHeightScale();
    }

    // Diffuse light of a sun in the north-west, from the slope of the ground
    // over a fixed world distance, so that a finer heightmap's rounding to
    // whole sample values does not show as bands.
    double Lighting(double u, double v) const {
        const double spacing = heightmap.GetSpacing() * lightStep;
        const double dx      = (Height(u + lightStep, v) - Height(u - lightStep, v)) / (2 * spacing);
        const double dz      = (Height(u, v + lightStep) - Height(u, v - lightStep)) / (2 * spacing);
        const double length  = std::sqrt(dx * dx + 1 + dz * dz);
        const double sun[3]  = {-0.48, 0.78, -0.40};
        const double diffuse = (-dx * sun[0] + sun[1] - dz * sun[2]) / length;
        return 0.5 + 0.62 * std::max(0.0, diffuse);
    }

    const CHeightmap&            heightmap;
    const std::vector<TileInfo>& tiles;
    CNoise                       noise;
    int                          tileSamples;
    int                          lightStep; // samples
};

CImage PaintSea(const SeaLook& look) {
    const CNoise noise(0x5EA5EAu);
    CImage       image(seaTextureSize, seaTextureSize);
    const int    period = 8;
    for (int row = 0; row < seaTextureSize; ++row) {
        for (int column = 0; column < seaTextureSize; ++column) {
            const double x     = period * (column + 0.5) / seaTextureSize;
            const double y     = period * (row + 0.5) / seaTextureSize;
            const double waves = noise.PeriodicFractal2(x, y, period, 4);
            const Rgb    rgb   = Mix(look.deep, look.crest, Clamp01(0.5 + 0.9 * waves));
            image.SetPixel(column, row, rgb.r, rgb.g, rgb.b);
        }
    }
    return image;
}

// The sky box: its corners as 0/1 flags per axis and the texture
// coordinates the box gives them, per face in the order of the files.
struct SkyCorner {
    int    x, y, z;
    double s, t;
};

struct SkyFace {
    const char* fileName;
    SkyCorner   corners[4];
};

const SkyFace skyFaces[] = {
    {"back.tga", {{0, 0, 1, 1, 0}, {0, 1, 1, 1, 1}, {1, 1, 1, 0, 1}, {1, 0, 1, 0, 0}}},
    {"front.tga", {{1, 0, 0, 1, 0}, {1, 1, 0, 1, 1}, {0, 1, 0, 0, 1}, {0, 0, 0, 0, 0}}},
    {"bottom.tga", {{0, 0, 0, 1, 0}, {0, 0, 1, 1, 1}, {1, 0, 1, 0, 1}, {1, 0, 0, 0, 0}}},
    {"top.tga", {{1, 1, 0, 1, 0}, {1, 1, 1, 1, 1}, {0, 1, 1, 0, 1}, {0, 1, 0, 0, 0}}},
    {"left.tga", {{1, 0, 0, 0, 0}, {1, 0, 1, 1, 0}, {1, 1, 1, 1, 1}, {1, 1, 0, 0, 1}}},
    {"right.tga", {{0, 1, 0, 1, 1}, {0, 1, 1, 0, 1}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}}},
};

struct Vec3 {
    double x, y, z;
};

// Box extents as the sky box lays them out around a map of width w.
struct SkyBox {
    double min[3], max[3];
    explicit SkyBox(double width) {
        const double centre[3] = {width * 0.5, -300.0, width * 0.5};
        const double size[3]   = {width * 4.0, 5000.0, width * 4.0};
        for (int axis = 0; axis < 3; ++axis) {
            min[axis] = centre[axis] - size[axis] / 2;
            max[axis] = min[axis] + size[axis];
        }
    }
    Vec3 Corner(const SkyCorner& corner) const {
        return {corner.x ? max[0] : min[0], corner.y ? max[1] : min[1], corner.z ? max[2] : min[2]};
    }
};

const SkyCorner& CornerWith(const SkyFace& face, double s, double t) {
    for (const SkyCorner& corner : face.corners) {
        if (corner.s == s && corner.t == t) {
            return corner;
        }
    }
    return face.corners[0];
}

class CSkyPainter {
public:
    explicit CSkyPainter(const SkyLook& look) : look(look), box(maxWidth), noise(0xC10D5u) {}

    CImage Paint(const SkyFace& face) const {
        const Vec3 origin = box.Corner(CornerWith(face, 0, 0));
        const Vec3 alongS = Minus(box.Corner(CornerWith(face, 1, 0)), origin);
        const Vec3 alongT = Minus(box.Corner(CornerWith(face, 0, 1)), origin);
        CImage     image(skyTextureSize, skyTextureSize);
        for (int row = 0; row < skyTextureSize; ++row) {
            const double t = 1.0 - (row + 0.5) / skyTextureSize;
            for (int column = 0; column < skyTextureSize; ++column) {
                const double s     = (column + 0.5) / skyTextureSize;
                const Vec3   point = {origin.x + s * alongS.x + t * alongT.x, origin.y + s * alongS.y + t * alongT.y,
                                      origin.z + s * alongS.z + t * alongT.z};
                const Rgb    rgb   = SkyColour(Direction(point));
                image.SetPixel(column, row, rgb.r, rgb.g, rgb.b);
            }
        }
        return image;
    }

private:
    static Vec3 Minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

    // Seen from above the middle of the map at about the camera's height.
    static Vec3 Direction(const Vec3& point) {
        const Vec3   d      = {point.x - maxWidth * 0.5, point.y - 300.0, point.z - maxWidth * 0.5};
        const double length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        return {d.x / length, d.y / length, d.z / length};
    }

    Rgb SkyColour(const Vec3& d) const {
        const double elevation = d.y;
        if (elevation < 0.0) {
            return Mix({178, 188, 196}, {96, 104, 110}, Clamp01(-elevation * 3.0));
        }
        Rgb          sky    = Mix(look.horizon, look.zenith, std::pow(Clamp01(elevation), 0.55));
        const double clouds = noise.Fractal3(d.x * 3.0, d.y * 6.0, d.z * 3.0, 5);
        const double cover  = Clamp01((clouds - 0.05) * 2.6) * Clamp01(elevation * 6.0);
        const double shade  = 0.82 + 0.18 * Clamp01(0.5 + noise.Fractal3(d.x * 9.0 + 3.0, d.y * 9.0, d.z * 9.0, 3));
        sky                 = Mix(sky, Scale({250, 250, 248}, shade), cover * look.cloudCover);
        const Vec3   sun    = {look.sun[0], look.sun[1], look.sun[2]};
        const double toSun  = std::max(0.0, d.x * sun.x + d.y * sun.y + d.z * sun.z);
        const double glow   = std::pow(toSun, 200.0) + 0.25 * std::pow(toSun, 12.0);
        return Mix(sky, {255, 246, 220}, Clamp01(glow));
    }

    const SkyLook& look;
    SkyBox         box;
    CNoise         noise;
};

} // namespace

namespace ContentStages {

bool RunLevelMedia(CContentGenerator& generator, const Design& design, const CHeightmap& heightmap,
                   const std::vector<TileInfo>& tiles) {
    const std::string level = design.name;
    bool              ok    = true;
    const int         width = heightmap.GetWidth();
    // The terrain is cut into patches of 32 cells: only square maps of
    // 32 n + 1 samples can be textured.
    if (width == heightmap.GetHeight() && width > samplesPerPatch && (width - 1) % samplesPerPatch == 0) {
        const CPatchPainter painter(heightmap, tiles);
        const int           patches = (width - 1) / samplesPerPatch;
        for (int row = 0; row < patches; ++row) {
            for (int column = 0; column < patches; ++column) {
                char name[64];
                snprintf(name, sizeof name, "/Terrain/terrain_%d_%d.bmp", column, row);
                ok = generator.EnsureBytes(level + name, [&painter, &design, column, row]() {
                    return painter.Paint(column, row, design.patchTextureSize).EncodeBmp();
                }) && ok;
            }
        }
        ok = generator.EnsureBytes(level + "/preview.bmp", [&painter, &design]() {
            return painter.PaintPreview(design.sea).EncodeBmp();
        }) && ok;
    } else {
        GetLogger()->LogError("content: heightmap %s is %d x %d samples; patch textures need 32 n + 1 per side",
                              heightmap.GetFileName().c_str(), width, heightmap.GetHeight());
        ok = false;
    }
    ok = generator.EnsureBytes(level + "/Terrain/sea.bmp", [&design]() { return PaintSea(design.sea).EncodeBmp(); }) &&
         ok;
    const CSkyPainter sky(design.sky);
    for (const SkyFace& face : skyFaces) {
        ok = generator.EnsureBytes(level + "/Skydome/" + face.fileName, [&sky, &face]() {
            return sky.Paint(face).EncodeTga(24);
        }) && ok;
    }
    return ok;
}

} // namespace ContentStages
