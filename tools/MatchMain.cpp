// ridgeline-match: plays a level's rules without a window. Linked from the
// rules library alone, so it also proves that the rules need no GL, window,
// toolkit, font or sound library.
//
//   ridgeline-match [--data DIR] [--level NAME] [--seed N] [--quiet]
//                   [--host PORT [--team T] | --join HOST:PORT] [--pace MS]
//                   [--timeout S] [--dump FILE] [--loss RATE] [--delay MS]
//   ridgeline-match [--data DIR] [--level NAME] [--seed N] --tournament GAMES
//                   --players A,B [--max-turns N]
//
// Plays one seeded game by a simple policy and prints each command with the
// state hash after it, then the winner. With --host or --join it plays one
// side of a network game (the host's seed and team choice count), printing
// every command of both sides the same way, so that the two sides' outputs
// and a local game of the same seed can be compared line by line. With
// --tournament it plays that many seeded games between two players (easy,
// normal, hard, random, greedy) and prints the tally. Exit status 0 when the
// game ended with a winner, 1 when it did not within the command limit or
// the time (or, in a tournament, a player gave a refused command), 2 on bad
// usage or a level that cannot be played, 3 when a network game stopped
// (refused, drifted apart, a hostile or departed peer). Test switches:
// --tamper-at K changes this side's state after command K; --protocol N and
// --rules-version N claim other versions.
#include <unistd.h>

#include <chrono>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rules/Match.h"
#include "ai/NearestAttackPlayer.h"
#include "rules/RulesFingerprint.h"
#include "Tournament.h"
#include "session/NetGame.h"

namespace {

struct CMatchOptions {
    std::string dataFolder = ".";
    std::string levelName  = "TestLevel";
    uint64_t    seed       = 1;
    bool        quiet      = false;
    // The network game: host (port only) or join (address and port).
    bool          network = false;
    CNetGameSetup net;
    int           paceMs         = 0;
    int           timeoutSeconds = 120;
    int           tamperAt       = 0;
    int           protocol       = netProtocolVersion;
    int           rules          = rulesVersion;
    int           tournament     = 0; // games; 0: one game by the simple policy
    std::string   players;            // "A,B" for a tournament
    int           maxTurns = 300;
};

constexpr int maxCommands = 20000;

// "HOST:PORT" (the last colon splits, so "::1:4000" works too).
bool ParseAddress(const std::string& text, CNetGameSetup& setup) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) {
        return false;
    }
    const unsigned long port = std::strtoul(text.c_str() + colon + 1, nullptr, 10);
    if (port == 0 || port > 65535) {
        return false;
    }
    setup.hosting = false;
    setup.address = text.substr(0, colon);
    setup.port    = static_cast<uint16_t>(port);
    return true;
}

void PrintHeader(const CMatchOptions& options, const CMatch& match, int firstTeam) {
    printf("rules %d fingerprint %016" PRIx64 " level %s seed %" PRIu64 " first team %d\n", rulesVersion,
           ComputeRulesFingerprint(), options.levelName.c_str(), match.GetSeed(), firstTeam);
}

void PrintCommand(const CMatchOptions& options, int count, const CCommand& command, uint64_t hash,
                  const char* refusal) {
    if (!options.quiet) {
        printf("%d %s %016" PRIx64 "%s%s\n", count, command.ToText().c_str(), hash, *refusal ? " refused: " : "",
               refusal);
    }
}

void PrintFinal(const CMatch& match) {
    printf("final %016" PRIx64 " commands %d turns %d winner %d\n", match.StateHash(), match.GetCommandCount(),
           match.GetTurn(), match.GetWinner());
}

int PlayLocal(const CMatchOptions& options) {
    std::string             error;
    std::unique_ptr<CMatch> match = CMatch::LoadLevel(options.levelName, options.seed, error);
    if (!match) {
        fprintf(stderr, "ridgeline-match: %s\n", error.c_str());
        return 2;
    }
    match->SetTraceExchanges(false);
    PrintHeader(options, *match, match->GetCurrentTeam());
    match->Start();
    const CNearestAttackPlayer player;
    for (int played = 0; played < maxCommands && !match->IsGameOver(); ++played) {
        const CCommand     command = player.ChooseCommand(*match);
        const CApplyResult result  = match->Apply(command);
        PrintCommand(options, match->GetCommandCount(), command, match->StateHash(),
                     result.Accepted() ? "" : RefusalText(result.refusal));
        if (!result.Accepted()) {
            match->Apply(CCommand::EndTurn());
        }
    }
    PrintFinal(*match);
    return match->IsGameOver() ? 0 : 1;
}

// The computer plays this side's team; every command of either side is
// printed as the local game prints it. Status changes go to the error stream.
int PlayNetwork(CMatchOptions options) {
    options.net.levelName = options.levelName;
    options.net.seed      = options.seed;
    CNetGame game(options.net);
    game.OverrideIdentity(static_cast<uint16_t>(options.protocol), static_cast<uint32_t>(options.rules));
    bool       headerDone  = false;
    const auto printHeader = [&] {
        if (!headerDone && game.GetMatch()) {
            headerDone = true;
            PrintHeader(options, *game.GetMatch(), CMatch::FirstTeamOf(game.GetMatch()->GetSeed()));
        }
    };
    game.SetCommandListener([&](int seq, const CCommand& command, uint64_t hash, bool) {
        printHeader();
        PrintCommand(options, seq, command, hash, "");
        fflush(stdout);
    });
    if (options.tamperAt > 0) {
        game.SetTamperHook([&](CMatch& match, int seq) {
            if (seq == options.tamperAt) {
                match.Apply(CCommand::EndTurn());
                match.Apply(CCommand::EndTurn());
            }
        });
    }
    std::string error;
    if (!game.Start(error)) {
        fprintf(stderr, "ridgeline-match: %s\n", error.c_str());
        return 2;
    }
    using Clock                         = std::chrono::steady_clock;
    const auto                 deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    const CNearestAttackPlayer player;
    std::string                shownStatus;
    const auto                 started = Clock::now();
    bool                       joined  = false;
    while (!game.IsOver() && Clock::now() < deadline && game.GetCommandCount() < maxCommands) {
        game.Pump(game.CanMove() ? 0 : 10);
        if (game.GetStatus() != shownStatus) {
            shownStatus = game.GetStatus();
            if (!shownStatus.empty()) {
                fprintf(stderr, "ridgeline-match: %s\n", shownStatus.c_str());
            }
        }
        printHeader();
        if (!joined && game.IsCaughtUp()) {
            joined            = true;
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
            fprintf(stderr, "ridgeline-match: playing after %lld ms, %d commands held\n",
                    static_cast<long long>(waited.count()), game.GetCommandCount());
        }
        if (game.CanMove()) {
            if (options.paceMs > 0) {
                usleep(static_cast<useconds_t>(options.paceMs) * 1000U);
            }
            std::string refusal;
            if (!game.Play(player.ChooseCommand(*game.GetMatch()), refusal)) {
                fprintf(stderr, "ridgeline-match: the computer's command was refused: %s\n", refusal.c_str());
                game.Quit();
            }
        }
    }
    const uint32_t roundTrip = game.RoundTripMs();
    game.Linger(2000);
    if (game.GetPhase() == CNetGame::Phase::stopped) {
        if (game.GetStatus() != shownStatus) {
            fprintf(stderr, "ridgeline-match: %s\n", game.GetStatus().c_str());
        }
        return 3;
    }
    if (!game.IsOver()) {
        fprintf(stderr, "ridgeline-match: the game did not end in time: %s\n", game.GetStatus().c_str());
        return 1;
    }
    PrintFinal(*game.GetMatch());
    fprintf(stderr, "ridgeline-match: round trip %u ms, %llu datagrams dropped on purpose\n", roundTrip,
            static_cast<unsigned long long>(game.GetDroppedDatagrams()));
    return 0;
}

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
        } else if (option == "--host" && hasValue) {
            options.network     = true;
            options.net.hosting = true;
            options.net.port    = static_cast<uint16_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (option == "--join" && hasValue && ParseAddress(argv[++i], options.net)) {
            options.network = true;
        } else if (option == "--team" && hasValue) {
            options.net.hostTeam = std::atoi(argv[++i]) == 2 ? 2 : 1;
        } else if (option == "--pace" && hasValue) {
            options.paceMs = std::atoi(argv[++i]);
        } else if (option == "--timeout" && hasValue) {
            options.timeoutSeconds = std::atoi(argv[++i]);
        } else if (option == "--dump" && hasValue) {
            options.net.dumpPath = argv[++i];
        } else if (option == "--loss" && hasValue) {
            options.net.conditions.lossRate = std::atof(argv[++i]);
        } else if (option == "--delay" && hasValue) {
            options.net.conditions.delayMs = std::atoi(argv[++i]);
        } else if (option == "--tamper-at" && hasValue) {
            options.tamperAt = std::atoi(argv[++i]);
        } else if (option == "--protocol" && hasValue) {
            options.protocol = std::atoi(argv[++i]);
        } else if (option == "--rules-version" && hasValue) {
            options.rules = std::atoi(argv[++i]);
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
                        "       [--host PORT [--team 1|2] | --join HOST:PORT] [--pace MS] [--timeout S]\n"
                        "       [--dump FILE] [--loss RATE] [--delay MS]\n"
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
    return options.network ? PlayNetwork(options) : PlayLocal(options);
}
