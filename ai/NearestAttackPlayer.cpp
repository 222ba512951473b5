#include "ai/NearestAttackPlayer.h"

#include <climits>
#include <deque>
#include <vector>

namespace {

constexpr int board = CGridManager::gridSize;

using CDistances = std::vector<int>; // board x board steps, row-major

int FirstReadyUnit(const CMatch& match) {
    for (int unit = 0; unit < match.GetUnitCount(); ++unit) {
        const CUnit& state = *match.GetUnit(unit);
        if (state.team == match.GetCurrentTeam() && !state.done && state.hitpoints > 0 && !state.isHeadquarter) {
            return unit;
        }
    }
    return -1;
}

} // namespace

int CNearestAttackPlayer::WeakestTarget(const CMatch& match, int unit) {
    CTileArea ring;
    match.FillFireArea(unit, ring);
    int target = -1;
    for (int i = 0; i < ring.GetCount(); ++i) {
        const int    other = match.GetBoard().GetTile(ring.GetX(i), ring.GetY(i)).unit;
        const CUnit* enemy = match.GetUnit(other);
        if (enemy != nullptr && enemy->team != match.GetCurrentTeam() && other != unit &&
            (target == -1 || enemy->hitpoints < match.GetUnit(target)->hitpoints)) {
            target = other;
        }
    }
    return target;
}

CCommand CNearestAttackPlayer::ChooseCommand(const CMatch& match) const {
    if (match.GetMovedUnit() != -1) {
        const int unit   = match.GetMovedUnit();
        const int target = WeakestTarget(match, unit);
        return target == -1 ? CCommand::Finish(unit)
                            : CCommand::Fire(unit, match.GetUnit(target)->tileX, match.GetUnit(target)->tileY);
    }
    const int unit = FirstReadyUnit(match);
    return unit == -1 ? CCommand::EndTurn() : CommandForUnit(match, unit);
}

// Steps over crossable ground from every tile that has an enemy in range;
// the unit drives to the tile of its move area with the fewest.
CCommand CNearestAttackPlayer::CommandForUnit(const CMatch& match, int unit) const {
    const CUnit&                    self = *match.GetUnit(unit);
    CDistances                      distance(board * board, INT_MAX);
    std::deque<std::pair<int, int>> queue;
    for (int y = 0; y < board; ++y) {
        for (int x = 0; x < board; ++x) {
            for (const CUnit& enemy : match.GetUnits()) {
                if (enemy.team != self.team && enemy.hitpoints > 0 && match.IsGroundPassable(unit, x, y) &&
                    CTileArea::IsInFireRing(x, y, self.fireMin, match.GetEffectiveFireMax(unit), enemy.tileX,
                                            enemy.tileY)) {
                    distance[y * board + x] = 0;
                    queue.push_back({x, y});
                    break;
                }
            }
        }
    }
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& step : steps) {
            const int nx = x + step[0], ny = y + step[1];
            if (CGridManager::IsInside(nx, ny) && distance[ny * board + nx] == INT_MAX &&
                match.IsGroundPassable(unit, nx, ny)) {
                distance[ny * board + nx] = distance[y * board + x] + 1;
                queue.push_back({nx, ny});
            }
        }
    }
    CTileArea area;
    match.FillMoveArea(unit, area);
    int bestX = self.tileX, bestY = self.tileY, best = distance[self.tileY * board + self.tileX];
    for (int i = 0; i < area.GetCount(); ++i) {
        const int x = area.GetX(i), y = area.GetY(i);
        if (distance[y * board + x] < best && match.Check(CCommand::Move(unit, x, y)) == Refusal::none) {
            best  = distance[y * board + x];
            bestX = x;
            bestY = y;
        }
    }
    if (bestX != self.tileX || bestY != self.tileY) {
        return CCommand::Move(unit, bestX, bestY);
    }
    const int target = WeakestTarget(match, unit);
    return target == -1 ? CCommand::Finish(unit)
                        : CCommand::Fire(unit, match.GetUnit(target)->tileX, match.GetUnit(target)->tileY);
}
