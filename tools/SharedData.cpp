#include "core/XmlFile.h"
#include "tools/ContentCatalog.h"
#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"
#include "tools/LevelLayout.h"
#include "tools/ShaderPrograms.h"

namespace {

using ContentCatalog::UnitKind;

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

// A tank firing at a tank on open ground takes about a fifth of its hit
// points and deals a third; forest cover and height change that visibly.
bool WriteFightParameters(CXmlFile& file) {
    bool ok = file.WriteFloat("attackBonus", 1.25f);
    ok      = ok && file.WriteFloat("attackFactor", 1.0f);
    ok      = ok && file.WriteFloat("maxAttack", 24.0f);
    ok      = ok && file.WriteFloat("minAttack", 1.0f);
    ok      = ok && file.WriteFloat("maxDefense", 30.0f);
    ok      = ok && file.WriteFloat("minDefense", 1.0f);
    return ok && file.WriteFloat("maxSlopeBonus", 6.0f);
}

std::string SoundName(const UnitKind& kind, const char* suffix) {
    return std::string(kind.soundStem) + suffix;
}

bool WriteUnit(CXmlFile& file, const UnitKind& kind) {
    bool ok = file.WriteString("name", kind.name);
    ok      = ok && file.WriteString("filename", kind.model);
    ok      = ok && file.WriteString("effectWheels", kind.wheels);
    ok      = ok && file.WriteString("effectSmoke", "smoke.xml");
    ok      = ok && file.WriteString("effectFire", "fire.xml");
    ok      = ok && file.WriteString("effectAttack", "attack.xml");
    ok      = ok && file.WriteString("effectExplosion", kind.explosion);
    ok      = ok && file.WriteString("soundMove", SoundName(kind, "_move.wav").c_str());
    ok      = ok && file.WriteString("soundAttack", SoundName(kind, "_shot.wav").c_str());
    ok      = ok && file.WriteString("soundExplosion", SoundName(kind, "_explosion.wav").c_str());
    ok      = ok && file.WriteInt("hitpoints", kind.hitpoints);
    // Smoke below 60 % of the hit points, fire below 30 %; the hit effect
    // for every hit above the 50-point minimum damage.
    ok    = ok && file.WriteInt("startEffectSmoke", kind.hitpoints * 6 / 10);
    ok    = ok && file.WriteInt("startEffectFire", kind.hitpoints * 3 / 10);
    ok    = ok && file.WriteInt("startEffectAttack", 50);
    ok    = ok && file.WriteInt("attack", kind.attack);
    ok    = ok && file.WriteInt("defense", kind.defense);
    ok    = ok && file.WriteInt("movement", kind.movement);
    ok    = ok && file.WriteInt("fireMin", kind.fireMin);
    ok    = ok && file.WriteInt("fireMax", kind.fireMax);
    ok    = ok && file.WriteInt("slopeMax", kind.slopeMax);
    ok    = ok && file.WriteFloat("speed", kind.speed);
    ok    = ok && file.WriteInt("isGeneral", kind.isGeneral ? 1 : 0);
    ok    = ok && file.WriteInt("isHeadquarter", kind.isHeadquarter ? 1 : 0);
    ok    = ok && file.WriteInt("bonusAttack", kind.bonusAttack);
    ok    = ok && file.WriteInt("bonusDefense", kind.bonusDefense);
    ok    = ok && file.WriteInt("bonusMovement", kind.bonusMovement);
    ok    = ok && file.WriteInt("bonusFirerange", kind.bonusFirerange);
    ok    = ok && file.BeginWriteElement("notusable");
    int n = 0;
    for (int terrainId : kind.notUsable) {
        ok = ok && file.BeginWriteSubElement(n++);
        ok = ok && file.WriteInt("terrainid", terrainId);
        ok = ok && file.EndWriteSubElement();
    }
    return ok && file.EndWriteElement();
}

bool WriteEditorList(CXmlFile& file) {
    bool ok = file.BeginWriteElement("objects");
    int  n  = 0;
    for (const std::string& model : ContentCatalog::ObjectModels()) {
        ok = ok && file.BeginWriteSubElement(n++);
        ok = ok && file.WriteString("filename", model.c_str());
        ok = ok && file.EndWriteSubElement();
    }
    return ok && file.EndWriteElement();
}

const char* PieceOfRole(int role) {
    for (const ContentCatalog::MusicPiece& piece : ContentCatalog::MusicPieces()) {
        if (piece.role == role) {
            return piece.fileName;
        }
    }
    return "";
}

bool WritePlaylist(CXmlFile& file) {
    bool ok = file.WriteString("intro", PieceOfRole(0));
    ok      = ok && file.WriteString("end", PieceOfRole(3));
    ok      = ok && file.WriteString("bridge", PieceOfRole(2));
    ok      = ok && file.BeginWriteElement("playlist");
    int n   = 0;
    for (const ContentCatalog::MusicPiece& piece : ContentCatalog::MusicPieces()) {
        if (piece.role == 1) {
            ok = ok && file.BeginWriteSubElement(n++);
            ok = ok && file.WriteString("filename", piece.fileName);
            ok = ok && file.EndWriteSubElement();
        }
    }
    return ok && file.EndWriteElement();
}

} // namespace

namespace ContentStages {

bool RunSharedData(CContentGenerator& generator) {
    bool ok = generator.EnsureXml("Terrain/terraintypes.xml", WriteTerrainTypes);
    for (const LevelLayout::Design& design : LevelLayout::Designs()) {
        ok = generator.EnsureXml(std::string(design.name) + "/fight.xml", WriteFightParameters) && ok;
    }
    for (const UnitKind& kind : ContentCatalog::UnitKinds()) {
        ok = generator.EnsureXml(std::string("units/") + kind.unitFile, [&kind](CXmlFile& file) {
            return WriteUnit(file, kind);
        }) && ok;
    }
    ok = generator.EnsureXml("objects/editor.xml", WriteEditorList) && ok;
    ok = generator.EnsureXml("music/playlist.xml", WritePlaylist) && ok;
    ok =
        generator.EnsureText("shader/celshadermulti.vsh", []() { return std::string(ShaderPrograms::celMulti); }) && ok;
    ok = generator.EnsureText("shader/celshadersingle.vsh", []() { return std::string(ShaderPrograms::celSingle); }) &&
         ok;
    ok = WriteInterfaceFiles(generator) && ok;
    return WriteParticleFiles(generator) && ok;
}

} // namespace ContentStages
