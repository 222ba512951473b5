#include "tools/LevelLayout.h"

#include <algorithm>
#include <cmath>

#include "tools/Noise.h"

namespace LevelLayout {

const std::vector<UnitStart>& Roster() {
    static const std::vector<UnitStart> roster = {
        {"headquarters.xml", {15, 1}}, {"general.xml", {16, 3}}, {"tank.xml", {12, 5}},     {"tank.xml", {19, 5}},
        {"recon.xml", {8, 6}},         {"recon.xml", {23, 6}},   {"howitzer.xml", {13, 3}}, {"howitzer.xml", {18, 3}},
    };
    return roster;
}

const std::vector<Hill>& Hills() {
    // The long ridge west of the own base overlooks the western crossing;
    // its eastern end tapers so that heavy vehicles can climb it there.
    static const std::vector<Hill> hills = {
        {5.2, 9.2, 4.0, 2.6, 58.0, 0.45},  // ridge
        {21.5, 8.5, 2.4, 2.4, 52.0, 0.0},  // round hill east of the base
        {26.5, 14.0, 2.0, 1.6, 30.0, 0.0}, // knoll on the eastern river bank
        {2.0, 2.5, 2.2, 2.2, 30.0, 0.0},   // low hill in the north-west
        {29.5, 2.0, 3.2, 3.0, 165.0, 0.0}, // mountain in the north-east corner
        {27.0, 0.5, 2.0, 1.5, 90.0, 0.0},  // its western shoulder
    };
    return hills;
}

const std::vector<Crossing>& Crossings() {
    // The western bridge (tile column 9) and, through the mirror, the eastern
    // one (column 22); the central ford spans columns 15 and 16.
    static const std::vector<Crossing> crossings = {{9.5, 0.55}, {16.0, 0.9}};
    return crossings;
}

const std::vector<Area>& Forests() {
    static const std::vector<Area> forests = {
        {2, 12, 5, 14}, {13, 8, 15, 11}, {24, 9, 27, 11}, {0, 6, 2, 9}, {9, 0, 11, 1},
    };
    return forests;
}

const std::vector<std::vector<Point>>& Roads() {
    static const std::vector<std::vector<Point>> roads = {
        {{16, 4}, {16, 7}, {11, 7}, {10, 8}, {10, 10}, {9, 11}, {9, 16}},
        {{16, 7}, {16, 16}},
    };
    return roads;
}

double RiverRow(double u) {
    const double pi = 3.14159265358979323846;
    return 16.0 + 2.6 * std::sin(2.0 * pi * (u - 16.0) / 21.0);
}

double SmoothStep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// A hill is a raised cosine bump over an ellipse.
double HillHeight(const Hill& hill, double u, double v) {
    const double du = (u - hill.u) / hill.radiusU, dv = (v - hill.v) / hill.radiusV;
    const double r = std::sqrt(du * du + dv * dv);
    if (r >= 1.0) {
        return 0.0;
    }
    if (r <= hill.plateau) {
        return hill.height;
    }
    const double flank = (r - hill.plateau) / (1.0 - hill.plateau);
    return hill.height * 0.5 * (1.0 + std::cos(3.14159265358979323846 * flank));
}

namespace {

double HillsAt(double u, double v) {
    double sum = 0.0;
    for (const Hill& hill : Hills()) {
        sum += HillHeight(hill, u, v) + HillHeight(hill, 32.0 - u, 32.0 - v);
    }
    return sum;
}

// 1 on a causeway across the river, falling to 0 beside it.
double CrossingWeight(double u) {
    double weight = 0.0;
    for (const Crossing& crossing : Crossings()) {
        for (double centre : {crossing.u, 32.0 - crossing.u}) {
            const double distance = std::fabs(u - centre);
            weight = std::max(weight, 1.0 - SmoothStep(crossing.halfWidth, crossing.halfWidth + 0.5, distance));
        }
    }
    return weight;
}

// Perpendicular distance to the river's middle line, from its vertical
// distance and the line's local gradient.
double RiverDistance(double u, double v) {
    const double step     = 0.01;
    const double gradient = (RiverRow(u + step) - RiverRow(u - step)) / (2.0 * step);
    return std::fabs(v - RiverRow(u)) / std::sqrt(1.0 + gradient * gradient);
}

double LandHeight(const CNoise& noise, double u, double v) {
    // Averaging the noise with its mirror keeps the map point-symmetric.
    const double broad =
        0.5 * (noise.Fractal2(u / 7.0, v / 7.0, 3) + noise.Fractal2((32.0 - u) / 7.0, (32.0 - v) / 7.0, 3));
    return plainHeight + 9.0 * broad + HillsAt(u, v);
}

} // namespace

double RiverlandHeight(const CNoise& noise, double u, double v) {
    const double land     = LandHeight(noise, u, v);
    const double bank     = SmoothStep(1.0, 2.4, RiverDistance(u, v));
    const double crossing = CrossingWeight(u);
    const double bed      = riverBed + (crossingLevel - riverBed) * crossing;
    return bed + (land - bed) * bank;
}

Point Mirror(Point tile) {
    return {tilesPerSide - 1 - tile.x, tilesPerSide - 1 - tile.y};
}

const std::vector<Design>& Designs() {
    static const std::vector<Design> designs = {
        {"TestLevel",
         257,
         256,
         0x52494447u,
         0x4F424A45435453ull,
         RiverlandHeight,
         Roster,
         Forests,
         Roads,
         {{200, 214, 228}, {62, 112, 196}, 0.9, {-0.55, 0.5, -0.67}},
         {{22, 58, 88}, {64, 118, 146}}},
        // A finer heightmap textured at the same density: a patch covers a
        // quarter of the width, so its texture needs a quarter of the texels.
        {"Islands",
         1025,
         64,
         0x49534C45u,
         0x464F524453ull,
         IslandHeight,
         IslandRoster,
         IslandForests,
         IslandRoads,
         {{238, 206, 170}, {58, 92, 164}, 0.55, {0.72, 0.32, -0.62}},
         {{14, 70, 84}, {58, 150, 150}}},
    };
    return designs;
}

const Design& TestLevel() {
    return Designs().front();
}

} // namespace LevelLayout
