#include "rules/UnitFile.h"

#include "core/Logger.h"
#include "core/XmlFile.h"
#include "rules/UnitLimits.h"

namespace {

struct CUnitTextKey {
    const char* key;
    std::string CUnitMedia::*field;
};

struct CUnitIntKey {
    const char* key;
    int CUnit::*field;
};

const CUnitTextKey effectKeys[] = {
    {"effectWheels", &CUnitMedia::effectWheels},       {"effectSmoke", &CUnitMedia::effectSmoke},
    {"effectFire", &CUnitMedia::effectFire},           {"effectAttack", &CUnitMedia::effectAttack},
    {"effectExplosion", &CUnitMedia::effectExplosion},
};

const CUnitTextKey soundKeys[] = {
    {"soundMove", &CUnitMedia::soundMove},
    {"soundAttack", &CUnitMedia::soundAttack},
    {"soundExplosion", &CUnitMedia::soundExplosion},
};

const CUnitIntKey strengthKeys[] = {
    {"attack", &CUnit::attack},   {"defense", &CUnit::defense}, {"movement", &CUnit::movement},
    {"fireMin", &CUnit::fireMin}, {"fireMax", &CUnit::fireMax}, {"slopeMax", &CUnit::slopeMax},
};

const CUnitIntKey bonusKeys[] = {
    {"bonusAttack", &CUnit::bonusAttack},
    {"bonusDefense", &CUnit::bonusDefense},
    {"bonusMovement", &CUnit::bonusMovement},
    {"bonusFirerange", &CUnit::bonusFirerange},
};

bool ReadText(CXmlFile& xml, const char* key, std::string& text, size_t maxLength = CUnit::maxTextLength) {
    std::string buffer(maxLength + 1, '\0');
    if (!xml.ReadString(key, &buffer[0], buffer.size())) {
        return false;
    }
    text = buffer.c_str();
    return true;
}

template <typename Key, typename Record> bool ReadTexts(CXmlFile& xml, const Key& keys, Record& record) {
    for (const auto& entry : keys) {
        if (!ReadText(xml, entry.key, record.*entry.field)) {
            return false;
        }
    }
    return true;
}

template <typename Key> bool ReadInts(CXmlFile& xml, const Key& keys, CUnit& unit) {
    for (const auto& entry : keys) {
        if (!xml.ReadInt(entry.key, unit.*entry.field)) {
            return false;
        }
    }
    return true;
}

// The required values in the file's documented order; false at the first missing one.
bool ReadUnitValues(CXmlFile& xml, CUnit& unit, CUnitMedia& media) {
    int        isGeneral = 0, isHeadquarter = 0;
    const bool read = ReadText(xml, "name", unit.name) &&
                      ReadText(xml, "filename", media.modelFile, CUnitMedia::maxModelNameLength) &&
                      ReadTexts(xml, effectKeys, media) && ReadTexts(xml, soundKeys, media) &&
                      xml.ReadInt("hitpoints", unit.hitpoints) &&
                      xml.ReadInt("startEffectSmoke", media.startEffectSmoke) &&
                      xml.ReadInt("startEffectFire", media.startEffectFire) &&
                      xml.ReadInt("startEffectAttack", media.startEffectAttack) && ReadInts(xml, strengthKeys, unit) &&
                      xml.ReadFloat("speed", media.speed) && xml.ReadInt("isGeneral", isGeneral) &&
                      xml.ReadInt("isHeadquarter", isHeadquarter) && ReadInts(xml, bonusKeys, unit);
    unit.isGeneral     = isGeneral != 0;
    unit.isHeadquarter = isHeadquarter != 0;
    return read;
}

// The optional "notusable" list; an entry without "terrainid" makes the file invalid.
bool ReadNotUsable(CXmlFile& xml, std::vector<int>& notUsable) {
    if (!xml.EnterElement("notusable")) {
        return true;
    }
    for (int n = 0; xml.EnterSubElement(n); ++n) {
        int terrainId = 0;
        if (!xml.ReadInt("terrainid", terrainId)) {
            return false;
        }
        notUsable.push_back(terrainId);
        xml.LeaveSubElement();
    }
    xml.LeaveElement();
    return true;
}

} // namespace

bool CUnitFile::Load(const char* path) {
    unit  = CUnit();
    media = CUnitMedia();
    CXmlFile xml;
    if (path == nullptr) {
        return false;
    }
    if (!xml.Open(path, 0)) {
        GetLogger()->LogError("CUnitManager::LoadUnit: Couldn't load unit file %s", path);
        return false;
    }
    if (!ReadUnitValues(xml, unit, media) || !ReadNotUsable(xml, unit.notUsable)) {
        GetLogger()->LogError("CUnitManager::LoadUnit: %s lacks a value or a terrainid; the unit is not loaded", path);
        unit  = CUnit();
        media = CUnitMedia();
        return false;
    }
    xml.Close();
    CUnitLimits::Apply(unit, media, path);
    unit.maxHitpoints = unit.hitpoints;
    return true;
}
