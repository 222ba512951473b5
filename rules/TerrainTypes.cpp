#include "rules/TerrainTypes.h"

#include <cfloat>
#include <cmath>

#include "core/Logger.h"
#include "core/XmlFile.h"

namespace {

// What an index outside the list reads as.
const CTerrainType noTerrainType{};

} // namespace

CTerrainTypes::CTerrainTypes(const char* path) {
    Load(path);
}

// Every file loads into a usable list: a value that is no finite number is
// named and read as 0, the value of no terrain type.
void CTerrainTypes::Load(const char* path) {
    CXmlFile xml;
    if (!xml.Open(path, CXmlFile::modeReading)) {
        GetLogger()->LogError("CTerrainTypes: Couldn't load terrain types %s; no tile can be entered",
                              path != nullptr ? path : "(none)");
        return;
    }
    if (xml.EnterElement("terraintypes")) {
        for (int number = 0; xml.EnterSubElement(number); ++number) {
            char         name[maxNameLength + 1] = {};
            CTerrainType type;
            const auto   value = [&](const char* key, float& field) {
                if (!xml.ReadFloat(key, field)) {
                    return false;
                }
                if (!xml.LastValueWasNumber() || !(std::fabs(field) < FLT_MAX)) {
                    GetLogger()->LogError("CTerrainTypes: %s: type %d: %s is not a finite number; 0 is used", path,
                                            number, key);
                    field = 0.0f;
                }
                return true;
            };
            const bool complete = xml.ReadString("name", name, sizeof name) && value("attack", type.attack) &&
                                  value("defense", type.defense) && value("movement", type.movement);
            xml.LeaveSubElement();
            if (!complete) {
                break;
            }
            type.id   = number;
            type.name = name;
            types.push_back(type);
        }
        xml.LeaveElement();
    }
    xml.Close();
    if (types.empty()) {
        GetLogger()->LogError("CTerrainTypes: %s lists no terrain types; no tile can be entered", path);
    }
}

const std::string& CTerrainTypes::GetName(int index) const {
    return IsValid(index) ? types[static_cast<size_t>(index)].name : noTerrainType.name;
}

float CTerrainTypes::GetAttack(int index) const {
    return IsValid(index) ? types[static_cast<size_t>(index)].attack : noTerrainType.attack;
}

float CTerrainTypes::GetDefense(int index) const {
    return IsValid(index) ? types[static_cast<size_t>(index)].defense : noTerrainType.defense;
}

float CTerrainTypes::GetMovement(int index) const {
    return IsValid(index) ? types[static_cast<size_t>(index)].movement : noTerrainType.movement;
}
