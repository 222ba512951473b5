#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ai/PositionScore.h"
#include "ai/SeededRandom.h"
#include "rules/Match.h"

// How hard the planner thinks, and how often it errs on purpose.
struct CPlannerSettings {
    int           orders           = 4;     // orders of the units tried
    int           evaluationBudget = 4000;  // scored positions; a started order is always finished
    double        mistakeChance    = 0.0;   // per unit: it takes a random action instead of its best
    bool          avoidSuicide     = true;  // never fire when the shooter would fall and the target stand
    bool          weighReply       = false; // score each order after the enemy's likely reply
    CScoreWeights weights;
};

// One turn's plan for the team to move. For each of several orders of its
// units (a fixed one first, then seeded shuffles) it lets the units act one
// after another on a copy of the match, each taking the action that scores
// best: fire at an enemy or boost a unit of its own from a tile it may
// drive to, or just drive there. The order whose final position scores best
// gives the plan (with weighReply: the order whose final position is best
// after the enemy's reply, as a one-order planner for the enemy foresees
// it). Every position is tried with the rules' own Apply on
// copies, so the plan consists of commands the rules accept, in order.
class CTurnPlanner {
public:
    CTurnPlanner(const CMatch& match, const CPlannerSettings& settings, uint64_t seed);

    // The commands of the best plan, each with the state hash the match has
    // just before it; ends with an end of turn unless the last action
    // handed over already.
    void Plan(std::vector<CCommand>& commands, std::vector<uint64_t>& hashes);
    int  GetEvaluations() const { return evaluations; }

private:
    // One unit's action: drive to (x, y) (where it stands: stay), then fire
    // at the unit on the target tile, or not.
    struct CAction {
        int    unit    = -1;
        int    x       = 0;
        int    y       = 0;
        bool   fires   = false;
        int    targetX = 0, targetY = 0;
        double score = 0.0;
    };
    struct CPlan {
        std::vector<CCommand>   commands;
        std::vector<uint64_t>   hashes;
        double                  score = 0.0;
        std::unique_ptr<CMatch> end; // the match after the plan
    };

    std::vector<int>     Actors() const;
    std::vector<int>     Order(int index, const std::vector<int>& actors);
    CPlan                PlayOrder(const std::vector<int>& order);
    double               ScoreAfterReply(const CMatch& end);
    std::vector<CAction> RankActions(const CMatch& match, int unit);
    void                 AddFireActions(const CMatch& match, int unit, std::vector<CAction>& actions);
    bool                 Carry(CMatch& match, const CAction& action, CPlan& plan) const;
    static void          Issue(CMatch& match, const CCommand& command, CPlan& plan);

    const CMatch&    start;
    CPlannerSettings settings;
    CSeededRandom    random;
    CPositionScore   score;
    int              team;
    int              evaluations = 0;
};
