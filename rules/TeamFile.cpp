#include "rules/TeamFile.h"

#include <algorithm>

#include "core/Logger.h"
#include "core/XmlFile.h"

namespace {

bool ReadEntry(CXmlFile& xml, CTeamEntry& entry) {
    char fileName[CTeamFile::maxFileNameLength + 1];
    if (!xml.ReadString("filename", fileName, sizeof fileName) || !xml.ReadInt("positionX", entry.positionX) ||
        !xml.ReadInt("positionY", entry.positionY) || !xml.ReadInt("lookX", entry.lookX) ||
        !xml.ReadInt("lookY", entry.lookY)) {
        return false;
    }
    entry.fileName = fileName;
    entry.lookX    = std::max(-CTeamFile::maxLookOffset, std::min(entry.lookX, CTeamFile::maxLookOffset));
    entry.lookY    = std::max(-CTeamFile::maxLookOffset, std::min(entry.lookY, CTeamFile::maxLookOffset));
    return true;
}

} // namespace

bool CTeamFile::Load(const char* path) {
    effectSpecial.clear();
    entries.clear();
    CXmlFile xml;
    if (path == nullptr) {
        return false;
    }
    if (!xml.Open(path, 0)) {
        GetLogger()->LogError("CTeamFile::Load: Couldn't load team file %s", path);
        return false;
    }
    char effect[maxEffectLength + 1];
    if (!xml.ReadString("effectSpecial", effect, sizeof effect)) {
        GetLogger()->LogError("CTeamFile::Load: %s has no effectSpecial; the team is not loaded", path);
        return false;
    }
    effectSpecial = effect;
    if (!xml.EnterElement("units")) {
        GetLogger()->LogError("CTeamFile::Load: %s has no units element; the team is empty", path);
        return true;
    }
    for (int n = 0; xml.EnterSubElement(n); ++n) {
        CTeamEntry entry;
        if (!ReadEntry(xml, entry)) {
            GetLogger()->LogError(
                "CTeamFile::Load: %s: unit entry %d lacks a value (a cut file?); the team ends before it", path, n);
            break;
        }
        entries.push_back(entry);
        xml.LeaveSubElement();
    }
    if (entries.empty()) {
        GetLogger()->LogError("CTeamFile::Load: %s holds no complete unit entry; the team is empty", path);
    }
    return true;
}
