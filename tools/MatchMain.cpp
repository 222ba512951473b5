// ridgeline-match: plays a level's rules without a window. Linked from the
// rules library alone, so it also proves that the rules need no GL, window,
// toolkit, font or sound library.
//
//   ridgeline-match [--data DIR] [--level NAME] [--seed N] [--quiet]
//   ridgeline-match [--data DIR] [--level NAME] [--seed N] --tournament GAMES
//                   --players A,B [--max-turns N]
//
// Plays one seeded game by a simple policy and prints each command with the
// state hash after it, then the winner. Exit status 0 when the game ended
// with a winner, 1 when it did not within the command limit, 2 on bad usage
// or a level that cannot be played. With --tournament it plays that many
// seeded games between two players (easy, normal, hard, random, greedy) and
// prints the tally; exit status 1 then means a player gave a refused command.
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rules/Match.h"
#include "ai/NearestAttackPlayer.h"
#include "rules/RulesFingerprint.h"
#include "Tournament.h"

namespace {

struct CMatchOptions {
    std::string dataFolder = ".";
    std::string levelName  = "TestLevel";
    uint64_t    seed       = 1;
    bool        quiet      = false;
    int         tournament = 0; // games; 0: one game by the simple policy
    std::string players;        // "A,B" for a tournament
    int         maxTurns = 300;
};

constexpr int maxCommands = 20000;

bool ParseOptions(int argc, char** argv, CMatchOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option   = argv[i];
        const bool        hasValue = i + 1 < argc;
        if (option == "--data" && hasValue) {
            options.dataFolder = argv[++i];
        } else if (option == "--level" && hasValue) {
            options.levelName = argv[++i];
        } else if (option == "--seed" && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (option == "--tournament" && hasValue) {
            options.tournament = std::atoi(argv[++i]);
        } else if (option == "--players" && hasValue) {
            options.players = argv[++i];
        } else if (option == "--max-turns" && hasValue) {
            options.maxTurns = std::atoi(argv[++i]);
        } else if (option == "--quiet") {
            options.quiet = true;
        } else {
            return false;
        }
    }
    return options.tournament >= 0 && options.maxTurns > 0;
}

// "A,B" into the tournament's two players; false unless both are known.
bool ParsePlayers(const std::string& players, CTournamentOptions& tournament) {
    const size_t comma = players.find(',');
    if (comma == std::string::npos) {
        return false;
    }
    tournament.playerA = players.substr(0, comma);
    tournament.playerB = players.substr(comma + 1);
    return IsTournamentPlayer(tournament.playerA) && IsTournamentPlayer(tournament.playerB);
}

} // namespace

int main(int argc, char** argv) {
    CMatchOptions options;
    if (!ParseOptions(argc, argv, options)) {
        fprintf(stderr, "usage: ridgeline-match [--data DIR] [--level NAME] [--seed N] [--quiet]\n"
                        "       ridgeline-match [--data DIR] [--level NAME] [--seed N] --tournament GAMES\n"
                        "                       --players A,B [--max-turns N]   (easy normal hard random greedy)\n");
        return 2;
    }
    CTournamentOptions tournament;
    if (options.tournament > 0 && !ParsePlayers(options.players, tournament)) {
        fprintf(stderr, "ridgeline-match: --players wants two of easy, normal, hard, random, greedy: A,B\n");
        return 2;
    }
    if (chdir(options.dataFolder.c_str()) != 0) {
        fprintf(stderr, "ridgeline-match: cannot enter %s\n", options.dataFolder.c_str());
        return 2;
    }
    if (options.tournament > 0) {
        tournament.levelName = options.levelName;
        tournament.firstSeed = options.seed;
        tournament.games     = options.tournament;
        tournament.maxTurns  = options.maxTurns;
        return RunTournament(tournament);
    }
    std::string             error;
    std::unique_ptr<CMatch> match = CMatch::LoadLevel(options.levelName, options.seed, error);
    if (!match) {
        fprintf(stderr, "ridgeline-match: %s\n", error.c_str());
        return 2;
    }
    match->SetTraceExchanges(false);
    printf("rules %d fingerprint %016" PRIx64 " level %s seed %" PRIu64 " first team %d\n", rulesVersion,
           ComputeRulesFingerprint(), options.levelName.c_str(), options.seed, match->GetCurrentTeam());
    match->Start();
    const CNearestAttackPlayer player;
    for (int played = 0; played < maxCommands && !match->IsGameOver(); ++played) {
        const CCommand     command = player.ChooseCommand(*match);
        const CApplyResult result  = match->Apply(command);
        if (!options.quiet) {
            printf("%d %s %016" PRIx64 "%s%s\n", match->GetCommandCount(), command.ToText().c_str(), match->StateHash(),
                   result.Accepted() ? "" : " refused: ", RefusalText(result.refusal));
        }
        if (!result.Accepted()) {
            match->Apply(CCommand::EndTurn());
        }
    }
    printf("final %016" PRIx64 " commands %d turns %d winner %d\n", match->StateHash(), match->GetCommandCount(),
           match->GetTurn(), match->GetWinner());
    return match->IsGameOver() ? 0 : 1;
}
