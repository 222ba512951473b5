#pragma once

#include <vector>

#include "tools/LevelGenerator.h"

class CContentGenerator;
class CHeightmap;

// The groups of files the generator makes, each in its own source file.
namespace ContentStages {

// Patch textures, sea, sky and the chooser's preview picture of a level.
bool RunLevelMedia(CContentGenerator& generator, const LevelLayout::Design& design, const CHeightmap& heightmap,
                   const std::vector<LevelGenerator::TileInfo>& tiles);
// Terrain types, units, fight parameters, interface, particles, playlist,
// the editor's object list and the vertex programs.
bool RunSharedData(CContentGenerator& generator);
bool WriteInterfaceFiles(CContentGenerator& generator);
bool WriteParticleFiles(CContentGenerator& generator);
// Models and their textures, particle textures, sounds and music.
bool RunSharedMedia(CContentGenerator& generator);
bool WriteModels(CContentGenerator& generator);
bool WriteParticleTextures(CContentGenerator& generator);
bool WriteSounds(CContentGenerator& generator);
bool WriteMusic(CContentGenerator& generator);

} // namespace ContentStages
