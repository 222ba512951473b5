#include "app/NetworkSettings.h"

#include <cstring>

#include "core/Logger.h"

namespace {

const char* const modeNames[] = {"local", "host", "join"};

} // namespace

const char* CNetworkSettings::ModeName(Mode mode) {
    return modeNames[static_cast<int>(mode)];
}

CNetworkSettings::Mode CNetworkSettings::ModeFromName(const char* name) {
    if (name == nullptr) {
        return Mode::local;
    }
    for (int index = 0; index < 3; ++index) {
        if (strcmp(name, modeNames[index]) == 0) {
            return static_cast<Mode>(index);
        }
    }
    GetLogger()->LogError("gfxconfig.ini: network \"%s\" is none of local, host, join; the game is played here", name);
    return Mode::local;
}

std::string CNetworkSettings::AddressOrDefault(const char* address) {
    return address != nullptr && address[0] != '\0' ? address : std::to_string(defaultPort);
}

bool CNetworkSettings::MakeSetup(Mode mode, const std::string& address, const CSeats::Seat (&seats)[2],
                                 const std::string& levelName, uint64_t seed, CNetGameSetup& setup,
                                 std::string& error) {
    setup.hosting      = mode == Mode::host;
    setup.levelName    = levelName;
    setup.seed         = seed;
    const bool redAway = seats[0] == CSeats::Seat::network && seats[1] != CSeats::Seat::network;
    setup.hostTeam     = redAway ? 2 : 1;
    if (!setup.SetAddress(address)) {
        error = setup.hosting ? "\"" + address + "\" is no port to host on (1 to 65535)"
                              : "\"" + address + "\" is no address to join (host:port)";
        return false;
    }
    return true;
}
