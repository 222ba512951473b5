// CApplication: the match begun as the start-up chose (new, continued from
// its log or replayed), and the log every game writes as it is played.
#include <ctime>

#include "app/Application.h"
#include "app/ReplayPlayer.h"
#include "app/NetworkSeat.h"
#include "app/NetworkSettings.h"
#include "app/Seats.h"
#include "core/Logger.h"
#include "session/GameLogWriter.h"
#include "session/LogReplay.h"
#include "session/SavedGames.h"
#include "view/BattleView.h"

namespace {

const char* VerbOf(const CGameStart& start) {
    return start.kind == CGameStart::replayGame ? "replayed" : "continued";
}

constexpr char computerWord[] = "computer ";

// A log names a seat "person" or "computer <level> <seed>".
std::string SeatText(const std::string& name, uint64_t seed, int team) {
    const CSeats::Seat seat = CSeats::SeatFromName(name.empty() ? nullptr : name.c_str());
    if (seat == CSeats::Seat::person || seat == CSeats::Seat::network) {
        return "person"; // a network game names the other side's seat itself
    }
    return computerWord + name + " " + std::to_string(seed + static_cast<uint64_t>(team));
}

std::string SeatName(const std::string& text) {
    if (text.compare(0, sizeof computerWord - 1, computerWord) != 0) {
        return "person";
    }
    const std::string rest = text.substr(sizeof computerWord - 1);
    return rest.substr(0, rest.find(' '));
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
        if (networkSeat && !networkSeat->IsShowingPeer()) {
            networkSeat->Send(command);
        }
    });
    if (gameStart.kind == CGameStart::newGame) {
        const uint64_t seed = NewMatchSeed();
        level->LoadTeams(seed);
        SeatPlayers(seatNames, seed);
        if (CNetworkSettings::ModeFromName(networkMode.empty() ? nullptr : networkMode.c_str()) !=
            CNetworkSettings::Mode::local) {
            StartNetworkGame(seed); // recorded once this side holds the game
            return;
        }
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
    const std::string names[2] = {SeatName(log.header.seats[0]), SeatName(log.header.seats[1])};
    SeatPlayers(names, log.header.seed);
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

void CApplication::SeatPlayers(const std::string (&names)[2], uint64_t seed) {
    for (int team = 0; team < CMatch::teamCount; ++team) {
        playing[team] = SeatText(names[team], seed, team);
    }
    seats = std::make_unique<CSeats>(CSeats::SeatFromName(names[0].empty() ? nullptr : names[0].c_str()),
                                     CSeats::SeatFromName(names[1].empty() ? nullptr : names[1].c_str()), seed);
}

void CApplication::RecordNewGame(uint64_t seed, const std::vector<CLogEntry>& entries) {
    logWriter.reset();
    if (!CSavedGames::EnsureFolder()) {
        return;
    }
    const time_t   now     = time(nullptr);
    CGameLogHeader header  = CLogReplay::NewHeader(level->GetName(), seed, CSavedGames::FormatStartTime(now));
    header.seats[0]        = playing[0];
    header.seats[1]        = playing[1];
    const std::string path = CSavedGames::NewLogPath(now);
    std::string       error;
    auto              writer = std::make_unique<CGameLogWriter>();
    if (!writer->Create(path, header, entries, error)) {
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
// commands so far, with the seats chosen in the dialog.
void CApplication::TakeOverReplay() {
    const std::vector<CLogEntry> entries = replay->GetEntriesSoFar();
    replay.reset();
    level->SetTimeScale(1.0f);
    level->SetReplayStatus(CHudReplay());
    SeatPlayers(seatNames, replayHeaderSeed);
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
