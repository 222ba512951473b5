// CBattleView: the player's input turned into commands, and what the match
// reports turned into walks, effects and messages.
#include "core/Heightmap.h"
#include "core/Options.h"
#include "fx/ParticleSystem.h"
#include "render/Terrain.h"
#include "view/BattleView.h"
#include "view/UnitFigures.h"

namespace {

// The finishing fireworks stand over the middle of the map.
const CVector3 gameOverEffectPosition(1024.0f, 200.0f, 1024.0f);

} // namespace

bool CBattleView::IsInspecting() {
    const CAppOptions& options = GetOptions();
    return options.debugInfo || options.editorMode;
}

bool CBattleView::IsAnimating() const {
    return (figures && figures->IsAnyWalking()) || IsMessageRunning();
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
    if (IsEndTurnHovered() && !IsInspecting()) {
        EndTurn();
        return;
    }
    if (IsMessageRunning() && !IsInspecting()) {
        return;
    }
    if (selection.unit == -1) {
        const int    unit  = match->GetBoard().GetTile(activeX, activeY).unit;
        const CUnit* state = match->GetUnit(unit);
        if (state != nullptr && !state->done && state->team == match->GetCurrentTeam()) {
            Select(unit);
        }
        return;
    }
    if (!figures->IsWalking(selection.unit)) {
        ClickWithSelection(activeX, activeY);
    }
}

// In move mode a click drives there, or on the unit itself enters fire mode;
// in fire mode a click fires, or on the unit itself ends its action.
void CBattleView::ClickWithSelection(int x, int y) {
    const int    unit   = selection.unit;
    const CUnit& state  = *match->GetUnit(unit);
    const bool   onUnit = x == state.tileX && y == state.tileY;
    if (!selection.fireMode) {
        if (onUnit) {
            EnterFireMode();
        } else if (Submit(CCommand::Move(unit, x, y)).Accepted()) {
            match->FillMoveArea(unit, selection.moveArea);
        }
        return;
    }
    const CCommand command = onUnit ? CCommand::Finish(unit) : CCommand::Fire(unit, x, y);
    if (selection.unit == unit && Submit(command).Accepted()) {
        Deselect();
    }
}

void CBattleView::OnCancel() {
    if (!match || (IsMessageRunning() && !IsInspecting()) || selection.unit == -1 ||
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

// Space ends the turn when nothing is selected, even while a message runs.
void CBattleView::OnFireMode() {
    if (!match) {
        return;
    }
    if (selection.unit == -1) {
        EndTurn();
    } else if (!figures->IsWalking(selection.unit)) {
        EnterFireMode();
    }
}

void CBattleView::OnFinishUnit() {
    if (match && selection.unit != -1 && !selection.fireMode && !figures->IsWalking(selection.unit)) {
        if (Submit(CCommand::Finish(selection.unit)).Accepted()) {
            Deselect();
        }
    }
}

void CBattleView::EndTurn() {
    if (match && Submit(CCommand::EndTurn()).Accepted()) {
        Deselect();
    }
}

void CBattleView::Select(int unit) {
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
// (which waits for no running message and so gives way to the attack's),
// then the end of the game.
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
            ShowTurnMessage();
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
    if (!IsMessageRunning()) {
        StartTurnMessage();
    }
}
