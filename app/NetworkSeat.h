#pragma once

#include <deque>
#include <string>

#include "session/NetGame.h"

class CBattleView;

// This screen's side of a network game. The lockstep game keeps its own
// match; the battle view is brought to it once this side holds the whole
// game, and then shows each command of the other side as it comes, one at a
// time as the computer's are shown. Commands given here go from the view
// (which applied them) to the peer.
class CNetworkSeat {
public:
    explicit CNetworkSeat(const CNetGameSetup& setup);

    // Opens the port or starts connecting; false, with the reason, when that fails.
    bool Start(std::string& error);
    // Handles what arrived (also while the window draws no frames).
    void Pump() { game.Pump(0); }
    // Handles what arrived and shows the next command of the other side.
    // True the one time the view is brought to the game (it may then be
    // recorded and announced).
    bool Update(CBattleView& view);
    // A command given on this screen, already applied by the view.
    void Send(const CCommand& command);
    // Whether the view is applying a command of the other side (which is not sent back).
    bool IsShowingPeer() const { return showingPeer; }
    // This screen may give a command: the game is on, both sides hold all of
    // it, the view shows all of it, and this side's team is to move.
    bool CanMove() const;
    // Tells the battle view who plays the team to move and what the game
    // waits for; localLine is this side's own seat's line (the computer's).
    void ShowSeat(CBattleView& view, const std::string& localLine) const;
    // Escape: in the waiting screen the first press only asks; true when the
    // game is to end now.
    bool ConfirmQuit();
    // Tells the peer that the game ends (unless it is over) and waits a
    // moment for what is queued to go out.
    void Close();

    const CNetGame& GetGame() const { return game; }
    // The other side's seat as a game log names it.
    std::string PeerSeatText() const;

private:
    std::string WaitingText() const;
    bool        IsWaiting() const;

    CNetGame              game;
    std::string           address; // the host's, for the seat's text; empty on the host
    bool                  synced      = false;
    bool                  showingPeer = false;
    bool                  quitAsked   = false;
    std::deque<CNetEntry> incoming; // the other side's commands the view has yet to show
};
