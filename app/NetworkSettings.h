#pragma once

#include <string>

#include "app/Seats.h"
#include "session/NetGame.h"

// How a game is played across computers, as "gfxconfig.ini" keeps it:
// "network" (local, host or join) and "address" (the port to host on, or
// the host's address and port to join).
class CNetworkSettings {
public:
    enum class Mode { local, host, join };

    static constexpr int defaultPort = 24680;

    static const char* ModeName(Mode mode);
    // A missing name is local; an unknown one too, and it is logged.
    static Mode ModeFromName(const char* name);
    // The address as stored, or the default port when there is none.
    static std::string AddressOrDefault(const char* address);

    // This side's part of the game. The host plays the team whose seat is
    // not "network" (Blue is the other side's when neither or both are);
    // the joining side learns its team from the host. False, with the
    // reason, for an address that cannot be used.
    static bool MakeSetup(Mode mode, const std::string& address, const CSeats::Seat (&seats)[2],
                          const std::string& levelName, uint64_t seed, CNetGameSetup& setup, std::string& error);
};
