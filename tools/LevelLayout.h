#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CNoise;

// The hand-made designs of the levels, in tile units (u runs along columns
// and world x, v along rows and world z; tile (x, y) spans u in [x, x + 1)).
// Everything is given for the northern half and mirrored through the map's
// centre (16, 16), so both teams meet the same landscape: tile (x, y) of
// team 1 corresponds to tile (31 - x, 31 - y).
namespace LevelLayout {

constexpr int   tilesPerSide = 32;
constexpr float maxWidth     = 2048.0f;
constexpr float maxHeight    = 400.0f;
// Tiles at or below this sample value are under the sea plane (its water
// level is 45 samples); a small margin keeps the shore out of the water.
constexpr int waterLevel    = 45;
constexpr int shoreMargin   = 3;
constexpr int plainHeight   = 76;
constexpr int riverBed      = 26;
constexpr int crossingLevel = 56;

enum TerrainId { grass = 0, forest = 1, rough = 2, sand = 3, road = 4, water = 5, rock = 6, terrainCount = 7 };

// Slope classes in degrees of the tile grid's slope measure.
constexpr int roughSlope = 15;
constexpr int cliffSlope = 44;

struct Hill {
    double u, v;    // centre
    double radiusU; // half extent along u
    double radiusV; // half extent along v
    double height;  // sample units added at the centre
    double plateau; // fraction of the radius that is flat on top
};

struct Crossing {
    double u;         // centre column of the causeway
    double halfWidth; // tiles of full height on each side
};

struct Point {
    int x, y;
};

struct UnitStart {
    std::string fileName; // in "units"
    Point       tile;     // team 1; team 2 stands on the mirrored tile
};

// "TestLevel": team 1 looks south (towards growing rows), team 2 north.
const std::vector<UnitStart>& Roster();
const std::vector<Hill>&      Hills();
const std::vector<Crossing>&  Crossings();
// Rectangles of forest (x0, y0, x1, y1 inclusive), northern half.
struct Area {
    int x0, y0, x1, y1;
};
const std::vector<Area>& Forests();
// Road polylines through tile centres, northern half.
const std::vector<std::vector<Point>>& Roads();

// Row of the river's middle line at column u: a meander through the centre.
double RiverRow(double u);
// "TestLevel"'s sample value: plains, hills, the river and its crossings.
double RiverlandHeight(const CNoise& noise, double u, double v);

Point Mirror(Point tile);

// 0 below edge0, 1 above edge1, a smooth S between.
double SmoothStep(double edge0, double edge1, double x);
// A hill is a raised cosine bump over an ellipse.
double HillHeight(const Hill& hill, double u, double v);

struct Rgb {
    double r, g, b;
};

// The light of a level's sky box: the colour near the horizon and overhead,
// how much of it clouds cover, and where the sun stands (a direction).
struct SkyLook {
    Rgb    horizon, zenith;
    double cloudCover; // 0 clear .. 1 overcast
    double sun[3];
};

// The sea texture's troughs and crests.
struct SeaLook {
    Rgb deep, crest;
};

// Everything the generator needs to make one level's folder.
struct Design {
    const char* name; // the folder in the data folder
    int         samplesPerSide;
    int         patchTextureSize; // texels per side of a patch of 32 cells
    uint32_t    terrainSeed;
    uint64_t    objectSeed;
    // Sample value (0..255 before clamping) at a point in tile units.
    double (*sampleHeight)(const CNoise& noise, double u, double v);
    const std::vector<UnitStart>& (*roster)();
    const std::vector<Area>& (*forests)();
    const std::vector<std::vector<Point>>& (*roads)();
    SkyLook sky;
    SeaLook sea;

    int SamplesPerTile() const { return (samplesPerSide - 1) / tilesPerSide; }
};

// "TestLevel" first.
const std::vector<Design>& Designs();
const Design&              TestLevel();

// The islands level: its height and layout (IslandLayout.cpp).
double                                 IslandHeight(const CNoise& noise, double u, double v);
const std::vector<UnitStart>&          IslandRoster();
const std::vector<Area>&               IslandForests();
const std::vector<std::vector<Point>>& IslandRoads();

} // namespace LevelLayout
