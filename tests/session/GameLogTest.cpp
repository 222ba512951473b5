#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>

#include "TestSupport.h"
#include "ai/MixedPlayer.h"
#include "data/DataFiles.h"
#include "session/GameLog.h"
#include "session/GameLogWriter.h"
#include "session/LogReplay.h"

namespace {

struct CPlayedGame {
    CGameLogHeader         header;
    std::vector<CLogEntry> entries;
    uint64_t               finalHash = 0;
    int                    winner    = 0;
    std::string            text;
};

// The shipped level's rule files linked into the test's working folder, where the logs are written.
class GameLog : public ::testing::Test {
protected:
    GameLog() {
        for (const char* name : {"TestLevel", "Terrain", "units"}) {
            EXPECT_EQ(symlink((DataFiles::Folder() + "/" + name).c_str(), name), 0);
        }
    }

    static CPlayedGame Play(uint64_t seed, int randomPercent, std::unique_ptr<CMatch>& start) {
        CPlayedGame game;
        std::string error;
        game.header = CLogReplay::NewHeader("TestLevel", seed, "2000-01-01T00:00:00Z");
        start       = CLogReplay::StartMatch(game.header, error);
        EXPECT_TRUE(start) << error;
        CMatch       match = *start;
        CMixedPlayer player(seed, randomPercent);
        for (int step = 0; step < 5000 && !match.IsGameOver(); ++step) {
            const CCommand command = player.ChooseCommand(match);
            if (match.Apply(command).Accepted()) {
                game.entries.push_back({command, match.StateHash()});
            }
        }
        game.finalHash = match.StateHash();
        game.winner    = match.GetWinner();
        game.text      = CGameLog::FormatHeader(game.header);
        for (size_t index = 0; index < game.entries.size(); ++index) {
            game.text += CGameLog::FormatEntry(static_cast<int>(index) + 1, game.entries[index]);
        }
        return game;
    }
};

bool SameEntries(const std::vector<CLogEntry>& a, const std::vector<CLogEntry>& b, size_t count) {
    return a.size() >= count && b.size() >= count &&
           std::equal(a.begin(), a.begin() + static_cast<long>(count), b.begin(), [](const auto& x, const auto& y) {
               return x.command == y.command && x.stateHash == y.stateHash;
           });
}

// Seeded games, a tenth to a half of their commands random: each log reads back whole and replays
// to the same winner. Cut at a random byte, a log loads to the whole lines before the cut; replaying
// that prefix and applying the rest gives the final hash of the whole game.
TEST_F(GameLog, SeededGamesReplayThroughTheirLogsAlsoFromAnyCut) {
    std::mt19937 random(7);
    int          finished = 0;
    for (uint64_t seed = 1; seed <= 200; ++seed) {
        std::unique_ptr<CMatch> start;
        const CPlayedGame       game = Play(seed, 10 + static_cast<int>(seed % 5) * 10, start);
        ASSERT_TRUE(start);
        CLoadedLog  log;
        std::string error;
        ASSERT_TRUE(CGameLog::Parse(game.text, log, error)) << error;
        ASSERT_TRUE(CLogReplay::CheckHeader(log.header, error)) << error;
        ASSERT_EQ(log.droppedLines, 0);
        ASSERT_TRUE(SameEntries(log.entries, game.entries, game.entries.size()));
        CMatch replay = *start;
        ASSERT_EQ(CLogReplay::Apply(replay, log.entries, 0, log.entries.size(), error), game.entries.size()) << error;
        ASSERT_EQ(replay.GetWinner(), game.winner) << "seed " << seed;
        finished += replay.IsGameOver();

        const size_t headerBytes = CGameLog::FormatHeader(game.header).size();
        const size_t cut         = headerBytes + random() % (game.text.size() - headerBytes + 1);
        ASSERT_TRUE(CGameLog::Parse(game.text.substr(0, cut), log, error)) << error;
        const size_t kept = log.entries.size();
        ASSERT_EQ(log.droppedLines, cut == game.text.size() || game.text[cut - 1] == '\n' ? 0 : 1) << "cut at " << cut;
        ASSERT_TRUE(log.droppedLines == 0 || log.cutShort);
        CMatch resumed = *start;
        ASSERT_EQ(CLogReplay::Apply(resumed, log.entries, 0, kept, error), kept) << error;
        ASSERT_EQ(CLogReplay::Apply(resumed, game.entries, kept, game.entries.size(), error),
                  game.entries.size() - kept);
        ASSERT_EQ(resumed.StateHash(), game.finalHash) << "seed " << seed << " cut after command " << kept;
    }
    EXPECT_GT(finished, 150);
}

// A writer killed with SIGKILL: the log loads to a prefix holding every command whose Append
// returned and at most the one being written; continued, it goes on with nothing dropped.
TEST_F(GameLog, AWriterKilledAnywhereLosesAtMostTheCommandBeingWritten) {
    std::unique_ptr<CMatch> start;
    const CPlayedGame       game = Play(11, 95, start);
    ASSERT_GT(game.entries.size(), 400u);
    std::mt19937 random(3);
    int          killedMidGame = 0;
    for (int round = 0; round < 12; ++round) {
        const std::string path = "killed" + std::to_string(round) + ".log";
        int               progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(progress[0]);
            CGameLogWriter writer;
            std::string    error;
            if (writer.Create(path, game.header, {}, error)) {
                for (int count = 1; count <= static_cast<int>(game.entries.size()); ++count) {
                    writer.Append(game.entries[static_cast<size_t>(count) - 1]);
                    (void)!write(progress[1], &count, sizeof count);
                }
            }
            _exit(0);
        }
        close(progress[1]);
        // After one of the first 40 commands (each synced), so it lands mid-game however busy the machine.
        const int target = 1 + static_cast<int>(random() % 40);
        int       synced = 0;
        for (int count = 0; synced < target && read(progress[0], &count, sizeof count) == sizeof count;) {
            synced = count;
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        for (int count = 0; read(progress[0], &count, sizeof count) == sizeof count;) {
            synced = count;
        }
        close(progress[0]);
        CLoadedLog  log;
        std::string error;
        if (!CGameLog::Load(path, log, error)) {
            ASSERT_EQ(synced, 0) << error;
            continue;
        }
        killedMidGame += synced > 0 && static_cast<size_t>(synced) < game.entries.size();
        ASSERT_GE(log.entries.size(), static_cast<size_t>(synced)) << "round " << round;
        ASSERT_LE(log.entries.size(), static_cast<size_t>(synced) + 1) << "round " << round;
        ASSERT_TRUE(SameEntries(log.entries, game.entries, log.entries.size()));
        CGameLogWriter writer;
        ASSERT_TRUE(writer.Continue(path, log, error)) << error;
        const size_t goesOn = std::min(log.entries.size() + 3, game.entries.size());
        for (size_t index = log.entries.size(); index < goesOn; ++index) {
            ASSERT_TRUE(writer.Append(game.entries[index]));
        }
        ASSERT_TRUE(CGameLog::Load(path, log, error)) << error;
        EXPECT_EQ(log.droppedLines, 0);
        ASSERT_EQ(log.entries.size(), goesOn);
        ASSERT_TRUE(SameEntries(log.entries, game.entries, goesOn));
    }
    EXPECT_GE(killedMidGame, 6);
}

// A rule change that alters these games must raise the rules version on purpose; then record them
// anew: ridgeline-match --data data --seed S --random R --record FILE.
TEST_F(GameLog, GoldenLogsReplayToTheirFinalHashes) {
    const struct {
        const char* file;
        uint64_t    finalHash;
        size_t      commands;
        int         winner;
    } golden[] = {{"seed3.log", 0xdf8f97295d72ece1ULL, 143, 2},
                  {"seed7.log", 0x10b4be300da55a35ULL, 120, 1},
                  {"seed11-unfinished.log", 0xe1c13791f2c5296dULL, 200, 0}};
    for (const auto& row : golden) {
        CLoadedLog        log;
        std::string       error;
        const std::string path = std::string(RIDGELINE_SOURCE_DIR) + "/tests/session/golden/" + row.file;
        ASSERT_TRUE(CGameLog::Load(path, log, error)) << row.file << ": " << error;
        ASSERT_TRUE(CLogReplay::CheckHeader(log.header, error)) << row.file << ": " << error;
        std::unique_ptr<CMatch> match = CLogReplay::StartMatch(log.header, error);
        ASSERT_TRUE(match) << error;
        EXPECT_EQ(CLogReplay::Apply(*match, log.entries, 0, log.entries.size(), error), row.commands) << error;
        EXPECT_EQ(match->StateHash(), row.finalHash) << row.file;
        EXPECT_EQ(match->GetWinner(), row.winner) << row.file;
    }
}

// Damaged and foreign logs are refused with a reason, or load up to the damage (counting the
// dropped lines), or replay up to the command that does not match, named in the message.
TEST_F(GameLog, ForeignAndDamagedLogsAreRefusedOrCutWithAReason) {
    std::unique_ptr<CMatch>  start;
    const CPlayedGame        game = Play(5, 20, start);
    std::vector<std::string> lines;
    std::istringstream       stream(game.text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line.substr(0, line.rfind(" #")));
    }
    using Edit                              = std::function<void(std::vector<std::string>&)>;
    static const std::string raw            = "\x01"; // a line written as it is, without its checksum
    const auto               otherLastDigit = [](std::string& line) { line.back() = line.back() == '0' ? '1' : '0'; };
    const struct {
        const char* name;
        Edit        edit;
        const char* reason; // in the refusal or the replay's message; "" for none
        size_t      entries;
    } cases[] = {
        {"another format", [](auto& l) { l[0] = "ridgeline-log 2"; }, "format 2", 0},
        {"another rules version", [](auto& l) { l[1].replace(6, 1, "9"); }, "rules version 9", 0},
        {"another fingerprint", [&](auto& l) { otherLastDigit(l[1]); }, "fingerprint", 0},
        {"changed level files", [&](auto& l) { otherLastDigit(l[2]); }, "files of level TestLevel differ", 0},
        {"another level", [](auto& l) { l[2].replace(6, 9, "Elsewhere"); }, "files of level Elsewhere differ", 0},
        {"a level name leading out", [](auto& l) { l[2].replace(6, 9, "..\\..\\etc"); }, "header is damaged", 0},
        {"a first team the seed does not give", [](auto& l) { l[3].back() = l[3].back() == '1' ? '2' : '1'; },
         "first team", 0},
        {"a header line missing", [](auto& l) { l.erase(l.begin() + 4); }, "line 5 of its header", 0},
        {"a damaged line in the middle", [](auto& l) { l[20] = raw + l[20] + " #00000000"; }, "", 13},
        {"two commands swapped", [](auto& l) { std::swap(l[30], l[31]); }, "", 23},
        {"a huge line", [](auto& l) { l[40] = std::string(1 << 20, '7'); }, "", 33},
        {"a state hash not the rules'", [&](auto& l) { otherLastDigit(l[12]); }, "command 6 (", 5},
    };
    for (const auto& row : cases) {
        std::vector<std::string> edited = lines;
        row.edit(edited);
        std::string text;
        for (const std::string& line : edited) {
            text += line.compare(0, raw.size(), raw) == 0 ? line.substr(raw.size()) + "\n" : CGameLog::FormatLine(line);
        }
        WriteFile("edited.log", text);
        CLoadedLog  log;
        std::string error;
        bool        good = CGameLog::Load("edited.log", log, error) && CLogReplay::CheckHeader(log.header, error);
        if (good) {
            CMatch       replay   = *start;
            const size_t replayed = CLogReplay::Apply(replay, log.entries, 0, log.entries.size(), error);
            good                  = replayed == log.entries.size();
            EXPECT_EQ(replayed, row.entries) << row.name;
            EXPECT_EQ(log.droppedLines, static_cast<int>(lines.size() - 7 - log.entries.size())) << row.name;
        }
        EXPECT_EQ(good, row.reason[0] == '\0') << row.name << ": " << error;
        EXPECT_NE(error.find(row.reason), std::string::npos) << row.name << ": " << error;
    }
    CLoadedLog  log;
    std::string error;
    WriteFile("empty.log", "");
    EXPECT_FALSE(CGameLog::Load("empty.log", log, error));
    EXPECT_EQ(error, "the file is empty");
    ASSERT_EQ(mkdir("folder.log", 0755), 0);
    EXPECT_FALSE(CGameLog::Load("folder.log", log, error));
    EXPECT_EQ(error, "it is not a regular file");
    // A log is never written through a link, nor over another file.
    ASSERT_EQ(symlink("elsewhere.txt", "linked.log"), 0);
    CGameLogWriter writer;
    EXPECT_FALSE(writer.Create("linked.log", game.header, {}, error));
    EXPECT_FALSE(writer.Create("empty.log", game.header, {}, error));
    EXPECT_FALSE(FileExists("elsewhere.txt"));
    EXPECT_FALSE(writer.Continue("linked.log", log, error));
}

} // namespace
