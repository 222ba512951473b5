#include "app/XmlFile.h"
#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"
#include "tools/LevelLayout.h"

namespace {

struct TerrainTypeRecord {
    const char* name;
    float       attack, defense, movement;
};

// Defence is added to a unit's own defence in combat; movement is the path
// cost of entering the tile (roads are cheap, forest and rough ground dear).
const TerrainTypeRecord terrainTypes[LevelLayout::terrainCount] = {
    {"Grassland", 0.0f, 0.0f, 1.0f}, {"Forest", 1.0f, 4.0f, 2.0f}, {"Rough ground", 1.0f, 2.0f, 2.0f},
    {"Sand", -1.0f, -1.0f, 1.5f},    {"Road", 0.0f, -2.0f, 0.5f},  {"Water", -4.0f, -4.0f, 10.0f},
    {"Rock", 2.0f, 6.0f, 4.0f},
};

bool WriteTerrainTypes(CXmlFile& file) {
    bool ok = file.BeginWriteElement("terraintypes");
    for (int n = 0; n < LevelLayout::terrainCount; ++n) {
        ok = ok && file.BeginWriteSubElement(n);
        ok = ok && file.WriteString("name", terrainTypes[n].name);
        ok = ok && file.WriteFloat("attack", terrainTypes[n].attack);
        ok = ok && file.WriteFloat("defense", terrainTypes[n].defense);
        ok = ok && file.WriteFloat("movement", terrainTypes[n].movement);
        ok = ok && file.EndWriteSubElement();
    }
    return ok && file.EndWriteElement();
}

} // namespace

namespace ContentStages {

bool RunSharedData(CContentGenerator& generator) {
    return generator.EnsureXml("Terrain/terraintypes.xml", WriteTerrainTypes);
}

} // namespace ContentStages
