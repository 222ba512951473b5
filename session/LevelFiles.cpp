#include "session/LevelFiles.h"

#include <algorithm>

#include "platform/FileGate.h"
#include "rules/StateHash.h"
#include "rules/TeamFile.h"

std::vector<std::string> LevelRuleFiles(const std::string& levelName) {
    const std::string        level = levelName + "\\";
    std::vector<std::string> files = {level + "Terrain\\ter_params.ini",
                                      level + "Terrain\\ter_heightmap.bmp",
                                      level + "Terrain\\terrain.xml",
                                      "Terrain\\terraintypes.xml",
                                      level + "team1.xml",
                                      level + "team2.xml",
                                      level + "fight.xml"};
    std::vector<std::string> units;
    for (const char* team : {"team1.xml", "team2.xml"}) {
        CTeamFile teamFile;
        if (teamFile.Load((level + team).c_str())) {
            for (const CTeamEntry& entry : teamFile.GetEntries()) {
                units.push_back("units\\" + entry.fileName);
            }
        }
    }
    std::sort(units.begin(), units.end());
    units.erase(std::unique(units.begin(), units.end()), units.end());
    files.insert(files.end(), units.begin(), units.end());
    return files;
}

uint64_t HashLevelFiles(const std::string& levelName) {
    CStateHash hash;
    for (const std::string& file : LevelRuleFiles(levelName)) {
        for (const char letter : file) {
            hash.Add(letter);
        }
        std::vector<uint8_t> bytes;
        const bool           read = CFileGate::ReadWholeFile(file.c_str(), FileKind::image, bytes);
        hash.Add(read ? static_cast<int64_t>(bytes.size()) : -1);
        for (const uint8_t byte : bytes) {
            hash.Add(byte);
        }
    }
    return hash.Get();
}
