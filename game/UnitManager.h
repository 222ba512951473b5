#pragma once

#include <memory>
#include <vector>

#include "game/Unit.h"

class CGridManager;
class CHeightmap;
class CModelInstance;
class CWorldObjects;
struct CUnitLook;

// The combat parameters of the level's "fight.xml".
struct FightParams {
    float attackBonus   = 1.0f; // multiplies the attacker's own attack value
    float attackFactor  = 1.0f; // multiplies both sides' attack strengths
    float maxAttack     = 1.0f; // divides both attack strengths; kept above 0
    float minAttack     = 0.0f;
    float maxDefense    = 1.0f; // divides both defence strengths; kept above 0
    float minDefense    = 0.0f;
    float maxSlopeBonus = 0.0f; // scale of the height bonus
};

// Every unit of both teams, addressed by index in load order (an index never
// changes; destroyed units stay in the list). The manager loads units, places
// and turns them and owns the combat parameters. Each unit records its own
// position and angles; with world objects its model follows them, without
// (null) the rules run on their own, with no GL context. The world objects,
// heightmap and grid are borrowed; the grid gives the tile geometry, the
// heightmap the ground heights.
class CUnitManager {
public:
    static constexpr float  unitScale          = 2.0f;
    static constexpr int    teamCount          = 2;
    static constexpr size_t maxModelNameLength = 511;

    CUnitManager(CWorldObjects* objects, const CHeightmap* heightmap, const CGridManager* grid);
    // Frees the units' sound samples.
    ~CUnitManager();
    CUnitManager(const CUnitManager&)            = delete;
    CUnitManager& operator=(const CUnitManager&) = delete;

    // Reads a unit file (every value required) and adds the unit with its
    // model instance; the new index, or -1 when nothing was created.
    int LoadUnit(const char* path);
    // Gives a loaded unit to a team and counts its hit points into the team's
    // starting total. Teams other than 1 and 2 are refused.
    bool AssignTeam(int index, int team);
    void SetEffectSpecial(int index, const char* effect);

    void PlaceUnit(int index, int x, int y);
    void FaceTile(int index, int x, int y);
    void FacePoint(int index, float px, float pz);
    // Pitch and roll of the model on the ground of tile `to` for a move from `from`.
    void TiltUnit(int index, int fromX, int fromY, int toX, int toY);

    // Each key present replaces its value; false when the file cannot be opened.
    bool LoadFightParams(const char* path);

    // What the world objects draw for a unit; false for an unknown index.
    bool GetUnitLook(int index, CUnitLook& look) const;

    int                GetCount() const { return static_cast<int>(units.size()); }
    const CUnit*       GetUnitByIndex(int index) const;
    const FightParams& GetFightParams() const { return fight; }
    // Sum of the hit points a team's units had at load; 0 for other teams.
    int  GetStartHitpoints(int team) const;
    int  GetMaxHitpoints() const { return maxHitpoints; }
    int  GetHitpoints(int index) const;
    int  GetTeam(int index) const;
    bool IsDone(int index) const;
    void SetDone(int index, bool done);

private:
    CUnit*          MutableUnit(int index);
    float           TileSize() const;
    CModelInstance* ModelOf(const CUnit& unit) const;
    void            PlaceModel(const CUnit& unit) const;
    void LoadSamples(CUnit& unit, const char* soundAttack, const char* soundMove, const char* soundExplosion) const;

    std::vector<std::unique_ptr<CUnit>> units;
    FightParams                         fight;
    int                                 startHitpoints[teamCount] = {0, 0};
    int                                 maxHitpoints              = 0;
    CWorldObjects*                      objects                   = nullptr;
    const CHeightmap*                   heightmap                 = nullptr;
    const CGridManager*                 grid                      = nullptr;
};
