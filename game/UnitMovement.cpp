// CUnitManager: passability, path search and walking along paths.
#include <algorithm>
#include <cmath>

#include "app/Application.h"
#include "game/GridManager.h"
#include "game/TerrainTypes.h"
#include "game/UnitManager.h"

namespace {

// The value moved towards the target by at most step, never past it.
float Approach(float value, float target, float step) {
    if (value < target) {
        return std::min(value + step, target);
    }
    return std::max(value - step, target);
}

} // namespace

bool CUnitManager::CanUseTerrain(int index, int terrainType) const {
    const CUnit* unit = GetUnitByIndex(index);
    return unit != nullptr &&
           std::find(unit->notUsable.begin(), unit->notUsable.end(), terrainType) == unit->notUsable.end();
}

bool CUnitManager::IsTilePassable(int index, int x, int y) const {
    const CUnit* unit = GetUnitByIndex(index);
    if (unit == nullptr || grid == nullptr || terrainTypes == nullptr || !CGridManager::IsInside(x, y)) {
        return false;
    }
    const Tile& tile = grid->GetTile(x, y);
    return grid->IsTileUsable(x, y) && terrainTypes->IsPassable(tile.terrainType) &&
           CanUseTerrain(index, tile.terrainType) && unit->slopeMax >= tile.slopeDegrees &&
           (tile.unit == -1 || tile.unit == index);
}

// Entering a tile costs its terrain's movement value. A negative value from
// the data counts as 0: costs below 0 would let the search loop on itself.
double CUnitManager::PathCost(const PathNode&, const PathNode& candidate, void* data) {
    const CUnitManager& manager = *static_cast<const CUnitManager*>(data);
    if (manager.grid == nullptr || manager.terrainTypes == nullptr) {
        return 1.0;
    }
    const float movement =
        manager.terrainTypes->GetMovement(manager.grid->GetTile(candidate.x, candidate.y).terrainType);
    return movement > 0.0f ? movement : 0.0;
}

double CUnitManager::PathHeuristic(const PathNode& destination, const PathNode& node, void*) {
    const int dx = node.x - destination.x;
    const int dy = node.y - destination.y;
    return static_cast<float>(dx * dx + dy * dy);
}

// The searched unit's own tile stays passable for it; that unit is always
// the level's selected one, so this is also the selected unit's tile.
bool CUnitManager::PathValid(const PathNode&, const PathNode& candidate, void* data) {
    const CUnitManager& manager = *static_cast<const CUnitManager*>(data);
    return manager.IsTilePassable(manager.searchUnit, candidate.x, candidate.y);
}

// A unit sent along a path of more than its own tile counts as moving from
// the order on, so no command can act on it before the next frame walks it.
bool CUnitManager::MoveUnit(int index, int x, int y) {
    CUnit* unit = MutableUnit(index);
    if (unit == nullptr) {
        return false;
    }
    unit->targetX  = x;
    unit->targetY  = y;
    unit->pathStep = 0;
    searchUnit     = index;
    unit->path.clear();
    if (!pathFinder.FindPath(unit->tileX, unit->tileY, x, y)) {
        return false;
    }
    for (const auto& tile : pathFinder.GetPath()) {
        unit->path.emplace_back(static_cast<float>(tile.first), static_cast<float>(tile.second));
    }
    if (unit->path.empty()) {
        return false;
    }
    if (unit->wheelsEffect == -1) {
        unit->wheelsEffect = SpawnUnitEffect(index, unit->effectWheels);
    }
    CSoundLibrary& sound = GetApp()->GetSoundLibrary();
    sound.StopSound(moveChannel);
    sound.SetLoopMode(moveChannel, CSoundLibrary::loopNormal);
    sound.PlaySound(moveChannel, unit->soundMove);
    unit->moveSoundOn = true;
    unit->moving      = unit->path.size() > 1;
    return true;
}

void CUnitManager::UpdateUnits(float frameTime) {
    for (int index = 0; index < GetCount(); ++index) {
        CUnit&    unit  = *units[index];
        const int nodes = static_cast<int>(unit.path.size());
        if (nodes == 0 || unit.pathStep >= nodes - 1) {
            StopMoving(unit);
        } else {
            StepUnit(index, unit, frameTime);
        }
        PlaceModel(unit);
    }
}

// At rest: the wheel effect stops, and so does the move sound the unit
// started, whether or not an emitter ran.
void CUnitManager::StopMoving(CUnit& unit) {
    unit.moving = false;
    if (unit.wheelsEffect != -1 || unit.moveSoundOn) {
        StopEffect(unit.wheelsEffect);
        GetApp()->GetSoundLibrary().StopSound(moveChannel);
        unit.moveSoundOn = false;
    }
}

// One frame along the path: towards the centre of the next node, or onto
// that node once its centre is reached exactly. The axes move independently
// by the same step, so a diagonal step is faster than a straight one.
void CUnitManager::StepUnit(int index, CUnit& unit, float frameTime) {
    unit.moving     = true;
    const int nodeX = static_cast<int>(unit.path[unit.pathStep].first);
    const int nodeY = static_cast<int>(unit.path[unit.pathStep].second);
    const int nextX = static_cast<int>(unit.path[unit.pathStep + 1].first);
    const int nextY = static_cast<int>(unit.path[unit.pathStep + 1].second);
    TiltUnit(index, nodeX, nodeY, nextX, nextY);

    float targetX = 0.0f, targetZ = 0.0f;
    CGridManager::TileCentreAt(TileSize(), nextX, nextY, targetX, targetZ);
    float step = frameTime * walkRate * unit.speed;
    if (!(step > 0.0f)) {
        step = 0.0f; // no frame time, no speed (or a speed below 0): the unit waits
    }
    if (unit.worldX == targetX && unit.worldZ == targetZ) {
        ++unit.pathStep;
        unit.prevTileX = unit.tileX;
        unit.prevTileY = unit.tileY;
        unit.tileX     = nextX;
        unit.tileY     = nextY;
        TiltUnit(index, unit.prevTileX, unit.prevTileY, unit.tileX, unit.tileY);
    } else {
        FacePoint(index, targetX, targetZ);
        unit.worldX = Approach(unit.worldX, targetX, step);
        unit.worldZ = Approach(unit.worldZ, targetZ, step);
    }
    FollowUnitEffects(index);
}
