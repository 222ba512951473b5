// CBattleView: the heads-up display. Its messages and buttons answer the
// commands, and each frame it is handed a record of what to show, filled
// here from the match and the terrain types.
#include "core/FrameContext.h"
#include "core/Options.h"
#include "rules/GridManager.h"
#include "rules/TerrainTypes.h"
#include "ui/Interface.h"
#include "view/BattleView.h"
#include "view/UnitFigures.h"

#include <algorithm>

namespace {

// The notice fades out over its last second.
constexpr float noticeFade = 1.0f;

} // namespace

bool CBattleView::IsMessageRunning() const {
    return interface && interface->IsMessageRunning();
}

bool CBattleView::IsEndTurnHovered() const {
    return interface && interface->IsEndTurnHovered();
}

bool CBattleView::IsFinishButtonHovered() const {
    return interface && interface->IsFinishButtonHovered();
}

void CBattleView::StartTurnMessage() {
    if (interface) {
        interface->ShowMessage(CInterface::messageTurn, GetCurrentTeam());
    }
}

void CBattleView::ShowAttackMessage(AttackMessage message) {
    if (interface) {
        interface->ShowMessage(message == AttackMessage::goodAttack ? CInterface::messageGoodAttack
                                                                    : CInterface::messageWeakAttack,
                               GetCurrentTeam());
    }
}

void CBattleView::SetFinished() {
    if (interface) {
        interface->SetFinished();
    }
}

void CBattleView::UpdateHover(int mouseX, int mouseY) {
    if (interface) {
        interface->UpdateHover(mouseX, mouseY, GetWindowWidth(), GetWindowHeight());
    }
}

// The debug lines about units; recorded only while debug info is on.
void CBattleView::ShowUnitDescription(int unit) {
    if (!GetOptions().debugInfo || !FillHudState()) {
        return;
    }
    CInterface::ReportUnitUnderCursor(unit, hudState, [](const char* line) { AddDebugLine("%s", line); });
}

void CBattleView::DrawInterface() {
    if (interface && FillHudState()) {
        interface->Draw(hudState);
    }
}

bool CBattleView::FillHudState() {
    if (!match || !terrainTypes) {
        return false;
    }
    CHudState&        state          = hudState;
    const CBoardTile& tile           = match->GetBoard().GetTile(activeX, activeY);
    const CUnit*      chosen         = match->GetUnit(selection.unit);
    state.currentTeam                = GetCurrentTeam();
    state.otherSeat                  = otherSeat.empty() ? nullptr : otherSeat.c_str();
    state.waiting                    = waiting.empty() ? nullptr : waiting.c_str();
    state.activeX                    = activeX;
    state.activeY                    = activeY;
    state.activeTile.unit            = tile.unit;
    state.activeTile.terrainName     = terrainTypes->GetName(tile.terrainType).c_str();
    state.activeTile.terrainAttack   = terrainTypes->GetAttack(tile.terrainType);
    state.activeTile.terrainDefense  = terrainTypes->GetDefense(tile.terrainType);
    state.activeTile.terrainMovement = terrainTypes->GetMovement(tile.terrainType);
    state.activeTile.slopeDegrees    = tile.slopeDegrees;
    state.activeTile.height          = tile.height;
    state.selectedUnit               = chosen != nullptr ? selection.unit : -1;
    state.selectedX                  = chosen != nullptr ? chosen->tileX : -1;
    state.selectedY                  = chosen != nullptr ? chosen->tileY : -1;
    state.units.resize(static_cast<size_t>(match->GetUnitCount()));
    for (int index = 0; index < match->GetUnitCount(); ++index) {
        const CUnit& unit    = *match->GetUnit(index);
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
    for (int team = 1; team <= CMatch::teamCount; ++team) {
        state.startHitpoints[team - 1] = match->GetStartHitpoints(team);
    }
    state.maxHitpoints    = match->GetMaxHitpoints();
    state.frameTime       = GetFrameTime() * timeScale; // messages run at the replay's pace
    state.framesPerSecond = GetFrameTime() > 0.0f ? 1.0f / GetFrameTime() : 0.0f;
    state.options         = GetOptions();
    state.notice          = notice.c_str();
    state.noticeAlpha     = std::min(noticeSeconds / noticeFade, 1.0f);
    state.showHelp        = helpShown;
    FillAttackPreview();
    return true;
}

// In fire mode, with the pointer on a unit the selected unit may fire at,
// what the shot would do, as the rules work it out.
void CBattleView::FillAttackPreview() {
    const bool         aiming      = selection.fireMode && !figures->IsWalking(selection.unit);
    const CShotPreview shot        = aiming ? match->PreviewShot(selection.unit, activeX, activeY) : CShotPreview();
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
