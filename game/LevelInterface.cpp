// CLevel: the heads-up display. Its messages and buttons answer the
// commands, and each frame it is handed a record of what to show, filled
// here from the rules, the units, the grid and the terrain types.
#include "core/FrameContext.h"
#include "core/Options.h"
#include "game/GridManager.h"
#include "game/Level.h"
#include "game/TerrainTypes.h"
#include "game/UnitManager.h"
#include "ui/Interface.h"

bool CLevel::IsMessageRunning() const {
    return interface && interface->IsMessageRunning();
}

bool CLevel::IsEndTurnHovered() const {
    return interface && interface->IsEndTurnHovered();
}

bool CLevel::IsFinishButtonHovered() const {
    return interface && interface->IsFinishButtonHovered();
}

void CLevel::StartTurnMessage() {
    if (interface) {
        interface->ShowMessage(CInterface::messageTurn, GetCurrentTeam());
    }
}

void CLevel::ShowAttackMessage(AttackMessage message) {
    if (interface) {
        interface->ShowMessage(message == AttackMessage::goodAttack ? CInterface::messageGoodAttack
                                                                    : CInterface::messageWeakAttack,
                               GetCurrentTeam());
    }
}

void CLevel::SetFinished() {
    if (interface) {
        interface->SetFinished();
    }
}

void CLevel::UpdateHover(int mouseX, int mouseY) {
    if (interface) {
        interface->UpdateHover(mouseX, mouseY, GetWindowWidth(), GetWindowHeight());
    }
}

// The debug lines about units; recorded only while debug info is on.
void CLevel::ShowUnitDescription(int unit) {
    if (!GetOptions().debugInfo || !FillHudState()) {
        return;
    }
    CInterface::ReportUnitUnderCursor(unit, hudState, [](const char* line) { AddDebugLine("%s", line); });
}

void CLevel::DrawInterface() {
    if (interface && FillHudState()) {
        interface->Draw(hudState);
    }
}

bool CLevel::FillHudState() {
    if (!units || !grid || !terrainTypes || !rules) {
        return false;
    }
    CHudState&       state           = hudState;
    const Tile&      tile            = grid->GetTile(activeX, activeY);
    const Selection& chosen          = GetSelection();
    state.currentTeam                = GetCurrentTeam();
    state.activeX                    = activeX;
    state.activeY                    = activeY;
    state.activeTile.unit            = tile.unit;
    state.activeTile.terrainName     = terrainTypes->GetName(tile.terrainType).c_str();
    state.activeTile.terrainAttack   = terrainTypes->GetAttack(tile.terrainType);
    state.activeTile.terrainDefense  = terrainTypes->GetDefense(tile.terrainType);
    state.activeTile.terrainMovement = terrainTypes->GetMovement(tile.terrainType);
    state.activeTile.slopeDegrees    = tile.slopeDegrees;
    state.activeTile.height          = tile.height;
    state.selectedUnit               = chosen.selectedUnit;
    state.selectedX                  = chosen.currentX;
    state.selectedY                  = chosen.currentY;
    state.units.resize(static_cast<size_t>(units->GetCount()));
    for (int index = 0; index < units->GetCount(); ++index) {
        const CUnit& unit    = *units->GetUnitByIndex(index);
        CHudUnit&    shown   = state.units[static_cast<size_t>(index)];
        shown.name           = unit.name.c_str();
        shown.team           = unit.team;
        shown.hitpoints      = unit.hitpoints;
        shown.maxHitpoints   = unit.maxHitpoints;
        shown.attack         = unit.attack;
        shown.defense        = unit.defense;
        shown.movement       = unit.movement;
        shown.fireMin        = unit.fireMin;
        shown.fireMax        = unit.fireMax;
        shown.boostAttack    = unit.boostAttack;
        shown.boostDefense   = unit.boostDefense;
        shown.boostMovement  = unit.boostMovement;
        shown.boostFirerange = unit.boostFirerange;
        shown.isHeadquarter  = unit.isHeadquarter;
    }
    for (int team = 1; team <= CUnitManager::teamCount; ++team) {
        state.startHitpoints[team - 1] = units->GetStartHitpoints(team);
    }
    state.maxHitpoints    = units->GetMaxHitpoints();
    state.frameTime       = GetFrameTime();
    state.framesPerSecond = state.frameTime > 0.0f ? 1.0f / state.frameTime : 0.0f;
    state.options         = GetOptions();
    FillAttackPreview();
    return true;
}

// In fire mode, with the pointer on a unit the selected unit may fire at,
// what the shot would do, as the rules work it out.
void CLevel::FillAttackPreview() {
    const CShotPreview shot        = rules->PreviewShot(activeX, activeY);
    CAttackPreview&    preview     = hudState.preview;
    preview                        = CAttackPreview();
    preview.kind                   = shot.kind == CShotPreview::attack  ? CAttackPreview::attack
                                     : shot.kind == CShotPreview::boost ? CAttackPreview::boost
                                                                        : CAttackPreview::none;
    preview.attacker               = shot.shooter;
    preview.target                 = shot.target;
    preview.damageToAttacker       = shot.exchange.damageToAttacker;
    preview.damageToTarget         = shot.exchange.damageToDefender;
    preview.attackerHitpointsAfter = shot.shooterHitpointsAfter;
    preview.targetHitpointsAfter   = shot.targetHitpointsAfter;
    preview.boostAttack            = shot.boostAttack;
    preview.boostDefense           = shot.boostDefense;
    preview.boostMovement          = shot.boostMovement;
    preview.boostFirerange         = shot.boostFirerange;
}
