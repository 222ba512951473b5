#include "game/GameRules.h"

#include <cstdio>

#include "core/Logger.h"
#include "game/GridManager.h"
#include "game/TeamFile.h"
#include "game/UnitManager.h"

namespace {

std::string LevelPath(const std::string& levelName, const char* file) {
    char path[1024];
    snprintf(path, sizeof path, "%s\\%s", levelName.c_str(), file);
    return path;
}

} // namespace

CGameRules::CGameRules(CGridManager& gridValue, CUnitManager& unitsValue, int firstTeam)
    : grid(gridValue), units(unitsValue), currentTeam(firstTeam == 2 ? 2 : 1) {}

// ---- teams ----

bool CGameRules::LoadTeams(const std::string& levelName) {
    for (int team = 1; team <= CUnitManager::teamCount; ++team) {
        char fileName[32];
        snprintf(fileName, sizeof fileName, "team%d.xml", team);
        CTeamFile teamFile;
        if (!teamFile.Load(LevelPath(levelName, fileName).c_str())) {
            return false;
        }
        for (const CTeamEntry& entry : teamFile.GetEntries()) {
            PlaceTeamUnit(team, entry, teamFile.GetEffectSpecial());
        }
    }
    units.LoadFightParams(LevelPath(levelName, "fight.xml").c_str());
    return AreTeamsPlayable(levelName);
}

// A team without a unit that can fight has lost before the first command,
// which makes a game that is won at once; the player is told which team file
// leaves no game to play.
bool CGameRules::AreTeamsPlayable(const std::string& levelName) const {
    bool playable = true;
    for (int team = 1; team <= CUnitManager::teamCount; ++team) {
        if (units.CountLivingUnits(team) > 0) {
            continue;
        }
        char fileName[32];
        snprintf(fileName, sizeof fileName, "team%d.xml", team);
        GetLogger()->LogError("CGameRules::LoadTeams: %s gives team %d no unit that can fight; no game can be played",
                              LevelPath(levelName, fileName).c_str(), team);
        playable = false;
    }
    return playable;
}

// An entry off the board or on a tile that already holds a unit would leave
// a unit outside the grid or hide another one from every rule, so it is
// skipped (and logged) before anything is loaded for it.
void CGameRules::PlaceTeamUnit(int team, const CTeamEntry& entry, const std::string& effectSpecial) {
    const int x = entry.positionX, y = entry.positionY;
    if (!CGridManager::IsInside(x, y)) {
        GetLogger()->LogError("team %d: unit %s at tile (%d, %d) lies outside the board; skipped", team,
                              entry.fileName.c_str(), x, y);
        return;
    }
    if (grid.GetTile(x, y).unit != -1) {
        GetLogger()->LogError("team %d: unit %s at tile (%d, %d) stands on unit %d; skipped", team,
                              entry.fileName.c_str(), x, y, grid.GetTile(x, y).unit);
        return;
    }
    char unitPath[CTeamFile::maxFileNameLength + 16];
    snprintf(unitPath, sizeof unitPath, "units\\%s", entry.fileName.c_str());
    const int index = units.LoadUnit(unitPath);
    if (index < 0) {
        return;
    }
    units.AssignTeam(index, team);
    units.PlaceUnit(index, x, y);
    units.FaceTile(index, x + entry.lookX, y + entry.lookY);
    units.SetEffectSpecial(index, effectSpecial.c_str());
    grid.SetTileUnit(x, y, index);
    if (!units.IsHeadquarter(index)) {
        units.TiltUnit(index, x - entry.lookX, y - entry.lookY, x, y);
    }
}

CCommandOutcome CGameRules::StartGame() {
    CCommandOutcome outcome;
    if (gameState == gamePlaying) {
        CheckGameOver(outcome);
    }
    return outcome;
}

// ---- commands ----

CCommandOutcome CGameRules::Apply(const CCommand& command) {
    CCommandOutcome outcome;
    if (gameState == gameFinished) {
        return outcome;
    }
    switch (command.kind) {
    case CommandKind::click:
        OnClick(command.x, command.y, outcome);
        break;
    case CommandKind::cancel:
        OnCancel();
        break;
    case CommandKind::fireMode:
        if (selection.selectedUnit == -1) {
            EndTurn(outcome);
        } else {
            EnterFireMode();
        }
        break;
    case CommandKind::finishUnit:
        FinishUnit(outcome);
        break;
    case CommandKind::endTurn:
        EndTurn(outcome);
        break;
    }
    return outcome;
}

void CGameRules::Update(float frameTime) {
    units.UpdateUnits(frameTime);
}

void CGameRules::OnClick(int x, int y, CCommandOutcome& outcome) {
    const int selected = selection.selectedUnit;
    if (selected == -1) {
        const int unit = grid.GetTile(x, y).unit;
        if (unit != -1 && !units.IsDone(unit) && units.GetTeam(unit) == currentTeam) {
            Select(unit, x, y);
        }
        return;
    }
    if (units.IsMoving(selected)) {
        return;
    }
    if (unitMode == unitModeMove) {
        ClickInMoveMode(x, y);
    } else {
        ClickInFireMode(x, y, outcome);
    }
}

void CGameRules::Select(int unit, int x, int y) {
    selection.selectedUnit = unit;
    selection.originX = selection.currentX = x;
    selection.originY = selection.currentY = y;
    unitMode                               = unitModeMove;
    selection.currentHeight                = grid.GetTile(x, y).height;
    selection.moveRange                    = units.GetEffectiveMovement(unit);
    selection.fireMax                      = units.GetEffectiveFireMax(unit);
    selection.fireMin                      = units.GetFireMin(unit);
    ComputeMoveArea();
}

// A tile the path search cannot reach leaves the unit, and the selection,
// where they are.
void CGameRules::ClickInMoveMode(int x, int y) {
    if (!selection.moveArea.Contains(x, y)) {
        return;
    }
    if (x == selection.currentX && y == selection.currentY) {
        EnterFireMode();
        return;
    }
    if (!units.MoveUnit(selection.selectedUnit, x, y)) {
        return;
    }
    selection.currentX      = x;
    selection.currentY      = y;
    selection.currentHeight = grid.GetTile(x, y).height;
    ComputeMoveArea();
}

// A unit never fires at itself: after a tentative move its origin tile,
// still its own in the grid, may lie in its fire ring.
void CGameRules::ClickInFireMode(int x, int y, CCommandOutcome& outcome) {
    const int shooter = selection.selectedUnit;
    if (x == selection.currentX && y == selection.currentY) {
        unitMode = unitModeMove;
        FinishUnit(outcome);
        return;
    }
    const int target = TargetAt(x, y);
    if (target == -1) {
        return;
    }
    outcome.attackMessage       = units.Attack(shooter, target);
    const bool shooterDestroyed = units.GetHitpoints(shooter) <= 0;
    if (shooterDestroyed) {
        grid.SetTileUnit(selection.originX, selection.originY, -1);
        Deselect();
    }
    if (units.GetHitpoints(target) <= 0) {
        grid.SetTileUnit(x, y, -1);
    }
    if (shooterDestroyed) {
        CheckGameOver(outcome);
        return;
    }
    unitMode = unitModeMove;
    FinishUnit(outcome);
}

int CGameRules::TargetAt(int x, int y) const {
    const int shooter = selection.selectedUnit;
    if (!selection.fireArea.Contains(x, y)) {
        return -1;
    }
    const int target = grid.GetTile(x, y).unit;
    if (target == -1 || target == shooter) {
        return -1;
    }
    if (units.GetTeam(shooter) == units.GetTeam(target) && !units.IsGeneral(shooter)) {
        return -1;
    }
    return target;
}

CShotPreview CGameRules::PreviewShot(int x, int y) const {
    CShotPreview preview;
    const int    shooter = selection.selectedUnit;
    if (gameState != gamePlaying || unitMode != unitModeFire || shooter == -1 || units.IsMoving(shooter) ||
        (x == selection.currentX && y == selection.currentY)) {
        return preview;
    }
    const int target = TargetAt(x, y);
    if (target == -1) {
        return preview;
    }
    preview.shooter = shooter;
    preview.target  = target;
    if (units.GetTeam(shooter) != units.GetTeam(target)) {
        preview.kind     = CShotPreview::attack;
        preview.exchange = units.ComputeExchange(shooter, target);
        preview.shooterHitpointsAfter =
            Combat::ApplyDamage(units.GetHitpoints(shooter), preview.exchange.damageToAttacker);
        preview.targetHitpointsAfter =
            Combat::ApplyDamage(units.GetHitpoints(target), preview.exchange.damageToDefender);
    } else {
        preview.kind           = CShotPreview::boost;
        preview.boostAttack    = units.GetBonusAttack(target);
        preview.boostDefense   = units.GetBonusDefense(target);
        preview.boostMovement  = units.GetBonusMovement(target);
        preview.boostFirerange = units.GetBonusFirerange(target);
    }
    return preview;
}

void CGameRules::OnCancel() {
    const int selected = selection.selectedUnit;
    if (selected == -1 || units.IsMoving(selected)) {
        return;
    }
    if (unitMode == unitModeMove) {
        ReturnToOrigin(selected);
        Deselect();
    } else {
        unitMode = unitModeMove;
    }
}

// The unit walks back to its origin. Should no path lead there (its origin
// may be a tile it could never enter), it is put back at once, so the
// model never stands elsewhere than the grid says.
void CGameRules::ReturnToOrigin(int unit) {
    if (!units.MoveUnit(unit, selection.originX, selection.originY)) {
        units.PlaceUnit(unit, selection.originX, selection.originY);
    }
}

void CGameRules::EnterFireMode() {
    if (selection.selectedUnit != -1 && !units.IsMoving(selection.selectedUnit)) {
        unitMode = unitModeFire;
        ComputeFireArea();
    }
}

void CGameRules::FinishUnit(CCommandOutcome& outcome) {
    const int selected = selection.selectedUnit;
    if (gameState == gameFinished || selected == -1 || unitMode != unitModeMove || units.IsMoving(selected)) {
        return;
    }
    grid.SetTileUnit(selection.originX, selection.originY, -1);
    grid.SetTileUnit(selection.currentX, selection.currentY, selected);
    units.SetDone(selected, true);
    Deselect();
    CheckGameOver(outcome);
}

void CGameRules::EndTurn(CCommandOutcome& outcome) {
    if (selection.selectedUnit != -1) {
        ReturnToOrigin(selection.selectedUnit);
        Deselect();
    }
    for (int unit = 0; unit < units.GetCount(); ++unit) {
        if (units.GetTeam(unit) == currentTeam) {
            units.SetDone(unit, false);
        }
    }
    currentTeam = OtherTeam(currentTeam);
    units.StartTeamTurn(currentTeam);
    outcome.turnStarted = true;
}

// The other team is tested first, so when both have lost the current team wins.
void CGameRules::CheckGameOver(CCommandOutcome& outcome) {
    const int other = OtherTeam(currentTeam);
    if (!units.HasTeamLost(other)) {
        if (!units.HasTeamLost(currentTeam)) {
            if (units.CountReadyUnits(currentTeam) == 0) {
                EndTurn(outcome);
            }
            return;
        }
        currentTeam = other; // the winner
    }
    gameState        = gameFinished;
    outcome.gameOver = true;
}

void CGameRules::ComputeMoveArea() {
    const int unit = selection.selectedUnit;
    selection.moveArea.FillMoveArea(selection.originX, selection.originY, selection.moveRange,
                                    [this, unit](int x, int y) { return units.IsTilePassable(unit, x, y); });
}

void CGameRules::ComputeFireArea() {
    selection.fireArea.FillFireArea(selection.currentX, selection.currentY, selection.fireMin, selection.fireMax);
}

void CGameRules::Deselect() {
    selection.selectedUnit  = -1;
    selection.originX       = -1;
    selection.originY       = -1;
    selection.currentX      = -1;
    selection.currentY      = -1;
    selection.currentHeight = 0.0f;
    selection.moveRange     = 0;
    selection.fireMax       = 0;
    selection.fireMin       = 0;
    selection.moveArea.Clear();
    selection.fireArea.Clear();
    unitMode = unitModeNone;
}
