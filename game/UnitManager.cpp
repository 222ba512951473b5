#include "game/UnitManager.h"

#include <algorithm>
#include <cmath>

#include "core/Logger.h"
#include "core/XmlFile.h"
#include "audio/UnitSounds.h"
#include "game/FightFile.h"
#include "game/GridManager.h"
#include "core/Heightmap.h"
#include "game/UnitLimits.h"
#include "render/WorldObjects.h"

namespace {

constexpr float degreesPerRadian = 180.0f * 0.31830988614222805f;

struct CTextKey {
    const char* key;
    std::string CUnit::*field;
};

struct CIntKey {
    const char* key;
    int CUnit::*field;
};

const CTextKey effectKeys[] = {
    {"effectWheels", &CUnit::effectWheels},       {"effectSmoke", &CUnit::effectSmoke},
    {"effectFire", &CUnit::effectFire},           {"effectAttack", &CUnit::effectAttack},
    {"effectExplosion", &CUnit::effectExplosion},
};

const CIntKey strengthKeys[] = {
    {"hitpoints", &CUnit::hitpoints},
    {"startEffectSmoke", &CUnit::startEffectSmoke},
    {"startEffectFire", &CUnit::startEffectFire},
    {"startEffectAttack", &CUnit::startEffectAttack},
    {"attack", &CUnit::attack},
    {"defense", &CUnit::defense},
    {"movement", &CUnit::movement},
    {"fireMin", &CUnit::fireMin},
    {"fireMax", &CUnit::fireMax},
    {"slopeMax", &CUnit::slopeMax},
};

const CIntKey bonusKeys[] = {
    {"bonusAttack", &CUnit::bonusAttack},
    {"bonusDefense", &CUnit::bonusDefense},
    {"bonusMovement", &CUnit::bonusMovement},
    {"bonusFirerange", &CUnit::bonusFirerange},
};

// Everything of a unit file that is not copied straight into the unit.
struct CUnitFileExtras {
    char modelFile[CUnitManager::maxModelNameLength + 1] = {};
    char soundMove[CUnit::maxTextLength + 1]             = {};
    char soundAttack[CUnit::maxTextLength + 1]           = {};
    char soundExplosion[CUnit::maxTextLength + 1]        = {};
    int  isGeneral                                       = 0;
    int  isHeadquarter                                   = 0;
};

bool ReadText(CXmlFile& xml, const char* key, std::string& text) {
    char buffer[CUnit::maxTextLength + 1];
    if (!xml.ReadString(key, buffer, sizeof buffer)) {
        return false;
    }
    text = buffer;
    return true;
}

bool ReadInts(CXmlFile& xml, const CIntKey* keys, size_t count, CUnit& unit) {
    for (size_t i = 0; i < count; ++i) {
        if (!xml.ReadInt(keys[i].key, unit.*keys[i].field)) {
            return false;
        }
    }
    return true;
}

// The required values in the file's documented order; false at the first missing one.
bool ReadUnitValues(CXmlFile& xml, CUnit& unit, CUnitFileExtras& extras) {
    if (!ReadText(xml, "name", unit.name) || !xml.ReadString("filename", extras.modelFile, sizeof extras.modelFile)) {
        return false;
    }
    for (const CTextKey& effect : effectKeys) {
        if (!ReadText(xml, effect.key, unit.*effect.field)) {
            return false;
        }
    }
    if (!xml.ReadString("soundMove", extras.soundMove, sizeof extras.soundMove) ||
        !xml.ReadString("soundAttack", extras.soundAttack, sizeof extras.soundAttack) ||
        !xml.ReadString("soundExplosion", extras.soundExplosion, sizeof extras.soundExplosion)) {
        return false;
    }
    return ReadInts(xml, strengthKeys, sizeof strengthKeys / sizeof strengthKeys[0], unit) &&
           xml.ReadFloat("speed", unit.speed) && xml.ReadInt("isGeneral", extras.isGeneral) &&
           xml.ReadInt("isHeadquarter", extras.isHeadquarter) &&
           ReadInts(xml, bonusKeys, sizeof bonusKeys / sizeof bonusKeys[0], unit);
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

int SignOf(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

CUnitManager::CUnitManager(CWorldObjects* worldObjects, const CHeightmap* levelHeightmap, const CGridManager* levelGrid,
                           const CTerrainTypes* levelTerrainTypes, CParticleSystem* particleSystem,
                           CSoundLibrary* sound)
    : pathFinder(CGridManager::gridSize), objects(worldObjects), heightmap(levelHeightmap), grid(levelGrid),
      terrainTypes(levelTerrainTypes), particles(particleSystem),
      sounds(sound != nullptr ? std::make_unique<CUnitSounds>(*sound) : nullptr) {
    pathFinder.SetCallbacks(PathCost, PathHeuristic, PathValid, this);
}

CUnitManager::~CUnitManager() {
    if (sounds) {
        for (const auto& unit : units) {
            for (const SoundSample sample : {unit->soundMove, unit->soundAttack, unit->soundExplosion}) {
                sounds->FreeSample(sample);
            }
        }
    }
    units.clear();
}

// The whole file is read before anything is created, so a file that fails
// leaves no model instance, unit or sample behind. Without world objects the
// unit has no model (the rules alone); with them, a model that cannot be
// shown refuses the unit.
int CUnitManager::LoadUnit(const char* path) {
    CXmlFile xml;
    if (path == nullptr) {
        return -1;
    }
    if (!xml.Open(path, 0)) {
        GetLogger()->LogError("CUnitManager::LoadUnit: Couldn't load unit file %s", path);
        return -1;
    }
    auto            unit = std::make_unique<CUnit>();
    CUnitFileExtras extras;
    if (!ReadUnitValues(xml, *unit, extras) || !ReadNotUsable(xml, unit->notUsable)) {
        GetLogger()->LogError("CUnitManager::LoadUnit: %s lacks a value or a terrainid; the unit is not loaded", path);
        return -1;
    }
    xml.Close();
    CUnitLimits::Apply(*unit, path);
    CModelInstance* instance = nullptr;
    if (objects != nullptr) {
        unit->modelInstance = objects->AddObject(extras.modelFile);
        instance            = objects->GetObjectByIndex(unit->modelInstance);
        if (instance == nullptr) {
            GetLogger()->LogError("CUnitManager::LoadUnit: %s: the model %s cannot be shown; the unit is not loaded",
                                  path, extras.modelFile);
            return -1;
        }
        instance->SetScale(unitScale);
    }
    unit->maxHitpoints  = unit->hitpoints;
    unit->isGeneral     = extras.isGeneral != 0;
    unit->isHeadquarter = extras.isHeadquarter != 0;
    maxHitpoints        = std::max(maxHitpoints, unit->maxHitpoints);
    LoadSamples(*unit, extras.soundAttack, extras.soundMove, extras.soundExplosion);
    units.push_back(std::move(unit));
    const int index = GetCount() - 1;
    if (instance != nullptr) {
        instance->SetUnitIndex(index);
    }
    return index;
}

// A sample that cannot be loaded stays noSound, and playing it does nothing.
void CUnitManager::LoadSamples(CUnit& unit, const char* soundAttack, const char* soundMove,
                               const char* soundExplosion) {
    if (!sounds) {
        return;
    }
    unit.soundAttack    = sounds->LoadSample(soundAttack);
    unit.soundMove      = sounds->LoadSample(soundMove);
    unit.soundExplosion = sounds->LoadSample(soundExplosion);
}

CUnit* CUnitManager::MutableUnit(int index) {
    return index >= 0 && index < GetCount() ? units[index].get() : nullptr;
}

const CUnit* CUnitManager::GetUnitByIndex(int index) const {
    return index >= 0 && index < GetCount() ? units[index].get() : nullptr;
}

bool CUnitManager::AssignTeam(int index, int team) {
    CUnit* unit = MutableUnit(index);
    if (unit == nullptr || team < 1 || team > teamCount) {
        return false;
    }
    unit->team               = team;
    startHitpoints[team - 1] = SaturatedSum(startHitpoints[team - 1], unit->hitpoints);
    return true;
}

void CUnitManager::SetEffectSpecial(int index, const char* effect) {
    CUnit* unit = MutableUnit(index);
    if (unit != nullptr && effect != nullptr) {
        unit->effectSpecial = effect;
        if (unit->effectSpecial.size() > CUnit::maxTextLength) {
            unit->effectSpecial.resize(CUnit::maxTextLength);
        }
    }
}

void CUnitManager::PlaceUnit(int index, int x, int y) {
    CUnit* unit = MutableUnit(index);
    if (unit == nullptr) {
        return;
    }
    unit->tileX = unit->targetX = x;
    unit->tileY = unit->targetY = y;
    CGridManager::TileCentreAt(TileSize(), x, y, unit->worldX, unit->worldZ);
    PlaceModel(*unit);
}

float CUnitManager::TileSize() const {
    return grid != nullptr ? grid->GetTileSize() : 0.0f;
}

CModelInstance* CUnitManager::ModelOf(const CUnit& unit) const {
    return objects != nullptr ? objects->GetObjectByIndex(unit.modelInstance) : nullptr;
}

// The model follows what the unit records: ground position and the three angles.
void CUnitManager::PlaceModel(const CUnit& unit) const {
    CModelInstance* instance = ModelOf(unit);
    if (instance == nullptr) {
        return;
    }
    objects->PlaceOnGround(unit.modelInstance, unit.worldX, unit.worldZ);
    instance->SetRotation(unit.pitch, unit.yaw, unit.roll);
}

void CUnitManager::FaceTile(int index, int x, int y) {
    float px = 0.0f, pz = 0.0f;
    CGridManager::TileCentreAt(TileSize(), x, y, px, pz);
    FacePoint(index, px, pz);
}

// Yaw 0 looks along +z; a point towards +x turns the model by a negative yaw.
// At the unit's own position the direction is undefined and the yaw stays.
void CUnitManager::FacePoint(int index, float px, float pz) {
    CUnit* unit = MutableUnit(index);
    if (unit == nullptr) {
        return;
    }
    const float dx     = px - unit->worldX;
    const float dz     = pz - unit->worldZ;
    const float length = std::sqrt(dx * dx + dz * dz);
    if (!(length > 0.0f) || !std::isfinite(length)) {
        return;
    }
    float yaw = std::acos(std::max(-1.0f, std::min(1.0f, dz / length))) * degreesPerRadian;
    if (px > unit->worldX) {
        yaw = -yaw;
    }
    unit->yaw = yaw;
    if (CModelInstance* instance = ModelOf(*unit)) {
        instance->SetRotY(yaw);
    }
}

// The ground is sampled half a tile ahead of and behind the centre of `to`
// along the step, and half a tile to either side of it.
void CUnitManager::TiltUnit(int index, int fromX, int fromY, int toX, int toY) {
    CUnit* unit = MutableUnit(index);
    if (unit == nullptr) {
        return;
    }
    float pitch = 0.0f, roll = 0.0f;
    if ((fromX != toX || fromY != toY) && heightmap != nullptr) {
        const float tileSize = TileSize();
        const float half     = tileSize / 2.0f;
        float       cx = 0.0f, cz = 0.0f;
        CGridManager::TileCentreAt(tileSize, toX, toY, cx, cz);
        const float dx = static_cast<float>(SignOf(toX - fromX)), dz = static_cast<float>(SignOf(toY - fromY));
        const float rx = -dz, rz = dx;
        auto        height = [this](float x, float z) { return heightmap->HeightAt(x, z); };
        pitch = std::atan2(height(cx + half * dx, cz + half * dz) - height(cx - half * dx, cz - half * dz), tileSize) *
                degreesPerRadian;
        roll = std::atan2(height(cx + half * rx, cz + half * rz) - height(cx - half * rx, cz - half * rz), tileSize) *
               degreesPerRadian;
    }
    unit->pitch = pitch;
    unit->roll  = roll;
    if (CModelInstance* instance = ModelOf(*unit)) {
        instance->SetRotX(pitch);
        instance->SetRotZ(roll);
    }
}

bool CUnitManager::LoadFightParams(const char* path) {
    return ::LoadFightParams(path, fight);
}

bool CUnitManager::GetUnitLook(int index, CUnitLook& look) const {
    const CUnit* unit = GetUnitByIndex(index);
    if (unit == nullptr) {
        return false;
    }
    look.hitPoints = unit->hitpoints;
    look.team      = unit->team;
    look.done      = unit->done;
    return true;
}

// ---- queries ----

namespace {

template <typename Field> int ValueOf(const CUnit* unit, Field field) {
    return unit != nullptr ? unit->*field : 0;
}

bool IsFighting(const CUnit& unit) {
    return unit.hitpoints > 0 && !unit.isHeadquarter;
}

} // namespace

int CUnitManager::GetHitpoints(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::hitpoints);
}

int CUnitManager::GetUnitMaxHitpoints(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::maxHitpoints);
}

int CUnitManager::GetEffectiveAttack(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr ? SaturatedSum(unit->attack, unit->boostAttack) : 0;
}

int CUnitManager::GetEffectiveDefense(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr ? SaturatedSum(unit->defense, unit->boostDefense) : 0;
}

int CUnitManager::GetEffectiveMovement(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr ? SaturatedSum(unit->movement, unit->boostMovement) : 0;
}

int CUnitManager::GetEffectiveFireMax(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr ? SaturatedSum(unit->fireMax, unit->boostFirerange) : 0;
}

int CUnitManager::GetFireMin(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::fireMin);
}

int CUnitManager::GetSlopeMax(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::slopeMax);
}

int CUnitManager::GetTeam(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::team);
}

bool CUnitManager::IsGeneral(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr && unit->isGeneral;
}

bool CUnitManager::IsHeadquarter(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr && unit->isHeadquarter;
}

int CUnitManager::GetBonusAttack(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::bonusAttack);
}

int CUnitManager::GetBonusDefense(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::bonusDefense);
}

int CUnitManager::GetBonusMovement(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::bonusMovement);
}

int CUnitManager::GetBonusFirerange(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::bonusFirerange);
}

int CUnitManager::GetBoostAttack(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::boostAttack);
}

int CUnitManager::GetBoostDefense(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::boostDefense);
}

int CUnitManager::GetBoostMovement(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::boostMovement);
}

int CUnitManager::GetBoostFirerange(int index) const {
    return ValueOf(GetUnitByIndex(index), &CUnit::boostFirerange);
}

bool CUnitManager::IsDone(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr && unit->done;
}

void CUnitManager::SetDone(int index, bool done) {
    CUnit* unit = MutableUnit(index);
    if (unit != nullptr) {
        unit->done = done;
    }
}

bool CUnitManager::IsMoving(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr && unit->moving;
}

template <typename Filter, typename Value> int CUnitManager::SumOverTeam(int team, Filter filter, Value value) const {
    int sum = 0;
    for (const auto& unit : units) {
        if (unit->team == team && filter(*unit)) {
            sum = SaturatedSum(sum, value(*unit));
        }
    }
    return sum;
}

int CUnitManager::CountReadyUnits(int team) const {
    return SumOverTeam(
        team, [](const CUnit& unit) { return IsFighting(unit) && !unit.done; }, [](const CUnit&) { return 1; });
}

int CUnitManager::CountLivingUnits(int team) const {
    return SumOverTeam(team, IsFighting, [](const CUnit&) { return 1; });
}

int CUnitManager::HeadquartersHitpoints(int team) const {
    return SumOverTeam(
        team, [](const CUnit& unit) { return unit.isHeadquarter && unit.hitpoints > 0; },
        [](const CUnit& unit) { return unit.hitpoints; });
}

int CUnitManager::GetTeamHitpoints(int team) const {
    return SumOverTeam(
        team, [](const CUnit& unit) { return unit.hitpoints > 0; }, [](const CUnit& unit) { return unit.hitpoints; });
}

bool CUnitManager::HasTeamLost(int team) const {
    return CountLivingUnits(team) == 0 || HeadquartersHitpoints(team) <= 0;
}

int CUnitManager::GetStartHitpoints(int team) const {
    return team >= 1 && team <= teamCount ? startHitpoints[team - 1] : 0;
}
