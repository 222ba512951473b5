#include "session/LevelFiles.h"

#include "platform/FileGate.h"
#include "rules/TeamFile.h"

namespace {

class CByteHash {
public:
    void Add(const void* data, size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= bytes[i];
            hash *= 0x100000001B3ULL;
        }
    }
    void AddNumber(uint64_t value) {
        unsigned char bytes[8];
        for (unsigned char& byte : bytes) {
            byte = static_cast<unsigned char>(value & 0xFFU);
            value >>= 8;
        }
        Add(bytes, sizeof bytes);
    }
    uint64_t Get() const { return hash; }

private:
    uint64_t hash = 0xCBF29CE484222325ULL;
};

bool IsImage(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0;
}

} // namespace

std::vector<std::string> CLevelFiles::List(const std::string& levelName) {
    const std::string        level = levelName + "\\";
    std::vector<std::string> files = {level + "Terrain\\ter_params.ini", level + "Terrain\\ter_heightmap.bmp",
                                      level + "Terrain\\terrain.xml", "Terrain\\terraintypes.xml"};
    for (const char* team : {"team1.xml", "team2.xml"}) {
        files.push_back(level + team);
        CTeamFile teamFile;
        if (teamFile.Load((level + team).c_str())) {
            for (const CTeamEntry& entry : teamFile.GetEntries()) {
                files.push_back("units\\" + entry.fileName);
            }
        }
    }
    files.push_back(level + "fight.xml");
    return files;
}

uint64_t CLevelFiles::Hash(const std::string& levelName) {
    CByteHash hash;
    for (const std::string& file : List(levelName)) {
        hash.Add(file.data(), file.size() + 1);
        std::string bytes;
        bool        missing = false;
        if (CFileGate::ReadWholeFile(file.c_str(), IsImage(file) ? FileKind::image : FileKind::text, bytes, &missing)) {
            hash.AddNumber(bytes.size());
            hash.Add(bytes.data(), bytes.size());
        }
    }
    return hash.Get();
}
