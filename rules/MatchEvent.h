#pragma once

#include <string>
#include <utility>
#include <vector>

#include "rules/Combat.h"

// One thing a command made happen, in the order it happened. The battle view
// turns events into walks, shots, effects, sounds and messages.
struct CMatchEvent {
    enum Kind {
        moved,        // unit went along path (first node where it stood); one node: put there at once
        attacked,     // unit fired at target: exchange and message
        boosted,      // the general unit boosted target
        destroyed,    // unit's hit points fell to 0 or below
        unitFinished, // unit's action ended
        turnStarted,  // team is to move; its boosts ended
        gameOver      // team has won
    };

    Kind                             kind    = moved;
    int                              unit    = -1;
    int                              target  = -1;
    int                              team    = 0;
    AttackMessage                    message = AttackMessage::none;
    CCombatExchange                  exchange;
    std::vector<std::pair<int, int>> path; // tiles (x, y)
};

// Why the match refused a command. Each has one short text for the HUD.
enum class Refusal {
    none,
    gameOver,         // the game has ended
    unknownUnit,      // no unit has that index
    notYourUnit,      // the unit belongs to the team not to move
    unitDestroyed,    // the unit no longer plays
    unitDone,         // the unit has acted this turn
    anotherUnitMoved, // another unit's move waits to be finished or taken back
    outsideBoard,     // the tile lies off the board
    outsideMoveArea,  // the unit cannot drive there this turn
    alreadyThere,     // the unit stands on that tile
    noPath,           // no path within the search budget leads there
    nothingToUndo,    // the unit has not moved this turn
    outOfRange,       // the tile lies outside the unit's fire ring
    noTarget,         // no other unit stands on the tile
    ownTarget,        // only a general acts on its own side
    unknownCommand,   // the command's kind is none the rules know
};

const char* RefusalText(Refusal refusal);

// What Apply did: refused (with the reason, nothing changed) or carried out
// completely, with its events.
struct CApplyResult {
    Refusal                  refusal = Refusal::none;
    std::vector<CMatchEvent> events;

    bool Accepted() const { return refusal == Refusal::none; }
};
