#include "ai/PositionScore.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "rules/TerrainTypes.h"

namespace {

constexpr int    board             = CGridManager::gridSize;
constexpr int    unreachable       = 2 * board;
constexpr double livingBonus       = 300.0;  // a living fighting unit: it can still fire
constexpr double headquartersBonus = 3000.0; // counted when the headquarters could fall next turn
constexpr double headquartersShare = 2.0;
constexpr double generalShare      = 1.25;
// A ready unit with a general's boost will fire harder this turn: about half
// of the boost's extra damage in one attack is counted for it.
constexpr double boostOpportunity = 0.5;

double HitpointShare(const CUnit& unit) {
    return unit.isHeadquarter ? headquartersShare : unit.isGeneral ? generalShare : 1.0;
}

bool IsFighting(const CUnit& unit) {
    return unit.hitpoints > 0 && !unit.isHeadquarter;
}

} // namespace

CPositionScore::CPositionScore(const CMatch& start, int teamValue, const CScoreWeights& weightsValue)
    : team(teamValue), weights(weightsValue), reach(start.GetUnits().size()), engageSteps(start.GetUnits().size()) {
    for (int unit = 0; unit < start.GetUnitCount(); ++unit) {
        const CUnit& state = *start.GetUnit(unit);
        if (state.hitpoints <= 0) {
            continue;
        }
        FillReach(start, unit);
        if (state.team != team && state.isHeadquarter) {
            enemyHeadquarters = unit;
        } else if (state.team == team && !state.isHeadquarter) {
            FillEngageSteps(start, unit);
        }
    }
}

// The tiles the unit could drive to in its next turn (its boosts end when
// that turn begins), each widened by its fire ring.
void CPositionScore::FillReach(const CMatch& start, int unit) {
    const CUnit& state = *start.GetUnit(unit);
    CTileArea    area;
    area.FillMoveArea(state.tileX, state.tileY, std::max(0, state.movement),
                      [&start, unit](int x, int y) { return start.IsTilePassable(unit, x, y); });
    const int fireMax = std::min(state.fireMax, 2 * board);
    CTileSet& tiles   = reach[static_cast<size_t>(unit)];
    for (int i = 0; i < area.GetCount(); ++i) {
        const int fromX = area.GetX(i), fromY = area.GetY(i);
        for (int dy = -fireMax; dy <= fireMax; ++dy) {
            for (int dx = -fireMax; dx <= fireMax; ++dx) {
                const int x = fromX + dx, y = fromY + dy;
                if (CGridManager::IsInside(x, y) &&
                    CTileArea::IsInFireRing(fromX, fromY, state.fireMin, fireMax, x, y)) {
                    tiles.set(static_cast<size_t>(y * board + x));
                }
            }
        }
    }
}

// Breadth first over the ground the unit may cross, from every such tile
// within its fire ring of a living enemy.
void CPositionScore::FillEngageSteps(const CMatch& start, int unit) {
    const CUnit&      self  = *start.GetUnit(unit);
    std::vector<int>& steps = engageSteps[static_cast<size_t>(unit)];
    steps.assign(board * board, unreachable);
    std::deque<int> queue;
    for (int y = 0; y < board; ++y) {
        for (int x = 0; x < board; ++x) {
            if (!start.IsGroundPassable(unit, x, y)) {
                continue;
            }
            for (const CUnit& enemy : start.GetUnits()) {
                if (enemy.team != team && enemy.hitpoints > 0 &&
                    CTileArea::IsInFireRing(x, y, self.fireMin, self.fireMax, enemy.tileX, enemy.tileY)) {
                    steps[static_cast<size_t>(y * board + x)] = 0;
                    queue.push_back(y * board + x);
                    break;
                }
            }
        }
    }
    while (!queue.empty()) {
        const int tile = queue.front();
        queue.pop_front();
        const int x = tile % board, y = tile / board;
        const int neighbours[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
        for (const auto& next : neighbours) {
            const int index = next[1] * board + next[0];
            if (CGridManager::IsInside(next[0], next[1]) && steps[static_cast<size_t>(index)] == unreachable &&
                start.IsGroundPassable(unit, next[0], next[1])) {
                steps[static_cast<size_t>(index)] = steps[static_cast<size_t>(tile)] + 1;
                queue.push_back(index);
            }
        }
    }
}

int CPositionScore::StepsToEngage(int unit, int x, int y) const {
    if (unit < 0 || static_cast<size_t>(unit) >= engageSteps.size() || !CGridManager::IsInside(x, y)) {
        return unreachable;
    }
    const std::vector<int>& steps = engageSteps[static_cast<size_t>(unit)];
    return steps.empty() ? unreachable : steps[static_cast<size_t>(y * board + x)];
}

int CPositionScore::PossibleDamage(const CMatch& match, int unit, int x, int y) const {
    const CUnit&        self       = *match.GetUnit(unit);
    const CGridManager& grid       = match.GetBoard();
    const CBoardTile&   tile       = grid.GetTile(x, y);
    const float         tileSize   = grid.GetTileSize();
    const CCombatSide   defender   = {match.GetEffectiveAttack(unit),
                                      match.GetEffectiveDefense(unit),
                                      self.hitpoints,
                                      tile.height,
                                      match.GetTerrainTypes().GetDefense(tile.terrainType),
                                      false};
    const size_t        tileNumber = static_cast<size_t>(y * board + x);
    long long           damage     = 0;
    for (int enemy = 0; enemy < match.GetUnitCount() && static_cast<size_t>(enemy) < reach.size(); ++enemy) {
        const CUnit& other = *match.GetUnit(enemy);
        if (other.team == self.team || other.hitpoints <= 0 || !reach[static_cast<size_t>(enemy)].test(tileNumber)) {
            continue;
        }
        const CBoardTile& from     = grid.GetTile(other.tileX, other.tileY);
        const CCombatSide attacker = {other.attack,
                                      other.defense,
                                      other.hitpoints,
                                      from.height,
                                      match.GetTerrainTypes().GetDefense(from.terrainType),
                                      true};
        damage += Combat::ResolveExchange(attacker, defender, tileSize, match.GetFightParams()).damageToDefender;
    }
    return static_cast<int>(std::min<long long>(damage, self.hitpoints));
}

// What the enemy's reply could cost: the hit points it could take, and the
// unit itself when they are all of them.
double CPositionScore::ExposureCost(const CMatch& match, int unit, int x, int y) const {
    const CUnit& self   = *match.GetUnit(unit);
    const int    damage = PossibleDamage(match, unit, x, y);
    double       cost   = damage * HitpointShare(self);
    if (damage >= self.hitpoints) {
        cost += self.isHeadquarter ? headquartersBonus : livingBonus;
    }
    return weights.exposure * cost;
}

double CPositionScore::UnitValue(const CMatch& match, int unit, int x, int y, bool done) const {
    const CUnit& self  = *match.GetUnit(unit);
    double       value = self.hitpoints * HitpointShare(self) + (self.isHeadquarter ? 0.0 : livingBonus);
    if (self.team != team) {
        return weights.threat > 0.0 ? value - weights.threat * PossibleDamage(match, unit, x, y) * HitpointShare(self)
                                    : value;
    }
    value -= ExposureCost(match, unit, x, y);
    if (IsFighting(self)) {
        value -= weights.advance * StepsToEngage(unit, x, y);
        if (const CUnit* headquarters = match.GetUnit(enemyHeadquarters)) {
            value -= weights.headquartersPull * (std::abs(x - headquarters->tileX) + std::abs(y - headquarters->tileY));
        }
        if (!done && match.GetCurrentTeam() == team) {
            value += boostOpportunity * self.boostAttack * self.hitpoints * match.GetFightParams().attackBonus /
                     std::max(1.0f, match.GetFightParams().maxAttack);
        }
    }
    return value;
}

double CPositionScore::Score(const CMatch& match, int moved, int movedX, int movedY) const {
    if (match.IsGameOver()) {
        return match.GetWinner() == team ? won : -won;
    }
    double score = 0.0;
    for (int unit = 0; unit < match.GetUnitCount(); ++unit) {
        const CUnit& state = *match.GetUnit(unit);
        if (state.hitpoints <= 0) {
            continue;
        }
        const bool   isMoved = unit == moved;
        const double value   = UnitValue(match, unit, isMoved ? movedX : state.tileX, isMoved ? movedY : state.tileY,
                                         isMoved || state.done);
        score += state.team == team ? value : -value;
    }
    return score;
}
