#include "tools/LevelLayout.h"

#include <cmath>

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

Point Mirror(Point tile) {
    return {tilesPerSide - 1 - tile.x, tilesPerSide - 1 - tile.y};
}

} // namespace LevelLayout
