#pragma once

#include <string>
#include <utility>

#include "TestSupport.h"

// The values of a test effect file; each test changes what it is about.
struct CEffectText {
    std::string count      = "4";
    std::string velX[2]    = {"0", "0"};
    std::string velY[2]    = {"0", "0"};
    std::string velZ[2]    = {"0", "0"};
    std::string start[2]   = {"0", "0"};
    std::string life[2]    = {"1", "1"};
    std::string startAgain = "0";
    std::string size       = "10";
    std::string angle      = "0";
    std::string colour[4]  = {"255", "255", "255", "255"}; // A, R, G, B
    std::string texture    = "white.tga";
    std::string type       = "SMOKE";
    // A key left out of the file.
    std::string missing;

    std::string Text() const {
        const std::pair<const char*, std::string> keys[] = {
            {"count", count},      {"velXfrom", velX[0]}, {"velXto", velX[1]},   {"velYfrom", velY[0]},
            {"velYto", velY[1]},   {"velZfrom", velZ[0]}, {"velZto", velZ[1]},   {"startFrom", start[0]},
            {"startTo", start[1]}, {"lifeFrom", life[0]}, {"lifeTo", life[1]},   {"startAgain", startAgain},
            {"size", size},        {"angle", angle},      {"colorA", colour[0]}, {"colorR", colour[1]},
            {"colorG", colour[2]}, {"colorB", colour[3]}, {"texture", texture},  {"type", type},
        };
        std::string text;
        for (const auto& key : keys) {
            if (missing != key.first) {
                text += "<" + std::string(key.first) + ">" + key.second + "</" + key.first + ">\n";
            }
        }
        return text;
    }

    // Writes particles/<name>.
    void Write(const std::string& name) const {
        MakeFolders("particles");
        WriteFile("particles/" + name, Text());
    }
};
