// CMatch: the commands. Check decides whether a command applies; Apply
// carries out only what Check accepts, completely and at once.
#include "core/Logger.h"
#include "rules/Match.h"

namespace {

struct CRefusalText {
    Refusal     refusal;
    const char* text;
};

const CRefusalText refusalTexts[] = {
    {Refusal::none, ""},
    {Refusal::gameOver, "The game is over"},
    {Refusal::unknownUnit, "No such unit"},
    {Refusal::notYourUnit, "That unit belongs to the other team"},
    {Refusal::unitDestroyed, "That unit is destroyed"},
    {Refusal::unitDone, "That unit has acted this turn"},
    {Refusal::anotherUnitMoved, "Finish or take back the other unit's move first"},
    {Refusal::outsideBoard, "That tile lies off the board"},
    {Refusal::outsideMoveArea, "The unit cannot drive there this turn"},
    {Refusal::alreadyThere, "The unit stands there already"},
    {Refusal::noPath, "No way leads there"},
    {Refusal::nothingToUndo, "The unit has not moved"},
    {Refusal::outOfRange, "Out of fire range"},
    {Refusal::noTarget, "Nothing to fire at there"},
    {Refusal::ownTarget, "Only a general acts on its own side"},
    {Refusal::unknownCommand, "Unknown command"},
};

} // namespace

const char* RefusalText(Refusal refusal) {
    for (const CRefusalText& entry : refusalTexts) {
        if (entry.refusal == refusal) {
            return entry.text;
        }
    }
    return "";
}

// ---- checking ----

Refusal CMatch::CheckActor(int index) const {
    const CUnit* unit = GetUnit(index);
    if (unit == nullptr) {
        return Refusal::unknownUnit;
    }
    if (unit->team != currentTeam) {
        return Refusal::notYourUnit;
    }
    if (unit->hitpoints <= 0) {
        return Refusal::unitDestroyed;
    }
    if (unit->done) {
        return Refusal::unitDone;
    }
    if (movedUnit != -1 && movedUnit != index) {
        return Refusal::anotherUnitMoved;
    }
    return Refusal::none;
}

Refusal CMatch::CheckMove(const CCommand& command) const {
    const CUnit& unit = units[static_cast<size_t>(command.unit)];
    if (!CGridManager::IsInside(command.x, command.y)) {
        return Refusal::outsideBoard;
    }
    if (command.x == unit.tileX && command.y == unit.tileY) {
        return Refusal::alreadyThere;
    }
    CTileArea area;
    FillMoveArea(command.unit, area);
    if (!area.Contains(command.x, command.y)) {
        return Refusal::outsideMoveArea;
    }
    return FindPath(command.unit, command.x, command.y).empty() ? Refusal::noPath : Refusal::none;
}

// A unit never fires at itself: after a tentative move its origin tile,
// still its own on the board, may lie in its fire ring.
int CMatch::TargetAt(int shooter, int x, int y) const {
    const int target = board.GetTile(x, y).unit;
    return target == shooter ? -1 : target;
}

Refusal CMatch::CheckFire(const CCommand& command) const {
    const CUnit& unit = units[static_cast<size_t>(command.unit)];
    if (!CGridManager::IsInside(command.x, command.y)) {
        return Refusal::outsideBoard;
    }
    if (!CTileArea::IsInFireRing(unit.tileX, unit.tileY, unit.fireMin, GetEffectiveFireMax(command.unit), command.x,
                                 command.y)) {
        return Refusal::outOfRange;
    }
    const int target = TargetAt(command.unit, command.x, command.y);
    if (target == -1) {
        return Refusal::noTarget;
    }
    if (units[static_cast<size_t>(target)].team == unit.team && !unit.isGeneral) {
        return Refusal::ownTarget;
    }
    return Refusal::none;
}

Refusal CMatch::Check(const CCommand& command) const {
    if (gameState == gameFinished) {
        return Refusal::gameOver;
    }
    if (command.kind == CCommand::endTurn) {
        return Refusal::none;
    }
    const Refusal actor = CheckActor(command.unit);
    if (actor != Refusal::none) {
        return actor;
    }
    switch (command.kind) {
    case CCommand::move:
        return CheckMove(command);
    case CCommand::undo:
        return movedUnit == command.unit ? Refusal::none : Refusal::nothingToUndo;
    case CCommand::fire:
        return CheckFire(command);
    case CCommand::finish:
        return Refusal::none;
    default:
        return Refusal::unknownCommand;
    }
}

// ---- carrying out ----

CApplyResult CMatch::Apply(const CCommand& command) {
    CApplyResult result;
    result.refusal = Check(command);
    if (!result.Accepted()) {
        return result;
    }
    ++commandCount;
    switch (command.kind) {
    case CCommand::move:
        DoMove(command, result);
        break;
    case CCommand::undo:
        ReturnToOrigin(command.unit, result);
        break;
    case CCommand::fire:
        DoFire(command, result);
        break;
    case CCommand::finish:
        DoFinish(command.unit, result);
        break;
    case CCommand::endTurn:
        DoEndTurn(result);
        break;
    }
    return result;
}

void CMatch::DoMove(const CCommand& command, CApplyResult& result) {
    CUnit&      unit = units[static_cast<size_t>(command.unit)];
    CMatchEvent moved;
    moved.kind = CMatchEvent::moved;
    moved.unit = command.unit;
    moved.path = FindPath(command.unit, command.x, command.y);
    if (movedUnit == -1) {
        movedUnit = command.unit;
        originX   = unit.tileX;
        originY   = unit.tileY;
    }
    unit.tileX = command.x;
    unit.tileY = command.y;
    if (unit.tileX == originX && unit.tileY == originY) {
        movedUnit = -1;
        originX = originY = -1;
    }
    result.events.push_back(std::move(moved));
}

// The unit drives back to its origin. Should no path lead there (its origin
// may be a tile it could never enter), it is put back at once.
void CMatch::ReturnToOrigin(int index, CApplyResult& result) {
    CUnit&      unit = units[static_cast<size_t>(index)];
    CMatchEvent moved;
    moved.kind = CMatchEvent::moved;
    moved.unit = index;
    moved.path = FindPath(index, originX, originY);
    if (moved.path.empty()) {
        moved.path.emplace_back(originX, originY);
    }
    unit.tileX = originX;
    unit.tileY = originY;
    movedUnit  = -1;
    originX = originY = -1;
    result.events.push_back(std::move(moved));
}

void CMatch::DoFire(const CCommand& command, CApplyResult& result) {
    const int target = TargetAt(command.unit, command.x, command.y);
    if (units[static_cast<size_t>(target)].team == units[static_cast<size_t>(command.unit)].team) {
        DoBoost(command.unit, target, result);
    } else {
        DoAttack(command.unit, target, result);
    }
}

void CMatch::LogExchange(int attacker, int defender, const CCombatExchange& exchange) const {
    const CUnit& a      = units[static_cast<size_t>(attacker)];
    const CUnit& d      = units[static_cast<size_t>(defender)];
    CLogger&     logger = *GetLogger();
    logger.LogInfo("************* unit %d (team %d, hitpoints %d) attacks %d (team %d, hitpoints %d) ***********",
                   attacker, a.team, a.hitpoints, defender, d.team, d.hitpoints);
    logger.LogInfo("** slope (attacker->defender): %f, bonus attacker: %f, bonus defender: %f", exchange.slope,
                   exchange.bonusAttacker, exchange.bonusDefender);
    logger.LogInfo("** attacker attack: %f", exchange.attackerAttack);
    logger.LogInfo("** defender attack: %f", exchange.defenderAttack);
    logger.LogInfo("** attacker defend: %f", exchange.attackerDefend);
    logger.LogInfo("** defender defend: %f", exchange.defenderDefend);
}

// Both sides take their damage at once. A destroyed shooter leaves the board
// from where its turn began and its action is over; otherwise its action
// ends where it stands.
void CMatch::DoAttack(int shooter, int target, CApplyResult& result) {
    CMatchEvent attacked;
    attacked.kind     = CMatchEvent::attacked;
    attacked.unit     = shooter;
    attacked.target   = target;
    attacked.exchange = ComputeExchange(shooter, target);
    CUnit& a          = units[static_cast<size_t>(shooter)];
    CUnit& d          = units[static_cast<size_t>(target)];
    if (traceExchanges) {
        LogExchange(shooter, target, attacked.exchange);
    }
    a.hitpoints = Combat::ApplyDamage(a.hitpoints, attacked.exchange.damageToAttacker);
    d.hitpoints = Combat::ApplyDamage(d.hitpoints, attacked.exchange.damageToDefender);
    if (traceExchanges) {
        GetLogger()->LogInfo("*** unit %d has now %d hitpoints", shooter, a.hitpoints);
        GetLogger()->LogInfo("*** unit %d has now %d hitpoints", target, d.hitpoints);
        GetLogger()->LogInfo("%s", "");
    }
    result.events.push_back(std::move(attacked));
    RemoveIfDestroyed(target, result);
    if (a.hitpoints <= 0) {
        RemoveIfDestroyed(shooter, result);
        CheckGameOver(result);
        return;
    }
    DoFinish(shooter, result);
}

void CMatch::RemoveIfDestroyed(int index, CApplyResult& result) {
    const CUnit& unit = units[static_cast<size_t>(index)];
    if (unit.hitpoints > 0) {
        return;
    }
    const std::pair<int, int> boardTile = GetOrigin(index);
    board.SetTileUnit(boardTile.first, boardTile.second, -1);
    if (movedUnit == index) {
        movedUnit = -1;
        originX = originY = -1;
    }
    CMatchEvent destroyed;
    destroyed.kind = CMatchEvent::destroyed;
    destroyed.unit = index;
    result.events.push_back(std::move(destroyed));
}

// The boost values are set, never added: a second boost changes nothing.
void CMatch::DoBoost(int general, int target, CApplyResult& result) {
    CUnit& unit         = units[static_cast<size_t>(target)];
    unit.boostAttack    = unit.bonusAttack;
    unit.boostDefense   = unit.bonusDefense;
    unit.boostMovement  = unit.bonusMovement;
    unit.boostFirerange = unit.bonusFirerange;
    CMatchEvent boosted;
    boosted.kind   = CMatchEvent::boosted;
    boosted.unit   = general;
    boosted.target = target;
    result.events.push_back(std::move(boosted));
    DoFinish(general, result);
}

void CMatch::DoFinish(int index, CApplyResult& result) {
    CUnit&                    unit   = units[static_cast<size_t>(index)];
    const std::pair<int, int> origin = GetOrigin(index);
    board.SetTileUnit(origin.first, origin.second, -1);
    board.SetTileUnit(unit.tileX, unit.tileY, index);
    if (movedUnit == index) {
        movedUnit = -1;
        originX = originY = -1;
    }
    unit.done = true;
    CMatchEvent finished;
    finished.kind = CMatchEvent::unitFinished;
    finished.unit = index;
    result.events.push_back(std::move(finished));
    CheckGameOver(result);
}

// A tentative move is taken back; the team's units are ready again for its
// next turn, and the boosts of the team whose turn begins end.
void CMatch::DoEndTurn(CApplyResult& result) {
    if (movedUnit != -1) {
        ReturnToOrigin(movedUnit, result);
    }
    for (CUnit& unit : units) {
        if (unit.team == currentTeam) {
            unit.done = false;
        }
    }
    currentTeam = OtherTeam(currentTeam);
    ++turn;
    for (CUnit& unit : units) {
        if (unit.team == currentTeam) {
            unit.boostAttack = unit.boostDefense = unit.boostMovement = unit.boostFirerange = 0;
        }
    }
    CMatchEvent started;
    started.kind = CMatchEvent::turnStarted;
    started.team = currentTeam;
    result.events.push_back(std::move(started));
}

// The other team is tested first, so when both have lost the team to move
// wins. A team with no ready unit left hands over at once.
void CMatch::CheckGameOver(CApplyResult& result) {
    const int other = OtherTeam(currentTeam);
    if (!HasTeamLost(other)) {
        if (!HasTeamLost(currentTeam)) {
            if (CountReadyUnits(currentTeam) == 0) {
                DoEndTurn(result);
            }
            return;
        }
        currentTeam = other; // the winner
    }
    gameState = gameFinished;
    CMatchEvent over;
    over.kind = CMatchEvent::gameOver;
    over.team = currentTeam;
    result.events.push_back(std::move(over));
}

CShotPreview CMatch::PreviewShot(int shooter, int x, int y) const {
    CShotPreview preview;
    if (Check(CCommand::Fire(shooter, x, y)) != Refusal::none) {
        return preview;
    }
    const int    target = TargetAt(shooter, x, y);
    const CUnit& a      = units[static_cast<size_t>(shooter)];
    const CUnit& d      = units[static_cast<size_t>(target)];
    preview.shooter     = shooter;
    preview.target      = target;
    if (a.team != d.team) {
        preview.kind                  = CShotPreview::attack;
        preview.exchange              = ComputeExchange(shooter, target);
        preview.shooterHitpointsAfter = Combat::ApplyDamage(a.hitpoints, preview.exchange.damageToAttacker);
        preview.targetHitpointsAfter  = Combat::ApplyDamage(d.hitpoints, preview.exchange.damageToDefender);
    } else {
        preview.kind           = CShotPreview::boost;
        preview.boostAttack    = d.bonusAttack;
        preview.boostDefense   = d.bonusDefense;
        preview.boostMovement  = d.bonusMovement;
        preview.boostFirerange = d.bonusFirerange;
    }
    return preview;
}
