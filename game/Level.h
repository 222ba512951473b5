#pragma once

#include <memory>
#include <string>

#include "game/GameRules.h"
#include "game/GridManager.h"
#include "core/Vector3.h"
#include "ui/HudState.h"

class CCamera;
class CFrustum;
class CHeightmap;
class CInterface;
class CParticleSystem;
class CSea;
class CSkyBox;
class CTerrain;
class CTerrainTypes;
class CTextureManager;
class CUnitManager;
class CWorldObjects;

// One running game: the level directory's objects, the rules of play
// (CGameRules) and the pointer tile. The level turns the pointer and the
// keys into commands for the rules, and what the rules report into effects
// and messages. Every per-level object is owned here and released by
// UnloadLevel. The class spans Level.cpp (loading), LevelCommands.cpp,
// LevelFrame.cpp and LevelInterface.cpp (what the heads-up display shows).
class CLevel {
public:
    static constexpr int unitModeNone = CGameRules::unitModeNone;
    static constexpr int unitModeMove = CGameRules::unitModeMove;
    static constexpr int unitModeFire = CGameRules::unitModeFire;
    static constexpr int gamePlaying  = CGameRules::gamePlaying;
    static constexpr int gameFinished = CGameRules::gameFinished;

    // Water lies at this many heightmap sample units.
    static constexpr float waterLevel = 45.0f;
    // The finishing fireworks rise over the middle of the map.
    static constexpr const char* gameOverEffectName = "gameover.xml";

    explicit CLevel(const char* name);
    ~CLevel();
    CLevel(const CLevel&)            = delete;
    CLevel& operator=(const CLevel&) = delete;

    // False, with nothing of the level kept, when it cannot be drawn.
    bool LoadLevel(const char* name);
    // Both team files, then the combat parameters, then the first victory
    // check. False when a team file cannot be read or leaves a team that has
    // lost at once (logged); what was loaded stays, and the level is then
    // not playable.
    bool LoadTeams();
    bool UnloadLevel();
    // Starts the current team's turn message unless a message is running.
    void ShowTurnMessage();

    // Hands the view (both borrowed) to whatever culls or picks with it.
    void SetView(const CCamera* camera, const CFrustum* frustum);

    // ---- commands from the input (LevelCommands.cpp) ----
    // The tile under the cursor follows the pointer.
    void OnPointerMoved(int mouseX, int mouseY);
    // Left button: the finish screen, the end-turn button, or a click on the pointer tile.
    void OnClick();
    // Right button.
    void OnCancel();
    // Space.
    void OnFireMode();
    // Enter.
    void OnFinishUnit();
    // The end-turn button.
    void EndTurn();

    // One frame's level work and drawing; returns the polygons drawn (LevelFrame.cpp).
    int LevelFrame(bool editorMode);
    // The heads-up display of the frame (part of LevelFrame; on its own for
    // tools that time it).
    void DrawInterface();

    // The level loaded and can be drawn and played.
    bool IsLoaded() const { return loaded; }
    // Loaded, and the teams make a game that can be played.
    bool               IsPlayable() const { return loaded && playable; }
    const std::string& GetName() const { return name; }
    CHeightmap*        GetHeightmap() const { return heightmap.get(); }
    CTerrain*          GetTerrain() const { return terrain.get(); }
    CTextureManager*   GetTextures() const { return textures.get(); }
    CWorldObjects*     GetObjects() const { return objects.get(); }
    CGridManager*      GetGrid() const { return grid.get(); }
    CUnitManager*      GetUnits() const { return units.get(); }
    CParticleSystem*   GetParticles() const { return particles.get(); }
    CTerrainTypes*     GetTerrainTypes() const { return terrainTypes.get(); }
    CSkyBox*           GetSky() const { return sky.get(); }
    CSea*              GetSea() const { return sea.get(); }
    CGameRules*        GetRules() const { return rules.get(); }
    CInterface*        GetInterface() const { return interface.get(); }
    int                GetActiveX() const { return activeX; }
    int                GetActiveY() const { return activeY; }
    const Selection&   GetSelection() const;
    int                GetUnitMode() const;
    int                GetCurrentTeam() const;
    int                GetGameState() const;
    int                GetGameOverEffect() const { return gameOverEffect; }

private:
    std::string LevelPath(const char* format, const char* file) const;
    // Releases whatever was built; false. The name stays for the notice.
    bool FailLoading();
    // Debug and editor views let clicks through running messages.
    static bool IsInspecting();
    // Hands a command to the rules and shows what came of it.
    void Execute(const CCommand& command);
    void Present(const CCommandOutcome& outcome);

    // LevelFrame's parts.
    void AddPointerDebugLines() const;
    void ColourSelection(bool editorMode);
    int  Draw(bool editorMode);

    // The heads-up display (LevelInterface.cpp): its messages and buttons,
    // and the record of what it shows, filled from the rules each frame.
    bool IsMessageRunning() const;
    bool IsEndTurnHovered() const;
    bool IsFinishButtonHovered() const;
    void StartTurnMessage();
    void ShowAttackMessage(AttackMessage message);
    void SetFinished();
    void UpdateHover(int mouseX, int mouseY);
    void ShowUnitDescription(int unit);
    // False (nothing filled) before the board exists.
    void ReportUnknownTerrain() const;
    bool FillHudState();
    void FillAttackPreview();
    // The particle system: updates and draws the emitters (triangles drawn),
    // starts an effect (its handle, -1 none) and moves one.
    int  DrawParticles();
    int  SpawnEffect(const char* effectName, const CVector3& position);
    void MoveEffect(int handle, const CVector3& position);

    std::string                      name;
    bool                             loaded   = false;
    bool                             playable = true;
    std::unique_ptr<CHeightmap>      heightmap;
    std::unique_ptr<CTerrain>        terrain;
    std::unique_ptr<CTextureManager> textures;
    std::unique_ptr<CWorldObjects>   objects;
    std::unique_ptr<CGridManager>    grid;
    std::unique_ptr<CUnitManager>    units;
    std::unique_ptr<CParticleSystem> particles;
    std::unique_ptr<CTerrainTypes>   terrainTypes;
    std::unique_ptr<CSkyBox>         sky;
    std::unique_ptr<CSea>            sea;
    std::unique_ptr<CGameRules>      rules;
    std::unique_ptr<CInterface>      interface;
    CHudState                        hudState; // refilled every frame; kept for its unit list's room
    int                              gameOverEffect = -1;
    int                              activeX        = 0;
    int                              activeY        = 0;
};
