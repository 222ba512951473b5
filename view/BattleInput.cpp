// CBattleView: the player's input turned into commands, and what the match
// reports turned into walks, effects and messages.
#include "core/Heightmap.h"
#include "core/Options.h"
#include "fx/ParticleSystem.h"
#include "render/Terrain.h"
#include "view/BattleView.h"
#include "view/TeamView.h"
#include "view/UnitFigures.h"

#include <algorithm>
#include <string>

namespace {

// The finishing fireworks stand over the middle of the map.
const CVector3 gameOverEffectPosition(1024.0f, 200.0f, 1024.0f);

// Seconds a notice stays; it fades out over the last of them.
constexpr float noticeTime = 4.0f;

} // namespace

bool CBattleView::IsInspecting() {
    const CAppOptions& options = GetOptions();
    return options.debugInfo || options.editorMode;
}

bool CBattleView::IsAnimating() const {
    return (figures && figures->IsAnyWalking()) || IsMessageRunning() || turnPending;
}

void CBattleView::OnPointerMoved(int mouseX, int mouseY) {
    UpdateHover(mouseX, mouseY);
    if (!terrain) {
        return;
    }
    terrain->PickTile(mouseX, mouseY, activeX, activeY);
    if (gameOverEffect != -1 && heightmap && particles) {
        const float x = terrain->GetPickX(), z = terrain->GetPickZ();
        particles->SetEmitterPosition(gameOverEffect, x, heightmap->HeightAt(x, z), z);
    }
}

void CBattleView::OnClick() {
    if (!match) {
        return;
    }
    if (match->IsGameOver()) {
        quitRequested = quitRequested || IsFinishButtonHovered();
        return;
    }
    if (!otherSeat.empty()) {
        return;
    }
    if (IsEndTurnHovered() && !IsInspecting()) {
        EndTurn();
        return;
    }
    ClickTile(activeX, activeY);
}

void CBattleView::ClickTile(int x, int y) {
    if (!match || match->IsGameOver() || (IsMessageRunning() && !IsInspecting())) {
        return;
    }
    if (selection.unit != -1) {
        if (!figures->IsWalking(selection.unit)) {
            ClickWithSelection(x, y);
        }
        return;
    }
    const int unit = match->GetBoard().GetTile(x, y).unit;
    if (unit == -1) {
        return;
    }
    // Whether the unit could act now is what ending its action would be asked.
    const Refusal refusal = match->Check(CCommand::Finish(unit));
    if (refusal == Refusal::none) {
        Select(unit);
    } else {
        Refuse(refusal);
    }
}

// In move mode a click drives there, or on the unit itself enters fire mode;
// in fire mode a click fires, or on the unit itself ends its action. A click
// on another unit of the team that the selected one cannot drive to or act
// on selects that unit, while the selected one has not moved.
void CBattleView::ClickWithSelection(int x, int y) {
    const int    unit   = selection.unit;
    const CUnit& state  = *match->GetUnit(unit);
    const bool   onUnit = x == state.tileX && y == state.tileY;
    if (!selection.fireMode && onUnit) {
        EnterFireMode();
        return;
    }
    const CCommand command = !selection.fireMode ? CCommand::Move(unit, x, y)
                             : onUnit            ? CCommand::Finish(unit)
                                                 : CCommand::Fire(unit, x, y);
    const Refusal  refusal = match->Check(command);
    const int      other   = onUnit ? -1 : match->GetBoard().GetTile(x, y).unit;
    const CUnit*   mate    = match->GetUnit(other);
    if (refusal != Refusal::none && mate != nullptr && other != unit && mate->team == state.team) {
        const Refusal switching = match->Check(CCommand::Finish(other));
        if (switching == Refusal::none) {
            Select(other);
        } else {
            Refuse(switching);
        }
        return;
    }
    const CApplyResult result = Submit(command);
    if (!result.Accepted()) {
        Refuse(result.refusal);
    } else if (command.kind == CCommand::move) {
        match->FillMoveArea(unit, selection.moveArea);
    } else {
        Deselect();
    }
}

void CBattleView::OnCancel() {
    if (!match || !otherSeat.empty() || (IsMessageRunning() && !IsInspecting()) || selection.unit == -1 ||
        figures->IsWalking(selection.unit)) {
        return;
    }
    if (selection.fireMode) {
        selection.fireMode = false;
        return;
    }
    const int unit = selection.unit;
    Deselect();
    if (match->GetMovedUnit() == unit) {
        Submit(CCommand::Undo(unit));
    }
}

// Space ends the turn when nothing is selected.
void CBattleView::OnFireMode() {
    if (!match || !otherSeat.empty()) {
        return;
    }
    if (selection.unit == -1) {
        EndTurn();
    } else if (!figures->IsWalking(selection.unit)) {
        EnterFireMode();
    }
}

void CBattleView::OnFinishUnit() {
    if (match && otherSeat.empty() && selection.unit != -1 && !selection.fireMode &&
        !figures->IsWalking(selection.unit)) {
        if (Submit(CCommand::Finish(selection.unit)).Accepted()) {
            Deselect();
        }
    }
}

// A turn is never ended while a message runs: the message would name a team
// no longer to move, and a second tap meant for the first turn would end
// the next. Units still ready make the first press a question.
void CBattleView::EndTurn() {
    if (!match || !otherSeat.empty() || match->IsGameOver() ||
        ((IsMessageRunning() || turnPending) && !IsInspecting())) {
        return;
    }
    const int ready = match->CountReadyUnits(match->GetCurrentTeam());
    if (ready > 0 && endTurnAsked != match->GetTurn()) {
        endTurnAsked = match->GetTurn();
        SetNotice(std::to_string(ready) + (ready == 1 ? " unit" : " units") + " ready: press again to end the turn");
        return;
    }
    if (Submit(CCommand::EndTurn()).Accepted()) {
        Deselect();
    }
}

void CBattleView::Refuse(Refusal refusal) {
    if (refusal != Refusal::none) {
        SetNotice(RefusalText(refusal));
    }
}

void CBattleView::SetNotice(const std::string& text) {
    notice        = text;
    noticeSeconds = noticeTime;
}

// A new selection answers what the notice said.
void CBattleView::Select(int unit) {
    endTurnAsked = -1;
    notice.clear();
    selection.unit     = unit;
    selection.fireMode = false;
    match->FillMoveArea(unit, selection.moveArea);
    selection.fireArea.Clear();
}

void CBattleView::Deselect() {
    selection = CBattleSelection();
}

void CBattleView::EnterFireMode() {
    selection.fireMode = true;
    match->FillFireArea(selection.unit, selection.fireArea);
}

CApplyResult CBattleView::Submit(const CCommand& command) {
    if (!match) {
        CApplyResult refused;
        refused.refusal = Refusal::gameOver;
        return refused;
    }
    CApplyResult result = match->Apply(command);
    lastRefusal         = result.refusal;
    if (!result.Accepted()) {
        return result;
    }
    // What was said about the state before no longer holds.
    endTurnAsked = -1;
    notice.clear();
    if (commandObserver) {
        commandObserver(command, *match);
    }
    // A command from another seat may end or act with the unit selected here.
    const CUnit* selected = match->GetUnit(selection.unit);
    if (selected != nullptr &&
        (selected->done || selected->hitpoints <= 0 || selected->team != match->GetCurrentTeam())) {
        Deselect();
    }
    Present(result.events);
    return result;
}

// In the order things happened: an attack's message, then the next turn's
// (announced once the attack's has run), then the end of the game.
void CBattleView::Present(const std::vector<CMatchEvent>& events) {
    for (const CMatchEvent& event : events) {
        switch (event.kind) {
        case CMatchEvent::moved:
            figures->StartWalk(event.unit, event.path);
            break;
        case CMatchEvent::attacked: {
            const AttackMessage message = figures->ShowAttack(event.unit, event.target, event.exchange);
            if (message != AttackMessage::none) {
                ShowAttackMessage(message);
            }
            break;
        }
        case CMatchEvent::boosted:
            figures->ShowBoost(event.unit, event.target);
            break;
        case CMatchEvent::destroyed:
            figures->ShowDestroyed(event.unit);
            break;
        case CMatchEvent::unitFinished:
            break;
        case CMatchEvent::turnStarted:
            figures->EndBoosts(event.team);
            turnPending = true;
            break;
        case CMatchEvent::gameOver:
            SetFinished();
            if (gameOverEffect == -1 && particles) {
                gameOverEffect = particles->LoadEmitter(gameOverEffectName, gameOverEffectPosition);
            }
            break;
        }
    }
}

void CBattleView::ShowTurnMessage() {
    turnPending = match != nullptr;
}

void CBattleView::UpdateAnnouncements(float frameTime) {
    if (turnPending && !IsMessageRunning() && match && !match->IsGameOver()) {
        turnPending = false;
        teamViewDue = true;
        StartTurnMessage();
    }
    noticeSeconds = std::max(noticeSeconds - frameTime, 0.0f);
    if (noticeSeconds <= 0.0f) {
        notice.clear();
    }
}

bool CBattleView::TakeTeamView(CVector3& eye, CVector3& center) {
    const bool due = teamViewDue;
    teamViewDue    = false;
    return due && match && CTeamView::Of(*match, match->GetCurrentTeam(), eye, center);
}
