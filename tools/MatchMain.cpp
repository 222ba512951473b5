// ridgeline-match: plays a level's rules without a window. Linked from the
// rules, the computer's players and the session library (with the network
// transport) alone, so it also
// proves that they need no GL, window, toolkit, font or sound library.
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "ai/MixedPlayer.h"
#include "rules/Match.h"
#include "rules/RulesFingerprint.h"
#include "session/GameLog.h"
#include "session/GameLogWriter.h"
#include "session/LogReplay.h"
#include "session/NetGame.h"
#include "session/SavedGames.h"
#include "Tournament.h"
#include "session/NetGame.h"

namespace {

constexpr const char* usage =
    "usage: ridgeline-match [--data DIR] [--level NAME] [--seed N] [--random PERCENT] [--record FILE] [--quiet]\n"
    "       ridgeline-match [--data DIR] --verify FILE\n"
    "       ridgeline-match [--data DIR] [--level NAME] --bench\n"
    "       ridgeline-match [--data DIR] [--level NAME] [--seed N] [--host PORT [--team 1|2] | --join HOST:PORT]\n"
    "                       [--pace MS] [--timeout S] [--dump FILE] [--loss RATE] [--delay MS]\n"
    "                       [--record FILE | --resume FILE]\n"
    "       ridgeline-match [--data DIR] [--level NAME] [--seed N] --tournament GAMES\n"
    "                       --players A,B [--max-turns N]   (easy normal hard random greedy)\n"
    "\n"
    "Plays one seeded game (the nearest-attack policy, PERCENT of its commands\n"
    "random ones) and prints each command with the state hash after it, then\n"
    "the winner; --record also writes the game's log to FILE.\n"
    "  exit 0: the game ended with a winner; 1: not within the command limit\n"
    "\n"
    "--verify replays a game log and prints the final hash and the winner (0\n"
    "for an unfinished game), or the first command that does not replay:\n"
    "  exit 0: every line valid and every state hash matches\n"
    "  1: a command is refused or gives another state hash than the log\n"
    "  3: the log is refused (unreadable, another format or rules version,\n"
    "     other level files)\n"
    "  4: damaged or cut-short lines were dropped; the lines before them replay\n"
    "\n"
    "--tournament plays that many seeded games between two players and prints\n"
    "the tally; exit 1 then means a player gave a refused command.\n"
    "\n"
    "--host and --join play one side of a network game with the computer;\n"
    "--record writes this side's log, --resume takes the game of such a log\n"
    "up again (after the program was stopped) and goes on writing it.\n"
    "\n"
    "--bench times replaying 10,000 logged commands and continuing a\n"
    "500-command game (loading, checking and replaying its log).\n"
    "\n"
    "exit 2 (every mode): bad usage, or a level that cannot be played.\n";

enum ExitCode { exitDone = 0, exitNoWinner = 1, exitMismatch = 1, exitUsage = 2, exitRefused = 3, exitDropped = 4 };

struct CMatchOptions {
    std::string dataFolder    = ".";
    std::string levelName     = "TestLevel";
    uint64_t    seed          = 1;
    int         randomPercent = 0;
    bool        quiet         = false;
    bool        bench         = false;
    std::string verifyFile;
    std::string recordFile;
    std::string resumeFile; // a network game's log to take up again
    int         tournament = 0; // games; 0: one game by the simple policy
    std::string players;        // "A,B" for a tournament
    int         maxTurns = 300;
    // The network game: host (port only) or join (address and port).
    bool          network = false;
    CNetGameSetup net;
    int           paceMs         = 0;
    int           timeoutSeconds = 120;
    int           tamperAt       = 0;
    int           protocol       = netProtocolVersion;
    int           rules          = rulesVersion;
};

constexpr int maxCommands = 20000;

// A path given on the command line names a file from where the tool was
// started, before it enters the data folder.
std::string FromStartFolder(const std::string& path) {
    if (path.empty() || path[0] == '/') {
        return path;
    }
    char folder[4096];
    return getcwd(folder, sizeof folder) != nullptr ? std::string(folder) + "/" + path : path;
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

void CreateNetworkLog(const CMatchOptions& options, const CNetGame& game, CGameLogWriter& writer) {
    const std::string start  = CSavedGames::FormatStartTime(time(nullptr));
    CGameLogHeader    header = CLogReplay::NewHeader(options.levelName, game.GetSeed(), start);
    std::string       error;
    for (int team = 1; team <= CMatch::teamCount; ++team) {
        header.seats[team - 1] = team == game.GetLocalTeam() ? "computer" : "network";
    }
    if (!writer.Create(options.recordFile, header, {}, error)) {
        fprintf(stderr, "ridgeline-match: the game is not recorded: %s\n", error.c_str());
    }
}

// The computer plays this side's team; every command of either side is
// printed as the local game prints it. Status changes go to the error stream.
// The network game's log: resumed from when --resume names it (it goes on
// in the same file), else written new when --record names a file.
bool OpenNetworkLog(CMatchOptions& options, CLoadedLog& resumed, CGameLogWriter& writer) {
    std::string error;
    if (!options.resumeFile.empty()) {
        if (!CGameLog::Load(options.resumeFile, resumed, error) || !CLogReplay::CheckHeader(resumed.header, error) ||
            !writer.Continue(options.resumeFile, resumed, error)) {
            fprintf(stderr, "ridgeline-match: the log cannot be resumed: %s\n", error.c_str());
            return false;
        }
        options.seed              = resumed.header.seed;
        options.levelName         = resumed.header.levelName;
        options.net.resuming      = true;
        for (const CLogEntry& entry : resumed.entries) {
            options.net.resumeEntries.push_back({entry.command, entry.stateHash});
        }
    }
    return true;
}

int PlayNetwork(CMatchOptions options) {
    CLoadedLog     resumed;
    CGameLogWriter writer;
    if (!OpenNetworkLog(options, resumed, writer)) {
        return exitUsage;
    }
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
    const int resumedCount = static_cast<int>(resumed.entries.size());
    game.SetCommandListener([&](int seq, const CCommand& command, uint64_t hash, bool) {
        printHeader();
        PrintCommand(options, seq, command, hash, "");
        fflush(stdout);
        if (!writer.IsOpen() && !options.recordFile.empty() && seq == 1) {
            CreateNetworkLog(options, game, writer);
        }
        if (seq > resumedCount && writer.IsOpen()) {
            writer.Append({command, hash});
        }
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
    if (options.net.resuming) {
        fprintf(stderr, "ridgeline-match: resumed %d commands from the log\n", game.GetCommandCount());
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
        } else if (option == "--random" && hasValue) {
            options.randomPercent = std::atoi(argv[++i]);
        } else if (option == "--record" && hasValue) {
            options.recordFile = FromStartFolder(argv[++i]);
        } else if (option == "--resume" && hasValue) {
            options.resumeFile = FromStartFolder(argv[++i]);
        } else if (option == "--verify" && hasValue) {
            options.verifyFile = FromStartFolder(argv[++i]);
        } else if (option == "--tournament" && hasValue) {
            options.tournament = std::atoi(argv[++i]);
        } else if (option == "--players" && hasValue) {
            options.players = argv[++i];
        } else if (option == "--max-turns" && hasValue) {
            options.maxTurns = std::atoi(argv[++i]);
        } else if (option == "--quiet") {
            options.quiet = true;
        } else if (option == "--bench") {
            options.bench = true;
        } else if ((option == "--host" || option == "--join") && hasValue) {
            options.network     = true;
            options.net.hosting = option == "--host";
            if (!options.net.SetAddress(argv[++i])) {
                return false;
            }
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
    return options.randomPercent >= 0 && options.randomPercent <= 100 && options.tournament >= 0 &&
           options.maxTurns > 0;
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

// Plays a seeded game; every accepted command with its state hash goes to
// entries. Refused commands are printed but not logged: only what the match
// accepted is part of the game.
std::unique_ptr<CMatch> PlayGame(const CMatchOptions& options, std::vector<CLogEntry>& entries, bool print) {
    std::string             error;
    std::unique_ptr<CMatch> match = CMatch::LoadLevel(options.levelName, options.seed, error);
    if (!match) {
        fprintf(stderr, "ridgeline-match: %s\n", error.c_str());
        return nullptr;
    }
    match->SetTraceExchanges(false);
    match->Start();
    CMixedPlayer player(options.seed, options.randomPercent);
    for (int played = 0; played < maxCommands && !match->IsGameOver(); ++played) {
        const CCommand     command = player.ChooseCommand(*match);
        const CApplyResult result  = match->Apply(command);
        if (print) {
            printf("%d %s %016" PRIx64 "%s%s\n", match->GetCommandCount(), command.ToText().c_str(), match->StateHash(),
                   result.Accepted() ? "" : " refused: ", RefusalText(result.refusal));
        }
        if (result.Accepted()) {
            entries.push_back({command, match->StateHash()});
        }
    }
    return match;
}

int Play(const CMatchOptions& options) {
    printf("rules %d fingerprint %016" PRIx64 " level %s seed %" PRIu64 " first team %d\n", rulesVersion,
           ComputeRulesFingerprint(), options.levelName.c_str(), options.seed, CMatch::FirstTeamOf(options.seed));
    std::vector<CLogEntry>  entries;
    std::unique_ptr<CMatch> match = PlayGame(options, entries, !options.quiet);
    if (!match) {
        return exitUsage;
    }
    if (!options.recordFile.empty()) {
        CGameLogWriter    writer;
        std::string       error;
        const std::string start = CSavedGames::FormatStartTime(time(nullptr));
        if (!writer.Create(options.recordFile, CLogReplay::NewHeader(options.levelName, options.seed, start), entries,
                           error)) {
            fprintf(stderr, "ridgeline-match: %s\n", error.c_str());
            return exitUsage;
        }
    }
    printf("final %016" PRIx64 " commands %d turns %d winner %d\n", match->StateHash(), match->GetCommandCount(),
           match->GetTurn(), match->GetWinner());
    return match->IsGameOver() ? exitDone : exitNoWinner;
}

int Verify(const std::string& path) {
    CLoadedLog  log;
    std::string error;
    if (!CGameLog::Load(path, log, error) || !CLogReplay::CheckHeader(log.header, error)) {
        printf("refused: %s: %s\n", path.c_str(), error.c_str());
        return exitRefused;
    }
    std::unique_ptr<CMatch> match = CLogReplay::StartMatch(log.header, error);
    if (!match) {
        printf("refused: %s: %s\n", path.c_str(), error.c_str());
        return exitRefused;
    }
    const size_t applied = CLogReplay::Apply(*match, log.entries, 0, log.entries.size(), error);
    if (applied < log.entries.size()) {
        printf("mismatch: %s: %s\n", path.c_str(), error.c_str());
        return exitMismatch;
    }
    printf("final %016" PRIx64 " commands %zu turn %d winner %d\n", match->StateHash(), applied, match->GetTurn(),
           match->GetWinner());
    if (log.droppedLines > 0) {
        printf("dropped: %d line%s after command %zu%s\n", log.droppedLines, log.droppedLines == 1 ? "" : "s", applied,
               log.cutShort ? " (a last line cut short)" : "");
        return exitDropped;
    }
    return exitDone;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Logs of seeded games (randomPercent of their commands random: long
// games) until `total` commands, each as the bytes of its file.
std::vector<std::string> RecordGames(const CMatchOptions& options, size_t total, size_t perGame) {
    std::vector<std::string> logs;
    CMatchOptions            game = options;
    for (size_t commands = 0; commands < total; ++game.seed) {
        std::vector<CLogEntry> entries;
        if (!PlayGame(game, entries, false)) {
            break;
        }
        if (entries.size() > perGame) {
            entries.resize(perGame);
        }
        std::string text = CGameLog::FormatHeader(CLogReplay::NewHeader(game.levelName, game.seed, "bench"));
        for (size_t index = 0; index < entries.size(); ++index) {
            text += CGameLog::FormatEntry(static_cast<int>(index) + 1, entries[index]);
        }
        commands += entries.size();
        logs.push_back(text);
    }
    return logs;
}

// Seconds spent in each step of loading logs.
struct CReplayTimes {
    double parse = 0.0, check = 0.0, start = 0.0, apply = 0.0;
    size_t commands = 0;
    double Total() const { return parse + check + start + apply; }
    void   Print(const char* what) const {
          printf("%s: %zu commands in %.3f s (parse %.3f, level files hashed %.3f, level loaded %.3f, commands "
                   "applied and checked %.3f)\n",
                 what, commands, Total(), parse, check, start, apply);
    }
};

// Each log: parsed, header checked (level files hashed), match started,
// every command applied and checked.
CReplayTimes ReplayLogs(const std::vector<std::string>& logs) {
    CReplayTimes times;
    for (const std::string& bytes : logs) {
        CLoadedLog              log;
        std::string             error;
        std::unique_ptr<CMatch> match;
        auto                    start = std::chrono::steady_clock::now();
        bool                    good  = CGameLog::Parse(bytes, log, error);
        times.parse += SecondsSince(start);
        start = std::chrono::steady_clock::now();
        good  = good && CLogReplay::CheckHeader(log.header, error);
        times.check += SecondsSince(start);
        start = std::chrono::steady_clock::now();
        good  = good && (match = CLogReplay::StartMatch(log.header, error)) != nullptr;
        times.start += SecondsSince(start);
        start = std::chrono::steady_clock::now();
        if (good) {
            times.commands += CLogReplay::Apply(*match, log.entries, 0, log.entries.size(), error);
        }
        times.apply += SecondsSince(start);
        if (!error.empty()) {
            fprintf(stderr, "ridgeline-match: bench log: %s\n", error.c_str());
        }
    }
    return times;
}

int Bench(const CMatchOptions& options) {
    CMatchOptions longGames             = options;
    longGames.randomPercent             = 95;
    const std::vector<std::string> many = RecordGames(longGames, 10000, maxCommands);
    printf("%zu games\n", many.size());
    ReplayLogs(many).Print("replay");
    // A game of at least 500 commands.
    std::vector<std::string> longGame;
    CMatchOptions            seeker = longGames;
    for (int tries = 0; tries < 200 && longGame.empty(); ++tries, ++seeker.seed) {
        std::vector<std::string> candidate = RecordGames(seeker, 1, 500);
        CLoadedLog               log;
        std::string              error;
        if (!candidate.empty() && CGameLog::Parse(candidate[0], log, error) && log.entries.size() == 500) {
            longGame = candidate;
        }
    }
    if (longGame.empty()) {
        printf("continue: no seeded game reached 500 commands\n");
        return exitDone;
    }
    ReplayLogs(longGame).Print("continue");
    return exitDone;
}

} // namespace

int main(int argc, char** argv) {
    CMatchOptions options;
    if (!ParseOptions(argc, argv, options)) {
        fputs(usage, stderr);
        return exitUsage;
    }
    CTournamentOptions tournament;
    if (options.tournament > 0 && !ParsePlayers(options.players, tournament)) {
        fprintf(stderr, "ridgeline-match: --players wants two of easy, normal, hard, random, greedy: A,B\n");
        return exitUsage;
    }
    if (chdir(options.dataFolder.c_str()) != 0) {
        fprintf(stderr, "ridgeline-match: cannot enter %s\n", options.dataFolder.c_str());
        return exitUsage;
    }
    if (!options.verifyFile.empty()) {
        return Verify(options.verifyFile);
    }
    if (options.tournament > 0) {
        tournament.levelName = options.levelName;
        tournament.firstSeed = options.seed;
        tournament.games     = options.tournament;
        tournament.maxTurns  = options.maxTurns;
        return RunTournament(tournament);
    }
    if (options.network) {
        return PlayNetwork(options);
    }
    return options.bench ? Bench(options) : Play(options);
}
