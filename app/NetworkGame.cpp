// CApplication: this screen's side of a game with a player at another
// computer, and its log.
#include "app/Application.h"
#include "app/NetworkSeat.h"
#include "app/NetworkSettings.h"
#include "app/Seats.h"
#include "core/Logger.h"
#include "session/GameLog.h"
#include "session/SavedGames.h"
#include "view/BattleView.h"

// An address that cannot be used, or a port that cannot be opened, is said
// in the waiting box; the game is not played on this computer instead.
void CApplication::StartNetworkGame(uint64_t seed) {
    const CSeats::Seat chosen[2] = {CSeats::SeatFromName(seatNames[0].empty() ? nullptr : seatNames[0].c_str()),
                                    CSeats::SeatFromName(seatNames[1].empty() ? nullptr : seatNames[1].c_str())};
    const auto         mode      = CNetworkSettings::ModeFromName(networkMode.c_str());
    CNetGameSetup      setup;
    std::string        error;
    if (!CNetworkSettings::MakeSetup(mode, networkAddress, chosen, level->GetName(), seed, setup, error)) {
        networkError = "The network game cannot begin: " + error;
        GetLogger()->LogError("%s", networkError.c_str());
        return;
    }
    setup.dumpPath = CSavedGames::Folder() + "/network-dump-" + std::to_string(seed) + ".txt";
    auto seat      = std::make_unique<CNetworkSeat>(setup);
    if (!seat->Start(error)) {
        networkError = "The network game cannot begin: " + error;
        GetLogger()->LogError("%s", networkError.c_str());
        return;
    }
    networkSeat = std::move(seat);
}

void CApplication::UpdateNetworkGame() {
    if (networkSeat && networkSeat->Update(*level)) {
        RecordNetworkGame();
    }
}

// Once this side holds the game: the seats (the joining side learns its
// team and the seed from the host) and a log of the commands so far.
void CApplication::RecordNetworkGame() {
    const CNetGame&    game     = networkSeat->GetGame();
    const int          local    = game.GetLocalTeam();
    std::string        names[2] = {"network", "network"};
    const std::string& chosen   = seatNames[local - 1];
    names[local - 1]            = chosen == "network" ? "person" : chosen;
    SeatPlayers(names, game.GetSeed());
    playing[CMatch::OtherTeam(local) - 1] = networkSeat->PeerSeatText();
    std::vector<CLogEntry> entries;
    for (const CNetEntry& entry : game.GetHistory()) {
        entries.push_back({entry.command, entry.hashAfter});
    }
    RecordNewGame(game.GetSeed(), entries);
}
