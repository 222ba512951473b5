#include "FuzzInput.h"
#include "rules/TeamFile.h"
#include "rules/FightFile.h"
#include "rules/UnitFile.h"

// The input as a team file (look offsets stay clamped), a unit file (values in their bounds when it parses) and
// a fight file (divisors stay above 0).
FUZZ_TARGET("unit.xml") {
    CTeamFile team;
    team.Load(path.c_str());
    for (const CTeamEntry& entry : team.GetEntries()) {
        Require(entry.lookX <= CTeamFile::maxLookOffset && entry.lookX >= -CTeamFile::maxLookOffset &&
                entry.lookY <= CTeamFile::maxLookOffset && entry.lookY >= -CTeamFile::maxLookOffset &&
                entry.fileName.size() <= CTeamFile::maxFileNameLength);
    }
    Require(team.GetEffectSpecial().size() <= CTeamFile::maxEffectLength);
    CUnitFile unit;
    Require(!unit.Load(path.c_str()) ||
            (unit.GetUnit().hitpoints >= 1 && unit.GetUnit().maxHitpoints == unit.GetUnit().hitpoints &&
             unit.GetMedia().speed >= 0.0f));
    CFightParams fight;
    LoadFightFile(path.c_str(), fight);
    Require(fight.maxAttack > 0.0f && fight.maxDefense > 0.0f);
}
