#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/Combat.h"
#include "game/PathFinder.h"
#include "game/Unit.h"
#include "core/Vector3.h"

class CGridManager;
class CHeightmap;
class CModelInstance;
class CParticleSystem;
class CSoundLibrary;
class CTerrainTypes;
class CUnitSounds;
class CWorldObjects;
struct CUnitLook;

// Every unit of both teams, addressed by index in load order (an index never
// changes; destroyed units stay in the list). The manager loads units, places
// and turns them, walks them along searched paths, resolves attacks and
// boosts and answers the per-unit and per-team queries; it owns the combat
// parameters and the path finder. Each unit records its own position and
// angles; with world objects its model follows them, without (null) the
// rules run on their own, with no GL context. World objects, heightmap, grid
// and terrain types are borrowed; the grid gives the tile geometry and the
// tiles, the heightmap the ground heights. The class spans UnitManager.cpp
// (loading, placement, queries), UnitMovement.cpp and UnitCombat.cpp.
class CUnitManager {
public:
    static constexpr float  unitScale          = 2.0f;
    static constexpr int    teamCount          = 2;
    static constexpr size_t maxModelNameLength = 511;
    // World units a unit walks per second at speed 1.
    static constexpr float walkRate = 500.0f;

    CUnitManager(CWorldObjects* objects, const CHeightmap* heightmap, const CGridManager* grid,
                 const CTerrainTypes* terrainTypes, CParticleSystem* particles = nullptr,
                 CSoundLibrary* sound = nullptr);
    // Frees the units' sound samples.
    ~CUnitManager();
    CUnitManager(const CUnitManager&)            = delete;
    CUnitManager& operator=(const CUnitManager&) = delete;

    // ---- loading and placement (UnitManager.cpp) ----
    // Reads a unit file (every value required) and adds the unit with its
    // model instance; the new index, or -1 when nothing was created.
    int LoadUnit(const char* path);
    // Gives a loaded unit to a team and counts its hit points into the team's
    // starting total. Teams other than 1 and 2 are refused.
    bool AssignTeam(int index, int team);
    void SetEffectSpecial(int index, const char* effect);
    // Each usable key replaces its value; the others are logged and the
    // previous value kept (see FightFile.h). False when the file cannot be read.
    bool LoadFightParams(const char* path);

    void PlaceUnit(int index, int x, int y);
    void FaceTile(int index, int x, int y);
    // At the unit's own position the direction is undefined and the yaw stays.
    void FacePoint(int index, float px, float pz);
    // Pitch and roll on the ground of tile `to` for a move from `from`.
    void TiltUnit(int index, int fromX, int fromY, int toX, int toY);

    // ---- movement (UnitMovement.cpp) ----
    // May the unit stand on tile (x, y): usable and above the water, a known
    // terrain type the unit may use, no steeper than its slopeMax, and free
    // or its own. The one test of the move area and the path search.
    bool IsTilePassable(int index, int x, int y) const;
    // False exactly when the unit's "notusable" list names the terrain type.
    bool CanUseTerrain(int index, int terrainType) const;
    // Sends the unit along a searched path to (x, y), with its wheel effect
    // and its move sound looping on the move channel. False (and the unit
    // stays where it is, silent) when no path is found.
    bool MoveUnit(int index, int x, int y);
    // Walks every moving unit by frameTime seconds along its path.
    void UpdateUnits(float frameTime);

    // ---- combat and effects (UnitCombat.cpp) ----
    // Is the target's tile in the shooter's fire ring (fireMin to the
    // effective fire max, Manhattan distance)?
    bool InFireArea(int shooter, int target) const;
    // The exchange an attack of a on d would give now (also the attack preview).
    CombatExchange ComputeExchange(int attacker, int defender) const;
    // a fires at d: both take their damage at once, turn to each other, and
    // the info log traces it. Units of one team: a boosts d instead. Returns
    // the message the attack earns; the caller clears destroyed units' tiles.
    AttackMessage Attack(int attacker, int defender);
    // The general gives the unit its bonus values until its team's next turn.
    void Boost(int general, int unit);
    // Ends the boosts (and their effects) of the team whose turn begins.
    void StartTeamTurn(int team);
    // Starts the named particle effect at the unit; its handle, -1 none.
    int SpawnUnitEffect(int index, const std::string& effectName);
    // Moves the unit's running emitters to where it stands.
    void FollowUnitEffects(int index);
    // Where the unit stands: ground position and the ground's height there.
    CVector3 GetUnitPosition(int index) const;

    // ---- queries: 0 (false) for an unknown index ----
    int                GetCount() const { return static_cast<int>(units.size()); }
    const CUnit*       GetUnitByIndex(int index) const;
    const FightParams& GetFightParams() const { return fight; }
    // What the world objects draw for a unit; false for an unknown index.
    bool GetUnitLook(int index, CUnitLook& look) const;

    int  GetHitpoints(int index) const;
    int  GetUnitMaxHitpoints(int index) const;
    int  GetEffectiveAttack(int index) const;
    int  GetEffectiveDefense(int index) const;
    int  GetEffectiveMovement(int index) const;
    int  GetEffectiveFireMax(int index) const;
    int  GetFireMin(int index) const;
    int  GetSlopeMax(int index) const;
    int  GetTeam(int index) const;
    bool IsGeneral(int index) const;
    bool IsHeadquarter(int index) const;
    int  GetBonusAttack(int index) const;
    int  GetBonusDefense(int index) const;
    int  GetBonusMovement(int index) const;
    int  GetBonusFirerange(int index) const;
    int  GetBoostAttack(int index) const;
    int  GetBoostDefense(int index) const;
    int  GetBoostMovement(int index) const;
    int  GetBoostFirerange(int index) const;
    bool IsDone(int index) const;
    void SetDone(int index, bool done);
    bool IsMoving(int index) const;

    // Team queries (team 1 or 2). Headquarters are never ready or living
    // fighting units; destroyed units count nowhere.
    int CountReadyUnits(int team) const;
    int CountLivingUnits(int team) const;
    int HeadquartersHitpoints(int team) const;
    int GetTeamHitpoints(int team) const;
    // A team has lost with no living fighting unit or with its living
    // headquarters' hit points summing to 0 or less (so also without any).
    bool HasTeamLost(int team) const;
    // Sum of the hit points a team's units had at load; 0 for other teams.
    int GetStartHitpoints(int team) const;
    // The largest hit points of all loaded units.
    int GetMaxHitpoints() const { return maxHitpoints; }

private:
    CUnit*          MutableUnit(int index);
    float           TileSize() const;
    CModelInstance* ModelOf(const CUnit& unit) const;
    void            PlaceModel(const CUnit& unit) const;
    void LoadSamples(CUnit& unit, const char* soundAttack, const char* soundMove, const char* soundExplosion);
    // Sum of a value over the team's units that pass the filter, saturated.
    template <typename Filter, typename Value> int SumOverTeam(int team, Filter filter, Value value) const;

    // Movement.
    static double PathCost(const PathNode& parent, const PathNode& candidate, void* data);
    static double PathHeuristic(const PathNode& destination, const PathNode& node, void* data);
    static bool   PathValid(const PathNode& parent, const PathNode& candidate, void* data);
    void          StepUnit(int index, CUnit& unit, float frameTime);
    void          StopMoving(int index, CUnit& unit);

    // Combat.
    CombatSide SideOf(const CUnit& unit, bool reachesOther) const;
    void       LogExchange(int attacker, int defender, const CombatExchange& exchange) const;
    void       TurnTowards(int index, const CUnit& target);
    void       ShowDamage(int index, CUnit& unit);

    // The particle system as the units use it; without one no emitter
    // starts (-1), StopEffect only forgets the handle and MoveEffect does nothing.
    int  StartEffect(const std::string& name, const CVector3& position);
    void StopEffect(int& handle);
    void MoveEffect(int handle, const CVector3& position);

    std::vector<std::unique_ptr<CUnit>> units;
    FightParams                         fight;
    int                                 startHitpoints[teamCount] = {0, 0};
    int                                 maxHitpoints              = 0;
    CPathFinder                         pathFinder;
    int                                 searchUnit   = -1; // the unit whose path is searched
    CWorldObjects*                      objects      = nullptr;
    const CHeightmap*                   heightmap    = nullptr;
    const CGridManager*                 grid         = nullptr;
    const CTerrainTypes*                terrainTypes = nullptr;
    CParticleSystem*                    particles    = nullptr;
    std::unique_ptr<CUnitSounds>        sounds; // null without a sound library
};
