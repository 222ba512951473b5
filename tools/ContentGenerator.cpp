#include "tools/ContentGenerator.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/Logger.h"
#include "core/XmlFile.h"
#include "core/Heightmap.h"
#include "tools/ContentStages.h"
#include "tools/Image.h"
#include "tools/LevelGenerator.h"
#include "tools/LevelLayout.h"

namespace {

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

bool WriteWhole(const std::string& path, const void* data, size_t size) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

} // namespace

CContentGenerator::CContentGenerator(const std::string& dataFolder) : folder(dataFolder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
}

std::string CContentGenerator::PathOf(const std::string& relativePath) const {
    return folder + "/" + relativePath;
}

bool CContentGenerator::Exists(const std::string& relativePath) const {
    struct stat info;
    return stat(PathOf(relativePath).c_str(), &info) == 0;
}

std::string CContentGenerator::TemporaryName(const std::string& final) const {
    return final + ".part" + std::to_string(static_cast<long>(getpid()));
}

// link() refuses to replace an existing name, unlike rename(): a file that
// appeared meanwhile (another generator, a person) is kept.
bool CContentGenerator::Publish(const std::string& temporary, const std::string& final) {
    const bool linked = link(temporary.c_str(), final.c_str()) == 0;
    const int  error  = errno;
    unlink(temporary.c_str());
    if (linked) {
        ++writtenCount;
        return true;
    }
    if (error == EEXIST) {
        return true;
    }
    GetLogger()->LogError("content: cannot write %s: %s", final.c_str(), strerror(error));
    return false;
}

bool CContentGenerator::EnsureBytes(const std::string& relativePath, const ByteSource& source) {
    if (Exists(relativePath)) {
        return true;
    }
    const std::string          final     = PathOf(relativePath);
    const std::string          temporary = TemporaryName(final);
    const std::vector<uint8_t> bytes     = source();
    if (bytes.empty() || !MakeFolders(final) || !WriteWhole(temporary, bytes.data(), bytes.size())) {
        GetLogger()->LogError("content: cannot produce %s", final.c_str());
        unlink(temporary.c_str());
        return false;
    }
    return Publish(temporary, final);
}

bool CContentGenerator::EnsureText(const std::string& relativePath, const TextSource& source) {
    return EnsureBytes(relativePath, [&source]() {
        const std::string text = source();
        return std::vector<uint8_t>(text.begin(), text.end());
    });
}

bool CContentGenerator::EnsureXml(const std::string& relativePath, const XmlSource& source) {
    if (Exists(relativePath)) {
        return true;
    }
    const std::string final     = PathOf(relativePath);
    const std::string temporary = TemporaryName(final);
    bool              ok        = MakeFolders(final);
    if (ok) {
        CXmlFile file;
        ok = file.Open(temporary.c_str(), 1) && source(file);
        ok = file.Close() && ok;
    }
    if (!ok) {
        GetLogger()->LogError("content: cannot produce %s", final.c_str());
        unlink(temporary.c_str());
        return false;
    }
    return Publish(temporary, final);
}

bool CContentGenerator::RunLevel(const LevelLayout::Design& design) {
    using namespace LevelLayout;
    const std::string level   = design.name;
    const std::string terrain = level + "/Terrain/";
    bool              ok      = EnsureBytes(terrain + "ter_heightmap.bmp", [&design]() {
        const std::vector<int> samples = LevelGenerator::BuildHeightSamples(design);
        const int              side    = design.samplesPerSide;
        CImage                 image(side, side);
        for (int row = 0; row < side; ++row) {
            for (int column = 0; column < side; ++column) {
                const int value = samples[static_cast<size_t>(row) * side + column];
                image.SetPixel(column, row, value, value, value);
            }
        }
        return image.EncodeBmp();
    });
    ok                        = EnsureText(terrain + "ter_params.ini",
                                           []() {
                        char text[128];
                        snprintf(text, sizeof text, "maxwidth=%g\nmaxheight=%g\n", static_cast<double>(maxWidth),
                                                        static_cast<double>(maxHeight));
                        return std::string(text);
                    }) &&
         ok;
    const CHeightmap heightmap(PathOf(terrain + "ter_heightmap.bmp").c_str(), maxWidth, maxHeight);
    ok = EnsureXml(terrain + "terrain.xml",
                   [&design, &heightmap](CXmlFile& file) {
                       return LevelGenerator::WriteTerrainFile(file, LevelGenerator::ClassifyTiles(design, heightmap));
                   }) &&
         ok;
    const std::vector<LevelGenerator::TileInfo> tiles =
        LevelGenerator::ReadTerrainFile(PathOf(terrain + "terrain.xml"));
    for (int team : {1, 2}) {
        ok = EnsureXml(level + "/team" + std::to_string(team) + ".xml",
                       [&design, team](CXmlFile& file) { return LevelGenerator::WriteTeamFile(design, file, team); }) &&
             ok;
    }
    ok = EnsureXml(
             level + "/objects.xml",
             [&design, &tiles](CXmlFile& file) { return LevelGenerator::WriteObjectsFile(design, file, tiles); }) &&
         ok;
    return ContentStages::RunLevelMedia(*this, design, heightmap, tiles) && ok;
}

bool CContentGenerator::Run() {
    bool ok = true;
    for (const LevelLayout::Design& design : LevelLayout::Designs()) {
        ok = RunLevel(design) && ok;
    }
    ok = ContentStages::RunSharedData(*this) && ok;
    ok = ContentStages::RunSharedMedia(*this) && ok;
    return ok;
}
