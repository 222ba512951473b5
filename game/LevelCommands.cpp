// CLevel: the input turned into commands for the rules, and what the rules
// report turned into messages and effects.
#include "app/Application.h"
#include "core/FrameContext.h"
#include "fx/ParticleSystem.h"
#include "core/Heightmap.h"
#include "game/Level.h"
#include "render/Terrain.h"

namespace {

// The finishing fireworks stand over the middle of the map.
const CVector3 gameOverEffectPosition(1024.0f, 200.0f, 1024.0f);

} // namespace

bool CLevel::IsInspecting() {
    const CAppOptions& options = GetOptions();
    return options.debugInfo || options.editorMode;
}

void CLevel::OnPointerMoved(int mouseX, int mouseY) {
    UpdateHover(mouseX, mouseY);
    if (!terrain) {
        return;
    }
    terrain->PickTile(mouseX, mouseY, activeX, activeY);
    if (gameOverEffect != -1 && heightmap) {
        const float x = terrain->GetPickX(), z = terrain->GetPickZ();
        MoveEffect(gameOverEffect, CVector3(x, heightmap->HeightAt(x, z), z));
    }
}

void CLevel::OnClick() {
    if (!rules) {
        return;
    }
    if (rules->IsGameOver()) {
        if (IsFinishButtonHovered()) {
            GetApp()->SetState(CApplication::stateQuitting);
        }
        return;
    }
    if (IsEndTurnHovered() && !IsInspecting()) {
        EndTurn();
        return;
    }
    if (IsMessageRunning() && !IsInspecting()) {
        return;
    }
    Execute({CommandKind::click, activeX, activeY});
}

void CLevel::OnCancel() {
    if (IsMessageRunning() && !IsInspecting()) {
        return;
    }
    Execute({CommandKind::cancel, activeX, activeY});
}

// Space ends the turn when nothing is selected, even while a message runs.
void CLevel::OnFireMode() {
    Execute({CommandKind::fireMode, activeX, activeY});
}

void CLevel::OnFinishUnit() {
    Execute({CommandKind::finishUnit, activeX, activeY});
}

void CLevel::EndTurn() {
    Execute({CommandKind::endTurn, activeX, activeY});
}

void CLevel::Execute(const CCommand& command) {
    if (rules) {
        Present(rules->Apply(command));
    }
}

// In the order things happened: an attack's message, then the next turn's
// (which waits for no running message and so gives way to the attack's),
// then the end of the game.
void CLevel::Present(const CCommandOutcome& outcome) {
    if (outcome.attackMessage != AttackMessage::none) {
        ShowAttackMessage(outcome.attackMessage);
    }
    if (outcome.turnStarted) {
        ShowTurnMessage();
    }
    if (outcome.gameOver) {
        SetFinished();
        if (gameOverEffect == -1) {
            gameOverEffect = SpawnEffect(gameOverEffectName, gameOverEffectPosition);
        }
    }
}

void CLevel::ShowTurnMessage() {
    if (!IsMessageRunning()) {
        StartTurnMessage();
    }
}

// ---- the particle system ----

// Updates and draws every emitter; the triangles count into the frame's polygons.
int CLevel::DrawParticles() {
    if (!particles) {
        return 0;
    }
    const int                  triangles = particles->UpdateAndDraw(GetFrameTime());
    const CParticleFrameStats& stats     = particles->GetFrameStats();
    AddDebugLine(CParticleSystem::debugLineFormat, stats.activeEmitters, stats.renderedParticles, stats.emitterSlots);
    return triangles;
}

int CLevel::SpawnEffect(const char* effectName, const CVector3& position) {
    return particles ? particles->LoadEmitter(effectName, position) : -1;
}

void CLevel::MoveEffect(int handle, const CVector3& position) {
    if (particles) {
        particles->SetEmitterPosition(handle, position.x, position.y, position.z);
    }
}
