#include "app/Seats.h"

#include <cstring>

#include "core/Logger.h"

namespace {

const char* const seatNames[CSeats::seatCount] = {"person", "easy", "normal", "hard", "network"};

} // namespace

CSeats::CSeats(Seat red, Seat blue, uint64_t seed) {
    const Seat seats[CMatch::teamCount] = {red, blue};
    for (int team = 0; team < CMatch::teamCount; ++team) {
        if (seats[team] != Seat::person && seats[team] != Seat::network) {
            const auto level = static_cast<CComputerPlayer::Level>(static_cast<int>(seats[team]) - 1);
            players[team]    = std::make_unique<CComputerPlayer>(level, seed + static_cast<uint64_t>(team));
        }
    }
}

const char* CSeats::SeatName(Seat seat) {
    return seatNames[static_cast<int>(seat)];
}

CSeats::Seat CSeats::SeatFromName(const char* name) {
    if (name == nullptr) {
        return Seat::person;
    }
    for (int index = 0; index < seatCount; ++index) {
        if (strcmp(name, seatNames[index]) == 0) {
            return static_cast<Seat>(index);
        }
    }
    GetLogger()->LogError("gfxconfig.ini: seat \"%s\" is none of person, easy, normal, hard, network; a person plays",
                          name);
    return Seat::person;
}

CComputerPlayer* CSeats::ComputerToMove(const CMatch& match) const {
    const int team = match.GetCurrentTeam();
    if (match.IsGameOver() || team < 1 || team > CMatch::teamCount) {
        return nullptr;
    }
    return players[team - 1].get();
}
