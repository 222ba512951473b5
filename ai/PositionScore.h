#pragma once

#include <bitset>
#include <vector>

#include "rules/Match.h"

// What a position is worth to a team, and how much each term weighs.
struct CScoreWeights {
    double exposure         = 0.6;  // share of the enemy's possible reply counted against a unit
    double advance          = 12.0; // per step a fighting unit still needs before it can fire at an enemy
    double headquartersPull = 2.0;  // per tile between a fighting unit and the enemy headquarters
    double threat           = 0.0;  // share of this team's possible next shots counted for it
};

// Scores positions of one match for one team, in weighted hit points: the
// hit points of both sides (a headquarters' count double, a general's a
// quarter more) and a bonus per living unit; minus what the enemy could do
// to each unit in its next turn (every enemy that could drive within range
// of the unit's tile, with the exchange the rules would give it); minus the
// steps its fighting units still need to come within range of an enemy and
// their distance to the enemy headquarters. A won game is worth far more
// than any position, a lost one far less.
//
// Where the enemy could fire next turn and how far each unit has to go are
// worked out once, from the position the team's turn starts with: enemies
// do not move during it (only fall), and the ground does not change.
class CPositionScore {
public:
    static constexpr double won = 1.0e7;

    CPositionScore(const CMatch& start, int team, const CScoreWeights& weights);

    // The score of the match; unit `moved`, when given, counts as standing
    // on (x, y) with its action over.
    double Score(const CMatch& match, int moved = -1, int x = 0, int y = 0) const;
    // The hit points the living units of the other team could take from the
    // unit on (x, y) in their next turn, if each fired at it once.
    int PossibleDamage(const CMatch& match, int unit, int x, int y) const;
    // Steps (over the ground the unit may cross) from (x, y) to the nearest
    // tile from which it could fire at an enemy; 0 when it can fire there.
    int StepsToEngage(int unit, int x, int y) const;

    int GetTeam() const { return team; }

private:
    using CTileSet = std::bitset<CGridManager::tileCount>;

    void   FillReach(const CMatch& start, int unit);
    void   FillEngageSteps(const CMatch& start, int unit);
    double UnitValue(const CMatch& match, int unit, int x, int y, bool done) const;
    double ExposureCost(const CMatch& match, int unit, int x, int y) const;

    int                           team;
    CScoreWeights                 weights;
    std::vector<CTileSet>         reach;       // by unit: tiles an enemy could fire at next turn
    std::vector<std::vector<int>> engageSteps; // by unit of the team: steps per tile, row-major
    int                           enemyHeadquarters = -1;
};
