// CApplication: this screen's side of a game with a player at another
// computer, and its log.
#include "app/Application.h"
#include "app/NetworkSeat.h"
#include "app/NetworkSettings.h"
#include "app/Seats.h"
#include "core/Logger.h"
#include "session/GameLog.h"
#include "session/GameLogWriter.h"
#include "session/SavedGames.h"
#include "view/BattleView.h"

namespace {

constexpr char networkWord[] = "network";

bool IsNetworkSeat(const std::string& text) {
    return text.compare(0, sizeof networkWord - 1, networkWord) == 0;
}

} // namespace

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
    OpenNetworkSeat(setup);
}

void CApplication::OpenNetworkSeat(CNetGameSetup& setup) {
    setup.dumpPath   = CSavedGames::Folder() + "/network-dump-" + std::to_string(setup.seed) + ".txt";
    auto        seat = std::make_unique<CNetworkSeat>(setup);
    std::string error;
    if (!seat->Start(error)) {
        networkError = "The network game cannot begin: " + error;
        GetLogger()->LogError("%s", networkError.c_str());
        return;
    }
    networkSeat = std::move(seat);
}

// The side that hosted hosts again on the port of the settings; the side
// that joined joins the address its log names.
bool CApplication::ContinueNetworkGame(const CLoadedLog& log) {
    const int peer = IsNetworkSeat(log.header.seats[1]) ? 2 : IsNetworkSeat(log.header.seats[0]) ? 1 : 0;
    if (peer == 0) {
        return false;
    }
    const int          local   = CMatch::OtherTeam(peer);
    const std::string& text    = log.header.seats[peer - 1];
    const std::string  address = text.size() > sizeof networkWord ? text.substr(sizeof networkWord) : "";
    const bool         hosting = address.empty();
    CSeats::Seat       seats[2];
    seats[peer - 1]  = CSeats::Seat::network;
    seats[local - 1] = CSeats::Seat::person;
    CNetGameSetup setup;
    std::string   error;
    if (!CNetworkSettings::MakeSetup(hosting ? CNetworkSettings::Mode::host : CNetworkSettings::Mode::join,
                                     hosting ? networkAddress : address, seats, log.header.levelName, log.header.seed,
                                     setup, error)) {
        networkError = "The network game cannot go on: " + error;
        GetLogger()->LogError("%s", networkError.c_str());
        return true;
    }
    setup.hostTeam = hosting ? local : peer;
    setup.resuming = true;
    for (const CLogEntry& entry : log.entries) {
        setup.resumeEntries.push_back({entry.command, entry.stateHash});
    }
    seatNames[peer - 1]  = networkWord;
    seatNames[local - 1] = CSeats::NameFromLog(log.header.seats[local - 1]);
    resumedLog           = std::make_unique<CLoadedLog>(log);
    OpenNetworkSeat(setup);
    return true;
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
    if (resumedLog) {
        // The log taken up goes on with what the other side played meanwhile.
        logWriter = std::make_unique<CGameLogWriter>();
        std::string error;
        if (logWriter->Continue(gameStart.logPath, *resumedLog, error)) {
            for (size_t index = resumedLog->entries.size(); index < entries.size(); ++index) {
                logWriter->Append(entries[index]);
            }
            return;
        }
        GetLogger()->LogError("%s; the game goes on in a new log.", error.c_str());
    }
    RecordNewGame(game.GetSeed(), entries);
}
