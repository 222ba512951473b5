#include "rules/FightFile.h"

#include <cmath>

#include "core/Logger.h"
#include "core/XmlFile.h"

// maxAttack and maxDefense divide the strengths, so they must lie above 0.
bool LoadFightFile(const char* path, FightParams& fight) {
    CXmlFile xml;
    if (path == nullptr || !xml.Open(path, 0)) {
        return false;
    }
    struct CFightKey {
        const char* key;
        float FightParams::*field;
        bool                divides;
    };
    const CFightKey keys[] = {
        {"attackBonus", &FightParams::attackBonus, false},     {"attackFactor", &FightParams::attackFactor, false},
        {"maxAttack", &FightParams::maxAttack, true},          {"minAttack", &FightParams::minAttack, false},
        {"maxDefense", &FightParams::maxDefense, true},        {"minDefense", &FightParams::minDefense, false},
        {"maxSlopeBonus", &FightParams::maxSlopeBonus, false},
    };
    for (const CFightKey& key : keys) {
        float value = fight.*key.field;
        if (!xml.ReadFloat(key.key, value)) {
            continue;
        }
        if (!std::isfinite(value) || (key.divides && !(value > 0.0f))) {
            GetLogger()->LogError("%s: %s %f is not %s; keeping %f", path, key.key, value,
                                  key.divides ? "above 0" : "a finite number", fight.*key.field);
            continue;
        }
        fight.*key.field = value;
    }
    xml.Close();
    return true;
}
