#include <cstdint>

#include "FuzzInput.h"
#include "game/TeamFile.h"
#include "game/UnitManager.h"

// Reads the input as a team file and as a unit file. A team entry's look
// offsets must stay clamped; a unit file that does not parse leaves no unit
// behind, one that parses gives exactly one (without world objects it simply
// has no model).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzInput(data, size, "unit.xml");
    CTeamFile         team;
    team.Load(path.c_str());
    for (const CTeamEntry& entry : team.GetEntries()) {
        if (entry.lookX > CTeamFile::maxLookOffset || entry.lookX < -CTeamFile::maxLookOffset ||
            entry.lookY > CTeamFile::maxLookOffset || entry.lookY < -CTeamFile::maxLookOffset ||
            entry.fileName.size() > CTeamFile::maxFileNameLength) {
            __builtin_trap();
        }
    }
    if (team.GetEffectSpecial().size() > CTeamFile::maxEffectLength) {
        __builtin_trap();
    }
    CUnitManager units(nullptr, nullptr, nullptr, nullptr);
    const int    index = units.LoadUnit(path.c_str());
    if (units.GetCount() != (index == -1 ? 0 : 1) || (index != -1 && index != 0)) {
        __builtin_trap();
    }
    units.LoadFightParams(path.c_str());
    if (!(units.GetFightParams().maxAttack > 0.0f) || !(units.GetFightParams().maxDefense > 0.0f)) {
        __builtin_trap();
    }
    return 0;
}
