#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rules/Combat.h"
#include "rules/Command.h"
#include "rules/GridManager.h"
#include "rules/MatchEvent.h"
#include "rules/TileArea.h"
#include "rules/Unit.h"

#include "rules/UnitFile.h"

class CHeightmap;
class CTerrainTypes;
struct CTeamEntry;

// How a unit of a team file entered the match: what the view needs to show
// it, by the unit's index.
struct CUnitSetup {
    CUnitMedia  media;
    int         lookX = 0, lookY = 0; // the offset of the tile it looks at
    std::string effectSpecial;        // its team's boost effect
};

// What firing from a unit at a tile would do now, decided as Apply decides
// it: an attack with its exchange and the hit points both sides would be
// left with, or a general's boost with the values it would give.
struct CShotPreview {
    enum Kind { none = 0, attack = 1, boost = 2 };

    Kind            kind    = none;
    int             shooter = -1;
    int             target  = -1;
    CCombatExchange exchange;
    int             shooterHitpointsAfter = 0;
    int             targetHitpointsAfter  = 0;
    int             boostAttack = 0, boostDefense = 0, boostMovement = 0, boostFirerange = 0;
};

// The match: the board, every unit's logical state, the team to move and
// the game state, changed only by Apply. It reads no clock, draws nothing
// and calls no random function: the same level, seed and commands give the
// same match on every machine. A match is a value: copying it gives an
// independent match to try commands on (the heightmap and the terrain types
// are shared, read only).
//
// A move is tentative until the unit's action ends (finish or fire): the
// board keeps the unit on the tile where its turn began (its origin) while
// the unit itself stands where it drove; at most one unit of the team to
// move has a tentative move at a time.
class CMatch {
public:
    enum GameState { gamePlaying = 1, gameFinished = 2 };
    static constexpr int teamCount = 2;
    // Water lies at this many heightmap sample units; tiles at or below it
    // are not usable.
    static constexpr float waterLevel = 45.0f;

    // The board is copied; heightmap and terrain types are kept (shared).
    // The team to move first comes from the seed.
    CMatch(const CGridManager& board, std::shared_ptr<const CHeightmap> heightmap,
           std::shared_ptr<const CTerrainTypes> terrainTypes, uint64_t seed);

    // The rules of a level read from the working directory (the data
    // folder): terrain parameters, heightmap, tiles, terrain types, both team
    // files, the fight values. Null, with the reason in `error`, when the
    // level has no board to play on.
    static std::unique_ptr<CMatch> LoadLevel(const std::string& levelName, uint64_t seed, std::string& error);
    // The team that moves first in a match with this seed (1 or 2).
    static int FirstTeamOf(uint64_t seed);

    // ---- setting up (before Start) ----
    // Both team files of the level folder, then its "fight.xml". Stops
    // (false) at a team file that cannot be read; what was loaded stays.
    // Also false (logged, naming the file) when a team has no unit that can
    // fight: the game would be won before the first command.
    // With setups, each unit added also appends what shows it.
    bool LoadTeams(const std::string& levelName, std::vector<CUnitSetup>* setups = nullptr);
    // Adds the unit on tile (x, y) for a team; its index, or -1 when the
    // tile is off the board, taken, or the team unknown (logged).
    int  AddUnit(const CUnit& unit, int team, int x, int y);
    void SetFightParams(const CFightParams& params) { fight = params; }
    // Whether attacks are traced in the info log (on; off for trial copies).
    void SetTraceExchanges(bool trace) { traceExchanges = trace; }
    // The first victory check, before any command: a team with no fighting
    // unit or no headquarters has lost at once.
    CApplyResult Start();

    // ---- playing ----
    // Carries the command out completely, or refuses it with the reason and
    // changes nothing.
    CApplyResult Apply(const CCommand& command);
    // Would Apply accept the command now? (The reason when not.)
    Refusal      Check(const CCommand& command) const;
    CShotPreview PreviewShot(int shooter, int x, int y) const;

    // The tiles the unit may drive to this turn (from its origin) and the
    // ring it may fire into (from where it stands).
    void FillMoveArea(int unit, CTileArea& area) const;
    void FillFireArea(int unit, CTileArea& area) const;
    // The path the unit would take to (x, y); empty when there is none.
    std::vector<std::pair<int, int>> FindPath(int unit, int x, int y) const;
    bool                             IsTilePassable(int unit, int x, int y) const;
    // Whether the unit could stand on (x, y) were no other unit there: the
    // ground alone (usable, its terrain, slope and the unit's limits).
    bool            IsGroundPassable(int unit, int x, int y) const;
    bool            InFireArea(int shooter, int target) const;
    CCombatExchange ComputeExchange(int attacker, int defender) const;

    // ---- state ----
    // 64 bits over the logical state: for each unit its tile, hit points,
    // done flag and the four boosts; the board's unit on each tile; the
    // unit with a tentative move and its origin; the team to move, the turn,
    // the game state and the number of commands accepted. Nothing else
    // (names, fight values, the seed) enters it: they are fixed by the level.
    uint64_t StateHash() const;

    int  GetCurrentTeam() const { return currentTeam; }
    int  GetGameState() const { return gameState; }
    bool IsGameOver() const { return gameState == gameFinished; }
    // The winner once the game is over, else 0.
    int                       GetWinner() const { return IsGameOver() ? currentTeam : 0; }
    int                       GetTurn() const { return turn; }
    int                       GetCommandCount() const { return commandCount; }
    uint64_t                  GetSeed() const { return seed; }
    int                       GetMovedUnit() const { return movedUnit; }
    std::pair<int, int>       GetOrigin(int unit) const;
    const CGridManager&       GetBoard() const { return board; }
    const CTerrainTypes&      GetTerrainTypes() const { return *terrainTypes; }
    const CFightParams&       GetFightParams() const { return fight; }
    int                       GetUnitCount() const { return static_cast<int>(units.size()); }
    const CUnit*              GetUnit(int index) const;
    const std::vector<CUnit>& GetUnits() const { return units; }

    int  GetEffectiveAttack(int unit) const;
    int  GetEffectiveDefense(int unit) const;
    int  GetEffectiveMovement(int unit) const;
    int  GetEffectiveFireMax(int unit) const;
    bool IsAlive(int unit) const;
    // Team queries (team 1 or 2). Headquarters are never ready or living
    // fighting units; destroyed units count nowhere.
    int  CountReadyUnits(int team) const;
    int  CountLivingUnits(int team) const;
    int  HeadquartersHitpoints(int team) const;
    int  GetTeamHitpoints(int team) const;
    bool HasTeamLost(int team) const;
    int  GetStartHitpoints(int team) const;
    int  GetMaxHitpoints() const { return maxHitpoints; }

    static int OtherTeam(int team) { return 3 - team; }

private:
    bool        AreTeamsPlayable(const std::string& levelName) const;
    void        PlaceTeamUnit(int team, const CTeamEntry& entry, const std::string& effectSpecial,
                              std::vector<CUnitSetup>* setups);
    Refusal     CheckActor(int unit) const;
    Refusal     CheckMove(const CCommand& command) const;
    Refusal     CheckFire(const CCommand& command) const;
    int         TargetAt(int shooter, int x, int y) const;
    void        DoMove(const CCommand& command, CApplyResult& result);
    void        DoUndo(int unit, CApplyResult& result);
    void        DoFire(const CCommand& command, CApplyResult& result);
    void        DoAttack(int shooter, int target, CApplyResult& result);
    void        DoBoost(int general, int target, CApplyResult& result);
    void        DoFinish(int unit, CApplyResult& result);
    void        DoEndTurn(CApplyResult& result);
    void        ReturnToOrigin(int unit, CApplyResult& result);
    void        CheckGameOver(CApplyResult& result);
    void        RemoveIfDestroyed(int unit, CApplyResult& result);
    CCombatSide SideOf(const CUnit& unit, bool reachesOther) const;
    void        LogExchange(int attacker, int defender, const CCombatExchange& exchange) const;
    CUnit*      MutableUnit(int index);
    template <typename Filter, typename Value> int SumOverTeam(int team, Filter filter, Value value) const;

    CGridManager                         board;
    std::shared_ptr<const CHeightmap>    heightmap;
    std::shared_ptr<const CTerrainTypes> terrainTypes;
    std::vector<CUnit>                   units;
    CFightParams                         fight;
    uint64_t                             seed                      = 0;
    int                                  startHitpoints[teamCount] = {0, 0};
    int                                  maxHitpoints              = 0;
    int                                  currentTeam               = 1;
    int                                  gameState                 = gamePlaying;
    int                                  turn                      = 1;
    int                                  commandCount              = 0;
    int                                  movedUnit                 = -1; // the unit with a tentative move, -1 none
    int                                  originX = -1, originY = -1;     // where the moved unit's turn began
    bool                                 traceExchanges = true;
};
