#include <algorithm>
#include <cmath>

#include "tools/LevelLayout.h"
#include "tools/Noise.h"

// The level "Islands": each team's home island, an island with a hill off
// its flank, a rocky islet and one shared island in the middle, joined by
// shallow fords that are the only ways across. Given for the northern half
// and mirrored like "TestLevel"; the heightmap has four times the samples
// per side, so the ground carries finer detail.
namespace LevelLayout {

namespace {

constexpr double seaFloor  = 24.0;
constexpr double fordLevel = 57.0; // above the sea plane and its shore margin

struct Island {
    double u, v, radiusU, radiusV;
};

// A ford runs straight between two points, `halfWidth` tiles to each side.
struct Ford {
    double u0, v0, u1, v1, halfWidth;
};

const Island islands[] = {
    {16.0, 4.5, 12.5, 4.8}, // home
    {6.0, 12.5, 4.5, 3.5},  // western island with its hill
    {25.0, 10.0, 2.6, 2.0}, // rocky islet
    {16.0, 16.0, 5.2, 3.2}, // the shared island (its own mirror image)
};

const Ford fords[] = {
    {10.5, 8.5, 7.5, 10.5, 0.6},   // home to the western island
    {16.0, 8.8, 16.0, 13.2, 0.7},  // home to the shared island
    {21.5, 8.2, 23.5, 9.2, 0.6},   // home to the islet
    {25.5, 11.6, 25.8, 16.6, 0.6}, // islet to the enemy's western island
    {10.0, 14.2, 11.6, 15.6, 0.6}, // western island to the shared island
};

const Hill hills[] = {
    {5.5, 12.3, 2.4, 1.9, 46.0, 0.3},  // western island
    {25.0, 9.8, 1.7, 1.4, 62.0, 0.0},  // the islet's crag
    {16.0, 16.0, 2.4, 1.3, 34.0, 0.4}, // the shared island's knoll
    {5.5, 3.0, 2.5, 1.8, 22.0, 0.2},   // behind the western flank of home
};

// Rocks that rise sheer from the sea, off the islets: cliffs no unit climbs.
const Hill seaStacks[] = {
    {28.5, 12.5, 0.75, 0.75, 225.0, 0.0},
};

// Noise averaged with its mirror image, so the map stays point-symmetric
// without a seam where the two halves meet.
double Symmetric(const CNoise& noise, double u, double v, double scale, int octaves) {
    return 0.5 * (noise.Fractal2(u / scale, v / scale, octaves) +
                  noise.Fractal2((32.0 - u) / scale, (32.0 - v) / scale, octaves));
}

// 1 on an island, falling to 0 across its shore; the coast line wanders.
double LandWeight(const CNoise& noise, double u, double v) {
    const double coast  = 0.12 * Symmetric(noise, u + 50.0, v, 1.7, 3);
    double       weight = 0.0;
    for (const Island& island : islands) {
        for (const double mirror : {0.0, 1.0}) {
            const double cu = mirror != 0.0 ? 32.0 - island.u : island.u;
            const double cv = mirror != 0.0 ? 32.0 - island.v : island.v;
            const double du = (u - cu) / island.radiusU, dv = (v - cv) / island.radiusV;
            const double r = std::sqrt(du * du + dv * dv) + coast;
            weight         = std::max(weight, 1.0 - SmoothStep(0.72, 1.0, r));
        }
    }
    return weight;
}

double SegmentDistance(const Ford& ford, double u, double v) {
    const double du = ford.u1 - ford.u0, dv = ford.v1 - ford.v0;
    const double t = std::clamp(((u - ford.u0) * du + (v - ford.v0) * dv) / (du * du + dv * dv), 0.0, 1.0);
    return std::hypot(u - (ford.u0 + t * du), v - (ford.v0 + t * dv));
}

// 1 on a ford's bed, falling to 0 beside it.
double FordWeight(double u, double v) {
    double weight = 0.0;
    for (const Ford& ford : fords) {
        const double distance = std::min(SegmentDistance(ford, u, v), SegmentDistance(ford, 32.0 - u, 32.0 - v));
        weight                = std::max(weight, 1.0 - SmoothStep(ford.halfWidth, ford.halfWidth + 0.6, distance));
    }
    return weight;
}

} // namespace

double IslandHeight(const CNoise& noise, double u, double v) {
    double raised = 0.0;
    for (const Hill& hill : hills) {
        raised += HillHeight(hill, u, v) + HillHeight(hill, 32.0 - u, 32.0 - v);
    }
    const double land   = plainHeight + 8.0 * Symmetric(noise, u, v, 6.0, 3) + 2.5 * Symmetric(noise, u, v, 0.6, 3);
    const double bottom = seaFloor + 5.0 * Symmetric(noise, u, v, 3.0, 2);
    const double ground = bottom + (land + raised - bottom) * LandWeight(noise, u, v);
    const double ford   = bottom + (fordLevel + 1.5 * Symmetric(noise, u, v, 0.5, 2) - bottom) * FordWeight(u, v);
    double       stacks = 0.0;
    for (const Hill& stack : seaStacks) {
        stacks += HillHeight(stack, u, v) + HillHeight(stack, 32.0 - u, 32.0 - v);
    }
    return std::max(ground, ford) + stacks;
}

const std::vector<UnitStart>& IslandRoster() {
    static const std::vector<UnitStart> roster = {
        {"headquarters.xml", {16, 1}}, {"general.xml", {15, 3}},  {"tank.xml", {12, 5}},
        {"tank.xml", {19, 6}},         {"recon.xml", {9, 6}},     {"recon.xml", {22, 6}},
        {"howitzer.xml", {13, 2}},     {"howitzer.xml", {19, 2}}, {"tank.xml", {16, 6}},
    };
    return roster;
}

const std::vector<Area>& IslandForests() {
    static const std::vector<Area> forests = {
        {6, 1, 8, 3},
        {22, 1, 24, 3},
        {3, 13, 4, 14},
        {13, 15, 14, 16},
    };
    return forests;
}

const std::vector<std::vector<Point>>& IslandRoads() {
    static const std::vector<std::vector<Point>> roads = {
        {{16, 2}, {16, 8}},
        {{16, 7}, {11, 7}, {10, 8}},
    };
    return roads;
}

} // namespace LevelLayout
