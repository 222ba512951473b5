#pragma once

#include "rules/Match.h"

// A simple, deterministic player, the baseline for the computer opponent:
// its first ready unit drives to the tile of its move area closest (over
// ground it may cross) to a tile from which it could fire at an enemy, then
// fires at the weakest enemy in range, or ends its action; with no ready
// unit left it ends the turn. It only asks the match; every command it
// gives is one the match accepts.
class CNearestAttackPlayer {
public:
    // The next command for the team to move.
    CCommand ChooseCommand(const CMatch& match) const;

private:
    CCommand CommandForUnit(const CMatch& match, int unit) const;
    // The enemy with the fewest hit points in the unit's fire ring; -1 none.
    static int WeakestTarget(const CMatch& match, int unit);
};
