#pragma once

#include <string>

// What a seat (a person's clicks, the computer, a replay, a network peer)
// orders the match, named by unit and tile. The text form, one command a
// line in game logs and on the network, is
//   move U X Y | undo U | fire U X Y | finish U | end
struct CCommand {
    enum Kind : int {
        move,   // the unit drives to (x, y) in its move area; tentative until its action ends
        undo,   // the unit's tentative move is taken back: it returns to where its turn began
        fire,   // the unit fires at the unit on (x, y) (a general on its own side: a boost); its action ends
        finish, // the unit's action ends where it stands
        endTurn // the team to move hands over to the other team
    };

    Kind kind = endTurn;
    int  unit = -1;
    int  x    = 0;
    int  y    = 0;

    static CCommand Move(int unit, int x, int y) { return {move, unit, x, y}; }
    static CCommand Undo(int unit) { return {undo, unit, 0, 0}; }
    static CCommand Fire(int unit, int x, int y) { return {fire, unit, x, y}; }
    static CCommand Finish(int unit) { return {finish, unit, 0, 0}; }
    static CCommand EndTurn() { return {endTurn, -1, 0, 0}; }

    bool operator==(const CCommand& other) const {
        return kind == other.kind && unit == other.unit && x == other.x && y == other.y;
    }

    std::string ToText() const;
    // False (command unchanged) for anything but exactly one command in the
    // text form above, with numbers that fit an int.
    static bool FromText(const std::string& text, CCommand& command);
};
