// CMatch: setting up, the rules' queries and the state hash. The commands
// are in MatchCommands.cpp.
#include "rules/Match.h"

#include <algorithm>
#include <cstdio>

#include "core/Heightmap.h"
#include "core/Logger.h"
#include "core/TerrainParams.h"
#include "rules/PathFinder.h"
#include "rules/StateHash.h"
#include "rules/TeamFile.h"
#include "rules/FightFile.h"
#include "rules/TerrainTypes.h"
#include "rules/UnitFile.h"

namespace {

std::string LevelPath(const std::string& levelName, const char* file) {
    return levelName + "\\" + file;
}

// One step of the SplitMix64 sequence: a well-mixed 64-bit value from the seed.
uint64_t MixSeed(uint64_t value) {
    value += 0x9E3779B97F4A7C15ULL;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

bool IsFighting(const CUnit& unit) {
    return unit.hitpoints > 0 && !unit.isHeadquarter;
}

// The path search asks these of the match, for the unit whose path it searches.
struct CPathQuery {
    const CMatch* match;
    int           unit;
};

// Entering a tile costs its terrain's movement value. A negative value from
// the data counts as 0: costs below 0 would let the search loop on itself.
double PathCost(const CPathNode&, const CPathNode& candidate, void* data) {
    const CMatch& match = *static_cast<const CPathQuery*>(data)->match;
    const float   movement =
        match.GetTerrainTypes().GetMovement(match.GetBoard().GetTile(candidate.x, candidate.y).terrainType);
    return movement > 0.0f ? movement : 0.0;
}

double PathHeuristic(const CPathNode& destination, const CPathNode& node, void*) {
    const int dx = node.x - destination.x;
    const int dy = node.y - destination.y;
    return static_cast<float>(dx * dx + dy * dy);
}

bool PathValid(const CPathNode&, const CPathNode& candidate, void* data) {
    const CPathQuery& query = *static_cast<const CPathQuery*>(data);
    return query.match->IsTilePassable(query.unit, candidate.x, candidate.y);
}

} // namespace

CMatch::CMatch(const CGridManager& boardValue, std::shared_ptr<const CHeightmap> heightmapValue,
               std::shared_ptr<const CTerrainTypes> terrainTypesValue, uint64_t seedValue)
    : board(boardValue), heightmap(std::move(heightmapValue)), terrainTypes(std::move(terrainTypesValue)),
      seed(seedValue), currentTeam(FirstTeamOf(seedValue)) {
    if (!terrainTypes) {
        terrainTypes = std::make_shared<CTerrainTypes>(nullptr);
    }
    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            board.SetTileUnit(x, y, -1);
        }
    }
}

int CMatch::FirstTeamOf(uint64_t seed) {
    return static_cast<int>(MixSeed(seed) & 1U) + 1;
}

std::unique_ptr<CMatch> CMatch::LoadLevel(const std::string& levelName, uint64_t seed, std::string& error) {
    CTerrainParams params;
    if (!params.Load(LevelPath(levelName, "Terrain\\ter_params.ini").c_str())) {
        error = "the terrain parameters of " + levelName + " cannot be read";
        return nullptr;
    }
    auto heightmap = std::make_shared<CHeightmap>(LevelPath(levelName, "Terrain\\ter_heightmap.bmp").c_str(),
                                                  params.GetMaxWidth(), params.GetMaxHeight());
    if (heightmap->IsEmpty()) {
        error = "the heightmap of " + levelName + " cannot be read";
        return nullptr;
    }
    CGridManager board(LevelPath(levelName, "Terrain\\terrain.xml").c_str(), heightmap.get());
    board.SetWaterHeight(heightmap->GetHeightScale() * waterLevel);
    auto match =
        std::make_unique<CMatch>(board, heightmap, std::make_shared<CTerrainTypes>("Terrain\\terraintypes.xml"), seed);
    if (!match->LoadTeams(levelName)) {
        error = "a team file of " + levelName + " cannot be read";
        return nullptr;
    }
    return match;
}

bool CMatch::LoadTeams(const std::string& levelName, std::vector<CUnitSetup>* setups) {
    for (int team = 1; team <= teamCount; ++team) {
        char fileName[32];
        snprintf(fileName, sizeof fileName, "team%d.xml", team);
        CTeamFile teamFile;
        if (!teamFile.Load(LevelPath(levelName, fileName).c_str())) {
            return false;
        }
        for (const CTeamEntry& entry : teamFile.GetEntries()) {
            PlaceTeamUnit(team, entry, teamFile.GetEffectSpecial(), setups);
        }
    }
    LoadFightFile(LevelPath(levelName, "fight.xml").c_str(), fight);
    return AreTeamsPlayable(levelName);
}

// A team without a unit that can fight has lost before the first command,
// which makes a game that is won at once; the player is told which team file
// leaves no game to play.
bool CMatch::AreTeamsPlayable(const std::string& levelName) const {
    bool playable = true;
    for (int team = 1; team <= teamCount; ++team) {
        if (CountLivingUnits(team) > 0) {
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
// skipped (and logged) before its unit file is read.
void CMatch::PlaceTeamUnit(int team, const CTeamEntry& entry, const std::string& effectSpecial,
                           std::vector<CUnitSetup>* setups) {
    const int x = entry.positionX, y = entry.positionY;
    if (!CGridManager::IsInside(x, y)) {
        GetLogger()->LogError("team %d: unit %s at tile (%d, %d) lies outside the board; skipped", team,
                              entry.fileName.c_str(), x, y);
        return;
    }
    if (board.GetTile(x, y).unit != -1) {
        GetLogger()->LogError("team %d: unit %s at tile (%d, %d) stands on unit %d; skipped", team,
                              entry.fileName.c_str(), x, y, board.GetTile(x, y).unit);
        return;
    }
    CUnitFile unitFile;
    if (!unitFile.Load(("units\\" + entry.fileName).c_str())) {
        return;
    }
    AddUnit(unitFile.GetUnit(), team, x, y);
    if (setups != nullptr) {
        setups->push_back({unitFile.GetMedia(), entry.lookX, entry.lookY, effectSpecial});
    }
}

int CMatch::AddUnit(const CUnit& unit, int team, int x, int y) {
    if (!CGridManager::IsInside(x, y) || board.GetTile(x, y).unit != -1 || team < 1 || team > teamCount) {
        GetLogger()->LogError("CMatch::AddUnit: no place for %s of team %d at tile (%d, %d)", unit.name.c_str(), team,
                              x, y);
        return -1;
    }
    units.push_back(unit);
    CUnit& added = units.back();
    added.team   = team;
    added.tileX  = x;
    added.tileY  = y;
    if (added.maxHitpoints < added.hitpoints) {
        added.maxHitpoints = added.hitpoints;
    }
    const int index          = GetUnitCount() - 1;
    startHitpoints[team - 1] = SaturatedSum(startHitpoints[team - 1], added.hitpoints);
    maxHitpoints             = std::max(maxHitpoints, added.maxHitpoints);
    board.SetTileUnit(x, y, index);
    return index;
}

CApplyResult CMatch::Start() {
    CApplyResult result;
    if (gameState == gamePlaying) {
        CheckGameOver(result);
    }
    return result;
}

// ---- queries ----

CUnit* CMatch::MutableUnit(int index) {
    return index >= 0 && index < GetUnitCount() ? &units[static_cast<size_t>(index)] : nullptr;
}

const CUnit* CMatch::GetUnit(int index) const {
    return index >= 0 && index < GetUnitCount() ? &units[static_cast<size_t>(index)] : nullptr;
}

std::pair<int, int> CMatch::GetOrigin(int index) const {
    if (index == movedUnit) {
        return {originX, originY};
    }
    const CUnit* unit = GetUnit(index);
    return unit != nullptr ? std::make_pair(unit->tileX, unit->tileY) : std::make_pair(-1, -1);
}

bool CMatch::IsGroundPassable(int index, int x, int y) const {
    const CUnit* unit = GetUnit(index);
    if (unit == nullptr || !CGridManager::IsInside(x, y)) {
        return false;
    }
    const CBoardTile& tile = board.GetTile(x, y);
    return board.IsTileUsable(x, y) && terrainTypes->IsPassable(tile.terrainType) &&
           std::find(unit->notUsable.begin(), unit->notUsable.end(), tile.terrainType) == unit->notUsable.end() &&
           unit->slopeMax >= tile.slopeDegrees;
}

bool CMatch::IsTilePassable(int index, int x, int y) const {
    if (!IsGroundPassable(index, x, y)) {
        return false;
    }
    const int standing = board.GetTile(x, y).unit;
    return standing == -1 || standing == index;
}

void CMatch::FillMoveArea(int index, CTileArea& area) const {
    area.Clear();
    if (GetUnit(index) == nullptr) {
        return;
    }
    const std::pair<int, int> origin = GetOrigin(index);
    area.FillMoveArea(origin.first, origin.second, GetEffectiveMovement(index),
                      [this, index](int x, int y) { return IsTilePassable(index, x, y); });
}

void CMatch::FillFireArea(int index, CTileArea& area) const {
    area.Clear();
    if (const CUnit* unit = GetUnit(index)) {
        area.FillFireArea(unit->tileX, unit->tileY, unit->fireMin, GetEffectiveFireMax(index));
    }
}

std::vector<std::pair<int, int>> CMatch::FindPath(int index, int x, int y) const {
    const CUnit* unit = GetUnit(index);
    if (unit == nullptr) {
        return {};
    }
    CPathFinder finder(CGridManager::gridSize);
    CPathQuery  query{this, index};
    finder.SetCallbacks(PathCost, PathHeuristic, PathValid, &query);
    if (!finder.FindPath(unit->tileX, unit->tileY, x, y)) {
        return {};
    }
    return finder.GetPath();
}

bool CMatch::InFireArea(int shooter, int target) const {
    const CUnit* from = GetUnit(shooter);
    const CUnit* to   = GetUnit(target);
    return from != nullptr && to != nullptr &&
           CTileArea::IsInFireRing(from->tileX, from->tileY, from->fireMin, GetEffectiveFireMax(shooter), to->tileX,
                                   to->tileY);
}

CCombatSide CMatch::SideOf(const CUnit& unit, bool reachesOther) const {
    CCombatSide       side;
    const CBoardTile& tile = board.GetTile(unit.tileX, unit.tileY);
    side.attack            = SaturatedSum(unit.attack, unit.boostAttack);
    side.defense           = SaturatedSum(unit.defense, unit.boostDefense);
    side.hitpoints         = unit.hitpoints;
    side.tileHeight        = tile.height;
    side.terrainDefense    = terrainTypes->GetDefense(tile.terrainType);
    side.inRange           = reachesOther;
    return side;
}

CCombatExchange CMatch::ComputeExchange(int attacker, int defender) const {
    const CUnit* a = GetUnit(attacker);
    const CUnit* d = GetUnit(defender);
    if (a == nullptr || d == nullptr) {
        return CCombatExchange();
    }
    return Combat::ResolveExchange(SideOf(*a, InFireArea(attacker, defender)),
                                   SideOf(*d, InFireArea(defender, attacker)), board.GetTileSize(), fight);
}

int CMatch::GetEffectiveAttack(int index) const {
    const CUnit* unit = GetUnit(index);
    return unit != nullptr ? SaturatedSum(unit->attack, unit->boostAttack) : 0;
}

int CMatch::GetEffectiveDefense(int index) const {
    const CUnit* unit = GetUnit(index);
    return unit != nullptr ? SaturatedSum(unit->defense, unit->boostDefense) : 0;
}

int CMatch::GetEffectiveMovement(int index) const {
    const CUnit* unit = GetUnit(index);
    return unit != nullptr ? SaturatedSum(unit->movement, unit->boostMovement) : 0;
}

int CMatch::GetEffectiveFireMax(int index) const {
    const CUnit* unit = GetUnit(index);
    return unit != nullptr ? SaturatedSum(unit->fireMax, unit->boostFirerange) : 0;
}

bool CMatch::IsAlive(int index) const {
    const CUnit* unit = GetUnit(index);
    return unit != nullptr && unit->hitpoints > 0;
}

template <typename Filter, typename Value> int CMatch::SumOverTeam(int team, Filter filter, Value value) const {
    int sum = 0;
    for (const CUnit& unit : units) {
        if (unit.team == team && filter(unit)) {
            sum = SaturatedSum(sum, value(unit));
        }
    }
    return sum;
}

int CMatch::CountReadyUnits(int team) const {
    return SumOverTeam(
        team, [](const CUnit& unit) { return IsFighting(unit) && !unit.done; }, [](const CUnit&) { return 1; });
}

int CMatch::CountLivingUnits(int team) const {
    return SumOverTeam(team, IsFighting, [](const CUnit&) { return 1; });
}

int CMatch::HeadquartersHitpoints(int team) const {
    return SumOverTeam(
        team, [](const CUnit& unit) { return unit.isHeadquarter && unit.hitpoints > 0; },
        [](const CUnit& unit) { return unit.hitpoints; });
}

int CMatch::GetTeamHitpoints(int team) const {
    return SumOverTeam(
        team, [](const CUnit& unit) { return unit.hitpoints > 0; }, [](const CUnit& unit) { return unit.hitpoints; });
}

bool CMatch::HasTeamLost(int team) const {
    return CountLivingUnits(team) == 0 || HeadquartersHitpoints(team) <= 0;
}

int CMatch::GetStartHitpoints(int team) const {
    return team >= 1 && team <= teamCount ? startHitpoints[team - 1] : 0;
}

uint64_t CMatch::StateHash() const {
    CStateHash hash;
    hash.Add(static_cast<int64_t>(units.size()));
    for (const CUnit& unit : units) {
        for (const int value : {unit.tileX, unit.tileY, unit.hitpoints, unit.done ? 1 : 0, unit.boostAttack,
                                unit.boostDefense, unit.boostMovement, unit.boostFirerange}) {
            hash.Add(value);
        }
    }
    for (int y = 0; y < CGridManager::gridSize; ++y) {
        for (int x = 0; x < CGridManager::gridSize; ++x) {
            hash.Add(board.GetTile(x, y).unit);
        }
    }
    for (const int value : {movedUnit, originX, originY, currentTeam, turn, gameState, commandCount}) {
        hash.Add(value);
    }
    return hash.Get();
}
