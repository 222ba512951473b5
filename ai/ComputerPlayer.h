#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ai/TurnPlanner.h"
#include "rules/Match.h"

// The computer's player for either team. At the start of its turn (or
// whenever the match is not where its plan expects it) it plans the whole
// turn on copies of the match, then gives the plan's commands one by one.
// Its work is bounded by a count of scored positions, never by time, and
// its only chance comes from its seed and the state: the same seed, state
// and history give the same commands on every machine.
class CComputerPlayer {
public:
    enum class Level { easy, normal, hard };

    CComputerPlayer(Level level, uint64_t seed);

    // The next command for the team to move: one the match accepts (an end
    // of turn when nothing better is left; once the game is over, an end of
    // turn the match refuses).
    CCommand ChooseCommand(const CMatch& match);

    Level GetLevel() const { return level; }
    // Positions scored by the last plan.
    int GetEvaluations() const { return evaluations; }

    static const char* LevelName(Level level);
    // False (level unchanged) for a name that is no level.
    static bool             LevelFromName(const std::string& name, Level& level);
    static CPlannerSettings SettingsFor(Level level);

private:
    void Replan(const CMatch& match);

    Level                 level;
    uint64_t              seed;
    std::vector<CCommand> plan;
    std::vector<uint64_t> hashes; // the state hash expected before each command of the plan
    size_t                next        = 0;
    int                   evaluations = 0;
};
