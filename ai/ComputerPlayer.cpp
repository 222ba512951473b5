#include "ai/ComputerPlayer.h"

namespace {

const char* const levelNames[] = {"easy", "normal", "hard"};

} // namespace

CComputerPlayer::CComputerPlayer(Level levelValue, uint64_t seedValue) : level(levelValue), seed(seedValue) {}

const char* CComputerPlayer::LevelName(Level level) {
    return levelNames[static_cast<int>(level)];
}

bool CComputerPlayer::LevelFromName(const std::string& name, Level& level) {
    for (int index = 0; index < 3; ++index) {
        if (name == levelNames[index]) {
            level = static_cast<Level>(index);
            return true;
        }
    }
    return false;
}

// Easy looks at one order of its units, counts the enemy's reply for little
// and takes a random action for about one unit in four, suicidal shots
// included; normal and hard differ in how many orders they try.
CPlannerSettings CComputerPlayer::SettingsFor(Level level) {
    CPlannerSettings settings;
    switch (level) {
    case Level::easy:
        settings.orders           = 1;
        settings.evaluationBudget = 0;
        settings.mistakeChance    = 0.25;
        settings.avoidSuicide     = false;
        settings.weights.exposure = 0.2;
        break;
    case Level::normal:
        settings.orders           = 3;
        settings.evaluationBudget = 3000;
        break;
    case Level::hard:
        settings.orders           = 6;
        settings.evaluationBudget = 16000;
        settings.weighReply       = true;
        break;
    }
    return settings;
}

CCommand CComputerPlayer::ChooseCommand(const CMatch& match) {
    if (match.IsGameOver()) {
        return CCommand::EndTurn();
    }
    const bool onPlan = next < plan.size() && hashes[next] == match.StateHash();
    if (!onPlan || match.Check(plan[next]) != Refusal::none) {
        Replan(match);
    }
    if (next < plan.size() && match.Check(plan[next]) == Refusal::none) {
        return plan[next++];
    }
    // Not reached while the plan holds what the rules accept; still, a
    // pending move is ended and the turn handed over rather than stalled.
    const int moved = match.GetMovedUnit();
    return moved != -1 ? CCommand::Finish(moved) : CCommand::EndTurn();
}

// The plan's chance is seeded by the player's seed and the state, so a plan
// made again from the same position is the same plan.
void CComputerPlayer::Replan(const CMatch& match) {
    CTurnPlanner planner(match, SettingsFor(level), seed ^ match.StateHash());
    planner.Plan(plan, hashes);
    next        = 0;
    evaluations = planner.GetEvaluations();
}
