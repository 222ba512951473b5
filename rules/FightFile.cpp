#include "rules/FightFile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/Logger.h"
#include "core/XmlFile.h"

namespace {

struct CFightKey {
    const char* name;
    float CFightParams::*field;
    float                lowest;
    float                highest;
};

// Bounds far around any sensible rule. The divisors stay well above zero, so
// no strength is multiplied by more than ten by them.
const CFightKey fightKeys[] = {
    {"attackBonus", &CFightParams::attackBonus, 0.0f, 100.0f},
    {"attackFactor", &CFightParams::attackFactor, 0.0f, 100.0f},
    {"maxAttack", &CFightParams::maxAttack, 0.1f, 1e6f},
    {"minAttack", &CFightParams::minAttack, -1e6f, 1e6f},
    {"maxDefense", &CFightParams::maxDefense, 0.1f, 1e6f},
    {"minDefense", &CFightParams::minDefense, -1e6f, 1e6f},
    {"maxSlopeBonus", &CFightParams::maxSlopeBonus, -1000.0f, 1000.0f},
};

constexpr size_t maxValueLength = 63;

// The whole text, white space around it aside, as a finite number.
bool ParseNumber(const char* text, float& value) {
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') {
        ++text;
    }
    char* end           = nullptr;
    errno               = 0;
    const double parsed = strtod(text, &end);
    if (end == text || errno == ERANGE) {
        return false;
    }
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') {
        ++end;
    }
    if (*end != '\0' || !std::isfinite(parsed)) {
        return false;
    }
    value = static_cast<float>(parsed);
    return true;
}

void ReadKey(CXmlFile& xml, const char* path, const CFightKey& key, CFightParams& fight) {
    const double kept = fight.*key.field;
    char         text[maxValueLength + 1];
    if (!xml.ReadString(key.name, text, sizeof text)) {
        GetLogger()->LogError("LoadFightParams: %s has no %s; keeping %g", path, key.name, kept);
        return;
    }
    float value = 0.0f;
    if (!ParseNumber(text, value)) {
        GetLogger()->LogError("LoadFightParams: %s: %s \"%s\" is not a finite number; keeping %g", path, key.name, text,
                              kept);
        return;
    }
    if (!(value >= key.lowest && value <= key.highest)) {
        GetLogger()->LogError("LoadFightParams: %s: %s %g lies outside %g..%g; keeping %g", path, key.name,
                              static_cast<double>(value), static_cast<double>(key.lowest),
                              static_cast<double>(key.highest), kept);
        return;
    }
    fight.*key.field = value;
}

} // namespace

bool LoadFightFile(const char* path, CFightParams& fight) {
    CXmlFile xml;
    if (path == nullptr || !xml.Open(path, CXmlFile::modeReading)) {
        GetLogger()->LogError("LoadFightParams: Couldn't load fight file %s; the combat rules stay as they are",
                              path != nullptr ? path : "(none)");
        return false;
    }
    for (const CFightKey& key : fightKeys) {
        ReadKey(xml, path, key, fight);
    }
    xml.Close();
    return true;
}
