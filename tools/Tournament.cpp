#include "Tournament.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "ai/ComputerPlayer.h"
#include "ai/NearestAttackPlayer.h"
#include "ai/RandomPlayer.h"
#include "rules/Match.h"

namespace {

using CPlayerFunction = std::function<CCommand(const CMatch&)>;

template <typename Player> CPlayerFunction Wrap(std::shared_ptr<Player> player) {
    return [player](const CMatch& match) { return player->ChooseCommand(match); };
}

CPlayerFunction MakePlayer(const std::string& name, uint64_t seed) {
    CComputerPlayer::Level level = CComputerPlayer::Level::normal;
    if (CComputerPlayer::LevelFromName(name, level)) {
        return Wrap(std::make_shared<CComputerPlayer>(level, seed));
    }
    if (name == "random") {
        return Wrap(std::make_shared<CRandomPlayer>(seed));
    }
    if (name == "greedy") {
        return Wrap(std::make_shared<CNearestAttackPlayer>());
    }
    return nullptr;
}

struct CSide {
    std::string         name;
    int                 wins = 0;
    std::vector<double> turnMilliseconds;    // the time each of its turns took to decide
    std::vector<double> turnCpuMilliseconds; // the same in this thread's processor time
};

struct CTally {
    CSide sides[2];
    int   draws = 0, refused = 0, turns = 0, commands = 0, games = 0;
};

// Processor time of this thread: on a shared machine the clock on the wall
// also counts what other programs did meanwhile.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

// One game; side 0 (A) plays the team that moves first when `aFirst`.
bool PlayGame(const CTournamentOptions& options, uint64_t seed, bool aFirst, CTally& tally) {
    std::string             error;
    std::unique_ptr<CMatch> match = CMatch::LoadLevel(options.levelName, seed, error);
    if (!match) {
        fprintf(stderr, "ridgeline-match: %s\n", error.c_str());
        return false;
    }
    match->SetTraceExchanges(false);
    match->Start();
    const int       teamOfA    = aFirst ? match->GetCurrentTeam() : CMatch::OtherTeam(match->GetCurrentTeam());
    CPlayerFunction players[2] = {MakePlayer(options.playerA, seed * 2), MakePlayer(options.playerB, seed * 2 + 1)};
    double          turnTime = 0.0, turnCpuTime = 0.0;
    while (!match->IsGameOver() && match->GetTurn() <= options.maxTurns) {
        const int      turn     = match->GetTurn();
        const int      side     = match->GetCurrentTeam() == teamOfA ? 0 : 1;
        const auto     begin    = std::chrono::steady_clock::now();
        const double   cpuBegin = ThreadMilliseconds();
        const CCommand command  = players[side](*match);
        turnCpuTime += ThreadMilliseconds() - cpuBegin;
        turnTime += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
        if (!match->Apply(command).Accepted()) {
            ++tally.refused;
            match->Apply(CCommand::EndTurn());
        }
        if (match->GetTurn() != turn || match->IsGameOver()) {
            tally.sides[side].turnMilliseconds.push_back(turnTime);
            tally.sides[side].turnCpuMilliseconds.push_back(turnCpuTime);
            turnTime = turnCpuTime = 0.0;
        }
    }
    const int winner = match->GetWinner();
    if (winner == 0) {
        ++tally.draws;
    } else {
        ++tally.sides[winner == teamOfA ? 0 : 1].wins;
    }
    tally.turns += match->GetTurn();
    tally.commands += match->GetCommandCount();
    ++tally.games;
    return true;
}

void PrintTally(const CTournamentOptions& options, const CTally& tally) {
    const double games = std::max(1, tally.games);
    printf("tournament %s: %d games, first seed %llu, at most %d turns each\n", options.levelName.c_str(), tally.games,
           static_cast<unsigned long long>(options.firstSeed), options.maxTurns);
    for (const CSide& side : tally.sides) {
        printf("  %-9s wins %4d (%5.1f%%)\n", side.name.c_str(), side.wins, 100.0 * side.wins / games);
    }
    printf("  draws   %4d\n", tally.draws);
    printf("  average game: %.1f turns, %.1f commands\n", tally.turns / games, tally.commands / games);
    for (const CSide& side : tally.sides) {
        printf("  decision time per turn, %-9s (ms): p50 %.2f  p99 %.2f  max %.2f  (%zu turns)\n", side.name.c_str(),
               Percentile(side.turnMilliseconds, 0.5), Percentile(side.turnMilliseconds, 0.99),
               Percentile(side.turnMilliseconds, 1.0), side.turnMilliseconds.size());
        printf("  processor time per turn, %-9s (ms): p50 %.2f  p99 %.2f  max %.2f\n", side.name.c_str(),
               Percentile(side.turnCpuMilliseconds, 0.5), Percentile(side.turnCpuMilliseconds, 0.99),
               Percentile(side.turnCpuMilliseconds, 1.0));
    }
    printf("  refused commands: %d\n", tally.refused);
}

} // namespace

bool IsTournamentPlayer(const std::string& name) {
    return MakePlayer(name, 0) != nullptr;
}

int RunTournament(const CTournamentOptions& options) {
    CTally tally;
    tally.sides[0].name = "A=" + options.playerA;
    tally.sides[1].name = "B=" + options.playerB;
    for (int game = 0; game < options.games; ++game) {
        if (!PlayGame(options, options.firstSeed + static_cast<uint64_t>(game), game % 2 == 0, tally)) {
            return 2;
        }
    }
    PrintTally(options, tally);
    return tally.refused == 0 ? 0 : 1;
}
