#include "rules/TerrainTypes.h"

#include "core/XmlFile.h"

namespace {

// What an index outside the list reads as.
const TerrainType noTerrainType{};

} // namespace

CTerrainTypes::CTerrainTypes(const char* path) {
    Load(path);
}

void CTerrainTypes::Load(const char* path) {
    CXmlFile xml;
    if (!xml.Open(path, CXmlFile::modeReading)) {
        return;
    }
    if (xml.EnterElement("terraintypes")) {
        for (int number = 0; xml.EnterSubElement(number); ++number) {
            char        name[maxNameLength + 1] = {};
            TerrainType type;
            const bool  complete = xml.ReadString("name", name, sizeof name) && xml.ReadFloat("attack", type.attack) &&
                                  xml.ReadFloat("defense", type.defense) && xml.ReadFloat("movement", type.movement);
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
