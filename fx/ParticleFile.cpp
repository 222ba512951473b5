#include "fx/ParticleFile.h"

#include <algorithm>

#include "core/Logger.h"
#include "core/XmlFile.h"

namespace {

// Keeps `value` within [-limit, limit] and says so in the error log.
void ClampFloat(const char* path, const char* key, float& value, float limit) {
    const float clamped = std::clamp(value, -limit, limit);
    if (clamped != value) {
        GetLogger()->LogError("CParticleFile::Load: %s: %s %g is out of range, clamped to %g", path, key, value,
                              clamped);
        value = clamped;
    }
}

bool ReadRange(CXmlFile& xml, const char* fromKey, const char* toKey, CParticleRange& range) {
    return xml.ReadFloat(fromKey, range.from) && xml.ReadFloat(toKey, range.to);
}

void ClampRange(const char* path, const char* fromKey, const char* toKey, CParticleRange& range, float limit) {
    ClampFloat(path, fromKey, range.from, limit);
    ClampFloat(path, toKey, range.to, limit);
}

// The keys in the order the file format lists them.
bool ReadKeys(CXmlFile& xml, CParticleEffect& effect) {
    int  startAgain = 0;
    char texture[CParticleFile::maxTextureLength + 1];
    char typeName[CParticleFile::maxTypeLength + 1];
    if (!xml.ReadInt("count", effect.count) || !ReadRange(xml, "velXfrom", "velXto", effect.velX) ||
        !ReadRange(xml, "velYfrom", "velYto", effect.velY) || !ReadRange(xml, "velZfrom", "velZto", effect.velZ) ||
        !ReadRange(xml, "startFrom", "startTo", effect.start) || !ReadRange(xml, "lifeFrom", "lifeTo", effect.life) ||
        !xml.ReadInt("startAgain", startAgain) || !xml.ReadFloat("size", effect.size) ||
        !xml.ReadFloat("angle", effect.angle) || !xml.ReadInt("colorA", effect.colorA) ||
        !xml.ReadInt("colorR", effect.colorR) || !xml.ReadInt("colorG", effect.colorG) ||
        !xml.ReadInt("colorB", effect.colorB) || !xml.ReadString("texture", texture, sizeof texture) ||
        !xml.ReadString("type", typeName, sizeof typeName)) {
        return false;
    }
    effect.startAgain = startAgain != 0;
    effect.texture    = texture;
    effect.typeName   = typeName;
    return true;
}

void ClampValues(const char* path, CParticleEffect& effect) {
    const int count = std::clamp(effect.count, 0, CParticleFile::maxCount);
    if (count != effect.count) {
        GetLogger()->LogError("CParticleFile::Load: %s: count %d is out of range, clamped to %d", path, effect.count,
                              count);
        effect.count = count;
    }
    ClampRange(path, "velXfrom", "velXto", effect.velX, CParticleFile::maxSpeed);
    ClampRange(path, "velYfrom", "velYto", effect.velY, CParticleFile::maxSpeed);
    ClampRange(path, "velZfrom", "velZto", effect.velZ, CParticleFile::maxSpeed);
    ClampRange(path, "startFrom", "startTo", effect.start, CParticleFile::maxSeconds);
    ClampRange(path, "lifeFrom", "lifeTo", effect.life, CParticleFile::maxSeconds);
    ClampFloat(path, "size", effect.size, CParticleFile::maxSize);
    ClampFloat(path, "angle", effect.angle, CParticleFile::maxAngle);
}

} // namespace

uint32_t CParticleEffect::GetColour() const {
    const auto byte = [](int component) { return static_cast<uint32_t>(component) & 0xFFu; };
    return (byte(colorA) << 24) | (byte(colorR) << 16) | (byte(colorG) << 8) | byte(colorB);
}

CParticleEffect::Type CParticleEffect::GetType() const {
    if (typeName == "FIRE") {
        return typeFire;
    }
    if (typeName == "SMOKE") {
        return typeSmoke;
    }
    return typeUnknown;
}

bool CParticleFile::Load(const char* path, CParticleEffect& effect) {
    CXmlFile xml;
    if (path == nullptr || !xml.Open(path, 0)) {
        return false;
    }
    effect = CParticleEffect();
    if (!ReadKeys(xml, effect)) {
        return false;
    }
    xml.Close();
    ClampValues(path, effect);
    return true;
}
