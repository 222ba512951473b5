// CApplication: the match begun as the start-up chose (new, continued from
// its log or replayed), and the log every game writes as it is played.
#include <ctime>

#include "app/Application.h"
#include "app/ReplayPlayer.h"
#include "core/Logger.h"
#include "session/GameLogWriter.h"
#include "session/LogReplay.h"
#include "session/SavedGames.h"
#include "view/BattleView.h"

namespace {

const char* VerbOf(const CGameStart& start) {
    return start.kind == CGameStart::replayGame ? "replayed" : "continued";
}

} // namespace

// A log that cannot be read or replayed here is named in the error log with
// the reason, and a new game begins instead.
void CApplication::StartMatch() {
    CLoadedLog  log;
    std::string error;
    if (gameStart.kind != CGameStart::newGame && !LoadStartLog(log, error)) {
        GetLogger()->LogError("The game %s cannot be %s: %s. A new game begins.", gameStart.logPath.c_str(),
                              VerbOf(gameStart), error.c_str());
        gameStart.kind = CGameStart::newGame;
    }
    level->SetCommandObserver([this](const CCommand& command, const CMatch& match) {
        if (logWriter) {
            logWriter->Append({command, match.StateHash()});
        }
    });
    if (gameStart.kind == CGameStart::newGame) {
        const uint64_t seed = NewMatchSeed();
        level->LoadTeams(seed);
        RecordNewGame(seed, {});
    } else {
        level->LoadTeams(log.header.seed);
        if (gameStart.kind == CGameStart::continueGame) {
            ContinueGame(log);
        } else {
            StartReplay(log);
        }
    }
}

bool CApplication::LoadStartLog(CLoadedLog& log, std::string& error) const {
    if (!CGameLog::Load(gameStart.logPath, log, error) || !CLogReplay::CheckHeader(log.header, error)) {
        return false;
    }
    if (log.header.levelName != level->GetName()) {
        error = "it was played on level " + log.header.levelName + ", not on " + level->GetName();
        return false;
    }
    if (log.droppedLines > 0) {
        GetLogger()->LogError("The game %s: %d damaged or cut-short line%s after command %zu %s dropped.",
                              gameStart.logPath.c_str(), log.droppedLines, log.droppedLines == 1 ? "" : "s",
                              log.entries.size(), log.droppedLines == 1 ? "is" : "are");
    }
    return true;
}

// The position is rebuilt on a copy of the view's match and shown at once.
// A command that does not replay as logged ends the game there: it goes on
// in a new log holding the commands before it, and the old log stays as it is.
void CApplication::ContinueGame(const CLoadedLog& log) {
    CMatch state = *level->GetMatch();
    state.SetTraceExchanges(false);
    std::string  error;
    const size_t replayed = CLogReplay::Apply(state, log.entries, 0, log.entries.size(), error);
    if (replayed < log.entries.size()) {
        GetLogger()->LogError("The game %s: %s; it goes on from the command before, in a new log.",
                              gameStart.logPath.c_str(), error.c_str());
        state = *level->GetMatch();
        state.SetTraceExchanges(false);
        CLogReplay::Apply(state, log.entries, 0, replayed, error);
        level->ResetMatch(state);
        RecordNewGame(log.header.seed, std::vector<CLogEntry>(log.entries.begin(), log.entries.begin() + replayed));
        return;
    }
    level->ResetMatch(state);
    logWriter = std::make_unique<CGameLogWriter>();
    if (!logWriter->Continue(gameStart.logPath, log, error)) {
        GetLogger()->LogError("%s; the game goes on in a new log.", error.c_str());
        RecordNewGame(log.header.seed, log.entries);
    }
}

void CApplication::RecordNewGame(uint64_t seed, const std::vector<CLogEntry>& entries) {
    logWriter.reset();
    if (!CSavedGames::EnsureFolder()) {
        return;
    }
    const time_t      now  = time(nullptr);
    const std::string path = CSavedGames::NewLogPath(now);
    std::string       error;
    auto              writer = std::make_unique<CGameLogWriter>();
    if (!writer->Create(path, CLogReplay::NewHeader(level->GetName(), seed, CSavedGames::FormatStartTime(now)), entries,
                        error)) {
        GetLogger()->LogError("CApplication: %s; the game is not recorded", error.c_str());
        return;
    }
    logWriter = std::move(writer);
}

void CApplication::StartReplay(const CLoadedLog& log) {
    replay           = std::make_unique<CReplayPlayer>(*level, *level->GetMatch(), log.entries);
    replayHeaderSeed = log.header.seed;
}

// Play on from the command shown, as a new game whose log begins with the
// commands so far.
void CApplication::TakeOverReplay() {
    const std::vector<CLogEntry> entries = replay->GetEntriesSoFar();
    replay.reset();
    level->SetTimeScale(1.0f);
    level->SetReplayStatus(CHudReplay());
    RecordNewGame(replayHeaderSeed, entries);
    level->ShowTurnMessage();
}

void CApplication::HandleReplayKey(int action) {
    if (!replay) {
        return;
    }
    const auto replayAction = static_cast<CReplayPlayer::Action>(action);
    if (replayAction == CReplayPlayer::Action::takeOver) {
        TakeOverReplay();
    } else {
        replay->Do(replayAction);
    }
}
