#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The files of a level that the rules read, named as data paths: terrain
// parameters, heightmap, tiles, terrain types, both team files, every unit
// file they name and the fight values. A log records a hash of their bytes,
// so that a game is never replayed on a level that has changed.
class CLevelFiles {
public:
    static std::vector<std::string> List(const std::string& levelName);
    // A 64-bit FNV-1a hash over each file's name, size and bytes in List's
    // order; a missing or unreadable file enters as its name alone.
    static uint64_t Hash(const std::string& levelName);
};
