#include "core/TerrainParams.h"

#include <cmath>

#include "core/Logger.h"
#include "core/PropertyFile.h"

namespace {

// The value of `key` as strtod reads it; false (logged) when the key is
// missing or the value is not a finite number in (0, limit].
bool ReadDimension(const CPropertyFile& params, const char* path, const char* key, float limit, float& value) {
    if (params.FindProperty(key) == nullptr) {
        GetLogger()->LogError("CTerrainParams::Load: %s has no %s", path, key);
        return false;
    }
    value = params.GetFloatProperty(key);
    if (!std::isfinite(value) || value <= 0.0f || value > limit) {
        GetLogger()->LogError("CTerrainParams::Load: %s: %s %s is not a number in (0, %g]", path, key,
                              params.FindProperty(key)->value.c_str(), static_cast<double>(limit));
        return false;
    }
    return true;
}

} // namespace

bool CTerrainParams::Load(const char* path) {
    maxWidth  = 0.0f;
    maxHeight = 0.0f;
    if (path == nullptr) {
        return false;
    }
    CPropertyFile params(path);
    if (params.FindProperty("maxwidth") == nullptr && params.FindProperty("maxheight") == nullptr) {
        GetLogger()->LogError(
            "CTerrainParams::Load: Couldn't load terrain parameters from %s (missing, unreadable or empty)", path);
        return false;
    }
    float width = 0.0f, height = 0.0f;
    if (!ReadDimension(params, path, "maxwidth", maxWidthLimit, width) ||
        !ReadDimension(params, path, "maxheight", maxHeightLimit, height)) {
        return false;
    }
    maxWidth  = width;
    maxHeight = height;
    return true;
}
