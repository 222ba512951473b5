// CUnitManager: attacks, boosts, turns and the units' particle effects.
#include "core/Logger.h"
#include "audio/UnitSounds.h"
#include "fx/ParticleSystem.h"
#include "game/GridManager.h"
#include "core/Heightmap.h"
#include "game/TerrainTypes.h"
#include "game/TileArea.h"
#include "game/UnitManager.h"

bool CUnitManager::InFireArea(int shooter, int target) const {
    const CUnit* from = GetUnitByIndex(shooter);
    const CUnit* to   = GetUnitByIndex(target);
    return from != nullptr && to != nullptr &&
           CTileArea::IsInFireRing(from->tileX, from->tileY, from->fireMin, GetEffectiveFireMax(shooter), to->tileX,
                                   to->tileY);
}

CombatSide CUnitManager::SideOf(const CUnit& unit, bool reachesOther) const {
    CombatSide side;
    side.attack    = SaturatedSum(unit.attack, unit.boostAttack);
    side.defense   = SaturatedSum(unit.defense, unit.boostDefense);
    side.hitpoints = unit.hitpoints;
    if (grid != nullptr) {
        const Tile& tile = grid->GetTile(unit.tileX, unit.tileY);
        side.tileHeight  = tile.height;
        if (terrainTypes != nullptr) {
            side.terrainDefense = terrainTypes->GetDefense(tile.terrainType);
        }
    }
    side.inRange = reachesOther;
    return side;
}

CombatExchange CUnitManager::ComputeExchange(int attacker, int defender) const {
    const CUnit* a = GetUnitByIndex(attacker);
    const CUnit* d = GetUnitByIndex(defender);
    if (a == nullptr || d == nullptr) {
        return CombatExchange();
    }
    return Combat::ResolveExchange(SideOf(*a, InFireArea(attacker, defender)),
                                   SideOf(*d, InFireArea(defender, attacker)), TileSize(), fight);
}

void CUnitManager::LogExchange(int attacker, int defender, const CombatExchange& exchange) const {
    const CUnit& a      = *units[attacker];
    const CUnit& d      = *units[defender];
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

// The unit turns to the target and tilts as for a step from the far side
// of its own tile towards it.
void CUnitManager::TurnTowards(int index, const CUnit& target) {
    const CUnit& unit = *units[index];
    const int    x = unit.tileX, y = unit.tileY;
    FaceTile(index, target.tileX, target.tileY);
    TiltUnit(index, x - (target.tileX - x), y - (target.tileY - y), x, y);
}

AttackMessage CUnitManager::Attack(int attacker, int defender) {
    CUnit* a = MutableUnit(attacker);
    CUnit* d = MutableUnit(defender);
    if (a == nullptr || d == nullptr || attacker == defender) {
        return AttackMessage::none;
    }
    if (a->team == d->team) {
        Boost(attacker, defender);
        return AttackMessage::none;
    }
    if (sounds) {
        sounds->PlayAttack(a->soundAttack);
    }
    const CombatExchange exchange = ComputeExchange(attacker, defender);
    LogExchange(attacker, defender, exchange);
    if (InFireArea(attacker, defender)) {
        TurnTowards(attacker, *d);
    }
    if (InFireArea(defender, attacker)) {
        TurnTowards(defender, *a);
    }
    const int damageToA = exchange.damageToAttacker;
    const int damageToD = exchange.damageToDefender;
    a->hitpoints        = Combat::ApplyDamage(a->hitpoints, damageToA);
    d->hitpoints        = Combat::ApplyDamage(d->hitpoints, damageToD);

    AttackMessage message = AttackMessage::none;
    if (damageToA > a->startEffectAttack) {
        SpawnUnitEffect(attacker, a->effectAttack);
    }
    if (damageToD > d->startEffectAttack) {
        SpawnUnitEffect(defender, d->effectAttack);
        if (damageToD > 2LL * damageToA) {
            message = AttackMessage::goodAttack;
        }
    }
    if (damageToA > damageToD) {
        message = AttackMessage::weakAttack;
    }
    ShowDamage(attacker, *a);
    ShowDamage(defender, *d);
    GetLogger()->LogInfo("*** unit %d has now %d hitpoints", attacker, a->hitpoints);
    GetLogger()->LogInfo("*** unit %d has now %d hitpoints", defender, d->hitpoints);
    GetLogger()->LogInfo("%s", "");
    return message;
}

// Smoke and fire start below their thresholds; a destroyed unit's emitters
// stop and it explodes.
void CUnitManager::ShowDamage(int index, CUnit& unit) {
    if (unit.hitpoints < unit.startEffectSmoke && unit.smokeEffect == -1) {
        unit.smokeEffect = SpawnUnitEffect(index, unit.effectSmoke);
    }
    if (unit.hitpoints < unit.startEffectFire && unit.fireEffect == -1) {
        unit.fireEffect = SpawnUnitEffect(index, unit.effectFire);
    }
    if (unit.hitpoints <= 0) {
        StopEffect(unit.fireEffect);
        StopEffect(unit.smokeEffect);
        StopEffect(unit.specialEffect);
        SpawnUnitEffect(index, unit.effectExplosion);
        if (sounds) {
            sounds->PlayExplosion(unit.soundExplosion);
        }
    }
}

// The boost values are set, never added: a second boost changes nothing.
void CUnitManager::Boost(int general, int unit) {
    CUnit* g = MutableUnit(general);
    CUnit* f = MutableUnit(unit);
    if (g == nullptr || f == nullptr) {
        return;
    }
    if (f->specialEffect == -1) {
        f->specialEffect = SpawnUnitEffect(unit, f->team == 1 ? "special_team1.xml" : "special_team2.xml");
    }
    if (general != unit) {
        TurnTowards(general, *f);
    }
    f->boostAttack    = f->bonusAttack;
    f->boostDefense   = f->bonusDefense;
    f->boostFirerange = f->bonusFirerange;
    f->boostMovement  = f->bonusMovement;
}

void CUnitManager::StartTeamTurn(int team) {
    for (const auto& unit : units) {
        if (unit->team != team) {
            continue;
        }
        unit->boostAttack = unit->boostDefense = unit->boostMovement = unit->boostFirerange = 0;
        StopEffect(unit->specialEffect);
    }
}

CVector3 CUnitManager::GetUnitPosition(int index) const {
    const CUnit* unit = GetUnitByIndex(index);
    if (unit == nullptr) {
        return CVector3();
    }
    const float height = heightmap != nullptr ? heightmap->HeightAt(unit->worldX, unit->worldZ) : 0.0f;
    return CVector3(unit->worldX, height, unit->worldZ);
}

int CUnitManager::SpawnUnitEffect(int index, const std::string& effectName) {
    if (GetUnitByIndex(index) == nullptr) {
        return -1;
    }
    return StartEffect(effectName, GetUnitPosition(index));
}

void CUnitManager::FollowUnitEffects(int index) {
    const CUnit* unit = GetUnitByIndex(index);
    if (unit == nullptr) {
        return;
    }
    const CVector3 position = GetUnitPosition(index);
    for (const int handle : {unit->specialEffect, unit->fireEffect, unit->smokeEffect, unit->wheelsEffect}) {
        if (handle != -1) {
            MoveEffect(handle, position);
        }
    }
}

// ---- the particle system, when there is one ----

int CUnitManager::StartEffect(const std::string& name, const CVector3& position) {
    return particles != nullptr ? particles->LoadEmitter(name.c_str(), position) : -1;
}

// The emitter's flying particles finish their flight; it ends by itself.
void CUnitManager::StopEffect(int& handle) {
    if (particles != nullptr && handle != -1) {
        particles->StopRespawn(handle);
    }
    handle = -1;
}

void CUnitManager::MoveEffect(int handle, const CVector3& position) {
    if (particles != nullptr) {
        particles->SetEmitterPosition(handle, position.x, position.y, position.z);
    }
}
