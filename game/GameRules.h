#pragma once

#include <string>

#include "game/Combat.h"
#include "game/TileArea.h"

class CGridManager;
class CUnitManager;
struct CTeamEntry;

// What a player (or a computer opponent, a saved game, a replay, the
// network) can order. Only a click names a tile.
enum class CommandKind {
    click,      // select the unit on the tile, move there, fire at it
    cancel,     // undo a move, or leave fire mode
    fireMode,   // enter fire mode, or end the turn when nothing is selected
    finishUnit, // finish the selected unit's action in move mode
    endTurn,    // hand the turn to the other team
};

// One command as the rules receive it.
struct CCommand {
    CommandKind kind = CommandKind::click;
    int         x    = 0; // tile column of a click
    int         y    = 0; // tile row of a click
};

// What a command set off that the player should see or hear, in this order.
struct CCommandOutcome {
    AttackMessage attackMessage = AttackMessage::none; // an attack's message
    bool          turnStarted   = false;               // the current team's turn began: its turn message
    bool          gameOver      = false;               // the game ended; the current team has won
};

// What a click on a tile in fire mode would do to the unit there, decided
// as the click decides it: an attack with the exchange it would resolve and
// the hit points both sides would be left with, or a general's boost with
// the values it would give.
struct CShotPreview {
    enum Kind { none = 0, attack = 1, boost = 2 };

    Kind           kind    = none;
    int            shooter = -1;
    int            target  = -1;
    CombatExchange exchange;
    int            shooterHitpointsAfter = 0;
    int            targetHitpointsAfter  = 0;
    int            boostAttack = 0, boostDefense = 0, boostMovement = 0, boostFirerange = 0;
};

// The selected unit and its areas. Areas hold each tile at most once.
struct Selection {
    int       selectedUnit  = -1;
    int       originX       = -1; // the unit's tile when it was selected
    int       originY       = -1;
    int       currentX      = -1; // the tile it stands on now, perhaps after a tentative move
    int       currentY      = -1;
    float     currentHeight = 0.0f; // height of the current tile
    int       moveRange     = 0;
    CTileArea moveArea;
    int       fireMax = 0;
    int       fireMin = 0;
    CTileArea fireArea;
};

// The state of play and the rules of a turn: selection, unit mode, current
// team and game state, changed only by commands. Works on the grid and the
// units it is given (borrowed) and needs no GL context, so a stream of
// commands plays a whole game. Moves are tentative until the unit's action
// ends: the grid keeps the unit on its origin tile until then.
class CGameRules {
public:
    enum UnitMode { unitModeNone = 0, unitModeMove = 1, unitModeFire = 2 };
    enum GameState { gamePlaying = 1, gameFinished = 2 };

    CGameRules(CGridManager& grid, CUnitManager& units, int firstTeam);
    CGameRules(const CGameRules&)            = delete;
    CGameRules& operator=(const CGameRules&) = delete;

    // Both team files of the level directory, then its "fight.xml". Stops
    // (false) at a team file that cannot be read; what was loaded stays.
    // Also false (logged, naming the file) when a team has no unit that can
    // fight: the game would be won before the first command.
    bool LoadTeams(const std::string& levelName);
    // The first victory check, before any command: a team that has no
    // fighting unit or no headquarters has lost at once.
    CCommandOutcome StartGame();

    // Carries out one command; commands that do not apply are ignored.
    CCommandOutcome Apply(const CCommand& command);
    // Walks the units by the frame time (seconds).
    void Update(float frameTime);
    // What clicking tile (x, y) would do now; kind none unless the click
    // would fire at the unit there.
    CShotPreview PreviewShot(int x, int y) const;

    const Selection& GetSelection() const { return selection; }
    int              GetSelectedUnit() const { return selection.selectedUnit; }
    int              GetUnitMode() const { return unitMode; }
    int              GetCurrentTeam() const { return currentTeam; }
    int              GetGameState() const { return gameState; }
    bool             IsGameOver() const { return gameState == gameFinished; }

    static int OtherTeam(int team) { return 3 - team; }

private:
    bool AreTeamsPlayable(const std::string& levelName) const;
    void PlaceTeamUnit(int team, const CTeamEntry& entry, const std::string& effectSpecial);

    void OnClick(int x, int y, CCommandOutcome& outcome);
    void Select(int unit, int x, int y);
    void ClickInMoveMode(int x, int y);
    void ClickInFireMode(int x, int y, CCommandOutcome& outcome);
    // The unit on (x, y) that the selected unit in fire mode may fire at:
    // in its fire area, not itself, and of the other team unless the
    // selected unit is a general; -1 none.
    int  TargetAt(int x, int y) const;
    void OnCancel();
    void EnterFireMode();
    void FinishUnit(CCommandOutcome& outcome);
    void EndTurn(CCommandOutcome& outcome);
    void CheckGameOver(CCommandOutcome& outcome);
    void ReturnToOrigin(int unit);
    void ComputeMoveArea();
    void ComputeFireArea();
    void Deselect();

    CGridManager& grid;
    CUnitManager& units;
    Selection     selection;
    int           unitMode    = unitModeNone;
    int           currentTeam = 1;
    int           gameState   = gamePlaying;
};
