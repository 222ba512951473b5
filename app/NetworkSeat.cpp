#include "app/NetworkSeat.h"

#include "core/Logger.h"
#include "view/BattleView.h"

namespace {

// Waiting this long for the last messages to go out when the game ends here.
constexpr int closeLingerMs = 1000;

} // namespace

CNetworkSeat::CNetworkSeat(const CNetGameSetup& setup)
    : game(setup), address(setup.hosting ? std::string() : setup.address + ":" + std::to_string(setup.port)) {
    game.SetCommandListener([this](int, const CCommand& command, uint64_t hash, bool local) {
        if (!local && synced) {
            incoming.push_back({command, hash});
        }
    });
}

bool CNetworkSeat::Start(std::string& error) {
    return game.Start(error);
}

bool CNetworkSeat::Update(CBattleView& view) {
    game.Pump(0);
    if (!synced) {
        if (game.GetMatch() == nullptr || (!game.IsCaughtUp() && game.GetPhase() != CNetGame::Phase::finished)) {
            return false;
        }
        synced = true;
        view.ResetMatch(*game.GetMatch());
        GetLogger()->LogInfo("network: playing team %d; %d commands so far, team %d to move", game.GetLocalTeam(),
                             game.GetCommandCount(), game.GetMatch()->GetCurrentTeam());
        view.ShowTurnMessage();
        return true;
    }
    if (!incoming.empty() && !view.IsAnimating()) {
        const CNetEntry entry = incoming.front();
        incoming.pop_front();
        GetLogger()->LogInfo("network: the other side's %s", entry.command.ToText().c_str());
        showingPeer         = true;
        const bool accepted = view.Submit(entry.command).Accepted();
        showingPeer         = false;
        if (!accepted || view.GetMatch()->StateHash() != entry.hashAfter) {
            GetLogger()->LogError("network: the view does not show the other side's %s as the game has it",
                                  entry.command.ToText().c_str());
        }
    }
    return false;
}

void CNetworkSeat::Send(const CCommand& command) {
    std::string refusal;
    if (!game.Play(command, refusal)) {
        GetLogger()->LogError("network: %s was not sent: %s", command.ToText().c_str(), refusal.c_str());
    }
}

bool CNetworkSeat::CanMove() const {
    return synced && incoming.empty() && game.CanMove();
}

bool CNetworkSeat::IsWaiting() const {
    const CNetGame::Phase phase = game.GetPhase();
    return !synced || phase == CNetGame::Phase::stopped ||
           (phase != CNetGame::Phase::playing && phase != CNetGame::Phase::finished);
}

std::string CNetworkSeat::WaitingText() const {
    if (!IsWaiting()) {
        return std::string();
    }
    std::string text = game.GetStatus().empty() ? "receiving the game" : game.GetStatus();
    if (game.GetPhase() == CNetGame::Phase::stopped) {
        return text + "\nEscape: leave the game";
    }
    return text + (quitAsked ? "\nEscape again ends the game; its log keeps it" : "\nEscape: end the game");
}

void CNetworkSeat::ShowSeat(CBattleView& view, const std::string& localLine) const {
    view.SetWaiting(WaitingText());
    const CMatch* match = game.GetMatch();
    if (IsWaiting() || match == nullptr) {
        view.SetOtherSeat("Waiting for the network");
    } else if (match->GetCurrentTeam() != game.GetLocalTeam() || !incoming.empty()) {
        view.SetOtherSeat("Playing at the other computer");
    } else {
        view.SetOtherSeat(localLine);
    }
}

bool CNetworkSeat::ConfirmQuit() {
    if (!IsWaiting() || quitAsked || game.GetPhase() == CNetGame::Phase::stopped) {
        return true;
    }
    quitAsked = true;
    return false;
}

void CNetworkSeat::Close() {
    game.Quit();
    game.Linger(closeLingerMs);
}

std::string CNetworkSeat::PeerSeatText() const {
    return address.empty() ? "network" : "network " + address;
}
