#include "app/ReplayPlayer.h"

#include <algorithm>

#include "core/Logger.h"
#include "session/LogReplay.h"
#include "view/BattleView.h"

CReplayPlayer::CReplayPlayer(CBattleView& battleView, const CMatch& startMatch, std::vector<CLogEntry> logEntries)
    : view(battleView), start(startMatch), entries(std::move(logEntries)) {
    start.SetTraceExchanges(false);
    ShowPosition(0);
}

CReplayPlayer::Action CReplayPlayer::ActionForKey(unsigned char key) {
    switch (key) {
    case 'p':
    case 'P':
        return Action::pause;
    case '.':
    case '>':
        return Action::stepForward;
    case ',':
    case '<':
        return Action::stepBack;
    case '+':
    case '=':
        return Action::faster;
    case '-':
        return Action::slower;
    case 't':
    case 'T':
        return Action::takeOver;
    default:
        return Action::none;
    }
}

void CReplayPlayer::Update(float frameTime) {
    if (paused || position >= entries.size() || view.IsAnimating()) {
        waited = 0.0f;
        return;
    }
    waited += frameTime * static_cast<float>(speed);
    if (waited >= pauseSeconds) {
        Advance();
    }
}

void CReplayPlayer::Do(Action action) {
    switch (action) {
    case Action::pause:
        paused = !paused;
        break;
    case Action::stepForward:
        paused = true;
        Advance();
        break;
    case Action::stepBack:
        paused = true;
        ShowPosition(position > 0 ? position - 1 : 0);
        break;
    case Action::faster:
        speed = std::min(speed * 2, maxSpeed);
        break;
    case Action::slower:
        speed = std::max(speed / 2, 1);
        break;
    case Action::toStart:
        ShowPosition(0);
        break;
    case Action::toEnd:
        ShowPosition(entries.size());
        break;
    case Action::none:
    case Action::takeOver:
        break;
    }
    view.SetTimeScale(static_cast<float>(speed));
}

// The next command through the view, as a seat would hand it in. A command
// the view's match does not replay as the log says ends the replay there.
void CReplayPlayer::Advance() {
    waited = 0.0f;
    if (position >= entries.size()) {
        return;
    }
    const CLogEntry& entry = entries[position];
    view.Submit(entry.command);
    const CMatch* match = view.GetMatch();
    // The hash counts the commands accepted, so a refused command fails it too.
    if (match == nullptr || match->StateHash() != entry.stateHash) {
        GetLogger()->LogError("CReplayPlayer: command %zu (%s) does not replay as logged; the replay ends before it",
                              position + 1, entry.command.ToText().c_str());
        entries.resize(position);
        ShowPosition(position);
        paused = true;
        return;
    }
    ++position;
}

void CReplayPlayer::ShowPosition(size_t target) {
    CMatch      state = start;
    std::string error;
    position = CLogReplay::Apply(state, entries, 0, std::min(target, entries.size()), error);
    if (!error.empty()) {
        GetLogger()->LogError("CReplayPlayer: %s; the replay ends before it", error.c_str());
        entries.resize(position);
        state = start;
        CLogReplay::Apply(state, entries, 0, position, error);
    }
    view.ResetMatch(state);
    waited = 0.0f;
}

CHudReplay CReplayPlayer::GetStatus() const {
    CHudReplay status;
    status.active  = true;
    status.command = static_cast<int>(position);
    status.total   = static_cast<int>(entries.size());
    status.turn    = view.GetMatch() != nullptr ? view.GetMatch()->GetTurn() : 0;
    status.speed   = speed;
    status.paused  = paused;
    return status;
}

std::vector<CLogEntry> CReplayPlayer::GetEntriesSoFar() const {
    return std::vector<CLogEntry>(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(position));
}
