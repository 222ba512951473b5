#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The files of the data folder whose bytes decide how a level plays: its
// terrain parameters, heightmap, tiles, team files, fight values, every unit
// file the teams name, and the shared terrain types. Two machines with the
// same hash play the same commands the same way.
std::vector<std::string> LevelRuleFiles(const std::string& levelName);
// A 64-bit hash over each file's name and bytes (a missing file counts as
// missing, so it differs from an empty one).
uint64_t HashLevelFiles(const std::string& levelName);
