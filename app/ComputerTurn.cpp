// CApplication: the computer's seat, played at a pace a person can follow.
#include "ai/ComputerPlayer.h"
#include "app/Application.h"
#include "app/NetworkSeat.h"
#include "app/Seats.h"
#include "core/Camera.h"
#include "rules/Command.h"
#include "view/BattleView.h"

namespace {

// Seconds between the end of what one command showed and the next command.
constexpr float computerPause = 0.8f;

std::string ComputerLine(const CComputerPlayer& player) {
    return std::string("Computer (") + CComputerPlayer::LevelName(player.GetLevel()) + ") - H: hurry";
}

} // namespace

void CApplication::PlayComputerSeat() {
    const CMatch*     match  = level->GetMatch();
    CComputerPlayer*  player = seats && match ? seats->ComputerToMove(*match) : nullptr;
    const std::string line   = player != nullptr ? ComputerLine(*player) : std::string();
    if (networkSeat) {
        networkSeat->ShowSeat(*level, line);
    } else if (!networkError.empty()) {
        level->SetWaiting(networkError + "\nEscape: leave the game");
        level->SetOtherSeat("No network game");
        return;
    } else {
        level->SetOtherSeat(line);
    }
    if (player == nullptr || (networkSeat && !networkSeat->CanMove())) {
        hurryComputer = false;
        computerWait  = computerPause;
        return;
    }
    if (level->IsAnimating()) {
        computerWait = computerPause;
        return;
    }
    computerWait -= GetFrameTime();
    if (computerWait > 0.0f && !hurryComputer) {
        return;
    }
    const int      team    = match->GetCurrentTeam();
    const CCommand command = player->ChooseCommand(*match);
    FocusCameraOn(command);
    level->Submit(command);
    computerWait = computerPause;
    if (match->IsGameOver() || match->GetCurrentTeam() != team) {
        hurryComputer = false;
    }
}

// The camera keeps its angle and height and moves over the tile the unit
// drives to or fires at.
void CApplication::FocusCameraOn(const CCommand& command) {
    if (!camera || level->GetGrid() == nullptr || (command.kind != CCommand::move && command.kind != CCommand::fire)) {
        return;
    }
    float x = 0.0f, z = 0.0f;
    level->GetGrid()->GetTileCentre(command.x, command.y, x, z);
    const CVector3 center(x, camera->GroundHeight(x, z), z);
    const CVector3 offset = camera->GetEye() - camera->GetCenter();
    camera->SetPosition(center + offset, center, camera->GetUp());
}
