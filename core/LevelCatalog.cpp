#include "core/LevelCatalog.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "core/Logger.h"
#include "core/PropertyFile.h"
#include "platform/FileGate.h"

namespace {

constexpr int bmpHeaderBytes = 54;
constexpr int maxPatchesSide = 32;
constexpr int patchCells     = 32;

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

int32_t ReadInt32(const uint8_t* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

bool IsSupportedSide(int side) {
    const int patches = (side - 1) / patchCells;
    return side > patchCells && (side - 1) % patchCells == 0 && patches <= maxPatchesSide &&
           (patches & (patches - 1)) == 0;
}

// The heightmap's samples per side from its header alone (the chooser lists
// levels without loading them); the reason when the terrain cannot use it.
std::string CheckHeightmap(const std::string& path, int& side) {
    FILE* file = CFileGate::OpenForReading(path.c_str(), FileKind::image);
    if (file == nullptr) {
        return "no Terrain/ter_heightmap.bmp";
    }
    uint8_t    header[bmpHeaderBytes];
    const bool complete = fread(header, 1, sizeof header, file) == sizeof header;
    fclose(file);
    if (!complete || header[0] != 'B' || header[1] != 'M') {
        return "Terrain/ter_heightmap.bmp is not a BMP picture";
    }
    const int width = ReadInt32(header + 18), height = ReadInt32(header + 22);
    const int bits = header[28] | header[29] << 8, compression = ReadInt32(header + 30);
    if (bits != 24 || compression != 0) {
        return "Terrain/ter_heightmap.bmp is not 24-bit uncompressed";
    }
    if (width != height && width != -height) {
        return "the heightmap is not square";
    }
    if (!IsSupportedSide(width)) {
        return "the heightmap's " + std::to_string(width) + " samples a side are not 32 k + 1 (k = 1, 2, 4 ... 32)";
    }
    side = width;
    return "";
}

CLevelEntry Inspect(const std::string& folder, const std::string& name) {
    CLevelEntry       entry;
    const std::string level = folder + "/" + name + "/";
    entry.name              = name;
    if (IsFile(level + "preview.bmp")) {
        entry.preview = level + "preview.bmp";
    }
    if (!IsFile(level + "Terrain/ter_params.ini")) {
        entry.reason = "no Terrain/ter_params.ini";
        return entry;
    }
    CPropertyFile params((level + "Terrain/ter_params.ini").c_str());
    if (!(params.GetFloatProperty("maxwidth") > 0.0f) || !(params.GetFloatProperty("maxheight") > 0.0f)) {
        entry.reason = "Terrain/ter_params.ini lacks a positive maxwidth or maxheight";
        return entry;
    }
    entry.reason = CheckHeightmap(level + "Terrain/ter_heightmap.bmp", entry.samplesPerSide);
    for (const char* file : {"Terrain/terrain.xml", "team1.xml", "team2.xml"}) {
        if (entry.reason.empty() && !IsFile(level + file)) {
            entry.reason = std::string("no ") + file;
        }
    }
    return entry;
}

} // namespace

CLevelCatalog::CLevelCatalog(const std::string& folder) {
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        GetLogger()->LogError("CLevelCatalog: cannot list the levels in %s", folder.c_str());
        return;
    }
    while (const dirent* item = readdir(directory)) {
        const std::string name = item->d_name;
        const std::string path = folder + "/" + name;
        if (name.empty() || name[0] == '.' || !IsFolder(path)) {
            continue;
        }
        if (IsFolder(path + "/Terrain") || IsFile(path + "/team1.xml") || IsFile(path + "/team2.xml")) {
            levels.push_back(Inspect(folder, name));
        }
    }
    closedir(directory);
    std::sort(levels.begin(), levels.end(), [](const CLevelEntry& a, const CLevelEntry& b) { return a.name < b.name; });
}

const CLevelEntry* CLevelCatalog::Find(const std::string& name) const {
    for (const CLevelEntry& level : levels) {
        if (level.name == name) {
            return &level;
        }
    }
    return nullptr;
}

int CLevelCatalog::ChooseIndex(const std::vector<CLevelEntry>& levels, const std::string& wanted) {
    int fallback = -1;
    for (int index = 0; index < static_cast<int>(levels.size()); ++index) {
        const CLevelEntry& level = levels[index];
        if (!level.IsUsable()) {
            continue;
        }
        if (level.name == wanted) {
            return index;
        }
        if (fallback == -1 || level.name == defaultLevel) {
            fallback = index;
        }
    }
    return fallback;
}

std::string CLevelCatalog::Choose(const std::string& wanted) const {
    const int          index = ChooseIndex(levels, wanted);
    const CLevelEntry* named = Find(wanted);
    if (!wanted.empty() && (named == nullptr || !named->IsUsable())) {
        GetLogger()->LogError("CLevelCatalog: level \"%s\" %s; %s is played instead", wanted.c_str(),
                              named != nullptr ? ("cannot be played: " + named->reason).c_str() : "does not exist",
                              index >= 0 ? levels[index].name.c_str() : defaultLevel);
    }
    return index >= 0 ? levels[index].name : defaultLevel;
}
