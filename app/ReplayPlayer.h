#pragma once

#include <cstddef>
#include <vector>

#include "rules/Match.h"
#include "session/GameLog.h"
#include "ui/HudState.h"

class CBattleView;

// Plays a game log back through the battle view's one door, with the real
// walks, shots, effects, sounds and messages: the next command goes in once
// the last one has been shown and a short pause has passed. Stepping back
// rebuilds the match from the start and shows it at once.
class CReplayPlayer {
public:
    enum class Action { none, pause, stepForward, stepBack, faster, slower, toStart, toEnd, takeOver };

    // Seconds between one command's presentation ending and the next at 1x.
    static constexpr float pauseSeconds = 0.6f;
    static constexpr int   maxSpeed     = 8;

    // The view (borrowed) shows `start`, the level's match before any
    // command; entries are the log's commands.
    CReplayPlayer(CBattleView& view, const CMatch& start, std::vector<CLogEntry> entries);

    // The replay keys: p pause, . and > one command forward, , and < one
    // back, + and = faster, - slower, t take over. (Page Up and Page Down,
    // jump to the start and the end, are special keys the window library names.)
    static Action ActionForKey(unsigned char key);

    void Update(float frameTime);
    // Every action but takeOver, which the application carries out.
    void Do(Action action);

    CHudReplay GetStatus() const;
    size_t     GetPosition() const { return position; }
    size_t     GetTotal() const { return entries.size(); }
    // The commands shown so far: the log of a game taken over here.
    std::vector<CLogEntry> GetEntriesSoFar() const;

private:
    void Advance();
    void ShowPosition(size_t target);

    CBattleView&           view;
    CMatch                 start;
    std::vector<CLogEntry> entries;
    size_t                 position = 0;
    bool                   paused   = false;
    int                    speed    = 1;
    float                  waited   = 0.0f; // seconds since the view stopped animating
};
