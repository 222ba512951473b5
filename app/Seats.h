#pragma once

#include <cstdint>
#include <memory>

#include "ai/ComputerPlayer.h"

// Who plays each team: a person at this screen, the computer at one of its
// levels, or a player at another computer (in a network game; otherwise a
// person). Stored in "gfxconfig.ini" as "red" (team 1) and "blue" (team 2)
// with the values person, easy, normal, hard, network.
class CSeats {
public:
    enum class Seat { person, easy, normal, hard, network };
    static constexpr int seatCount = 5;

    static constexpr const char* redKey  = "red";
    static constexpr const char* blueKey = "blue";

    // The computer's players are seeded from the match's seed.
    CSeats(Seat red, Seat blue, uint64_t seed);

    static const char* SeatName(Seat seat);
    // A missing name is a person; an unknown one too, and it is logged.
    static Seat SeatFromName(const char* name);

    // The computer's player of the team to move; null when a person plays
    // it or the game is over.
    CComputerPlayer* ComputerToMove(const CMatch& match) const;

private:
    std::unique_ptr<CComputerPlayer> players[CMatch::teamCount];
};
