#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/Vector3.h"
#include "rules/GridManager.h"
#include "rules/Match.h"
#include "ui/HudState.h"

class CCamera;
class CFrustum;
class CHeightmap;
class CInterface;
class CParticleSystem;
class CSea;
class CSkyBox;
class CSoundLibrary;
class CTerrain;
class CTerrainTypes;
class CTextureManager;
class CUnitFigures;
class CWorldObjects;

// What the local player has chosen in the interface: the selected unit, its
// mode and its areas. It is no part of the match.
struct CBattleSelection {
    int       unit     = -1;
    bool      fireMode = false;
    CTileArea moveArea;
    CTileArea fireArea;
};

// The battle view: the scene of a level (terrain, sky, sea, objects,
// particles, the heads-up display) and the match played on it. It turns the
// pointer, clicks and keys into commands, hands every command (also those of
// other seats, through Submit) to the match and turns what happened into
// walks, shots, effects, sounds and messages, driven by frame time. While a
// unit walks or a message runs it holds the player's input, as a player
// expects; the match itself has long decided. Every per-level object is
// owned here and released by UnloadLevel. The class spans BattleView.cpp
// (loading), BattleInput.cpp (input and events), BattleFrame.cpp (the frame)
// and BattleHud.cpp (what the heads-up display shows).
class CBattleView {
public:
    static constexpr int unitModeNone = 0;
    static constexpr int unitModeMove = 1;
    static constexpr int unitModeFire = 2;
    static constexpr int gamePlaying  = CMatch::gamePlaying;
    static constexpr int gameFinished = CMatch::gameFinished;

    // The finishing fireworks rise over the middle of the map.
    static constexpr const char* gameOverEffectName = "gameover.xml";

    // Called after each command the match accepted, with the match after it.
    using CommandObserver = std::function<void(const CCommand& command, const CMatch& match)>;

    // The sound library (borrowed, may be null) plays the units' sounds.
    explicit CBattleView(const char* name, CSoundLibrary* sound = nullptr);
    ~CBattleView();
    CBattleView(const CBattleView&)            = delete;
    CBattleView& operator=(const CBattleView&) = delete;

    // False, with nothing of the level kept, when it cannot be drawn.
    bool LoadLevel(const char* name);
    // The match on this level's board: both team files, the combat values,
    // then the first victory check. The seed decides who moves first. False
    // when a team file cannot be read or leaves a team that has lost at once
    // (logged); what was loaded stays, and the level is then not playable.
    bool LoadTeams(uint64_t seed);
    bool UnloadLevel();
    // Announces the team to move: its turn message, and its view of the
    // board for the camera (TakeTeamView), as soon as no other message runs.
    void ShowTurnMessage();

    // Hands the view (both borrowed) to whatever culls or picks with it.
    void SetView(const CCamera* camera, const CFrustum* frustum);

    // ---- the player's input (BattleInput.cpp) ----
    // The tile under the cursor follows the pointer.
    void OnPointerMoved(int mouseX, int mouseY);
    // Left button: the finish screen, the end-turn button, or a click on the pointer tile.
    void OnClick();
    // A click on tile (x, y): select, switch to another ready unit, drive,
    // fire or end the action; a click the rules refuse says why (GetNotice).
    void ClickTile(int x, int y);
    // Right button.
    void OnCancel();
    // Space.
    void OnFireMode();
    // Enter.
    void OnFinishUnit();
    // The end-turn button. Held while a message runs; with units of the
    // team still ready, the first press only asks for a second one.
    void EndTurn();
    // H or '?': the help panel with the keys.
    void ToggleHelp() { helpShown = !helpShown; }
    bool IsHelpShown() const { return helpShown; }
    // C or Home: the camera returns to the team to move's view.
    void RequestTeamView() { teamViewDue = match != nullptr; }
    // The view of the board the camera is to fly to, once each time it is
    // due (a turn is announced, or RequestTeamView); false otherwise.
    bool TakeTeamView(CVector3& eye, CVector3& center);
    // The line under the team to move: why the last click or key did
    // nothing, or what a second press does; empty once it has faded.
    const std::string& GetNotice() const { return notice; }
    // The finish screen's button was pressed: the player leaves the game.
    bool IsQuitRequested() const { return quitRequested; }

    // The one door of every seat: applies the command to the match and shows
    // what happened. A refused command changes nothing; its reason is kept.
    CApplyResult Submit(const CCommand& command);
    void         SetCommandObserver(CommandObserver observer) { commandObserver = std::move(observer); }
    // The match becomes a copy of `state` (a match of this level: a game
    // continued or a replay stepped) and is shown at once, without walks.
    void ResetMatch(const CMatch& state);
    // Walks and messages run this many times as fast (a replay's speed).
    void SetTimeScale(float scale) { timeScale = scale; }
    // What the display shows about a replay; inactive for a game.
    void SetReplayStatus(const CHudReplay& status) { hudState.replay = status; }
    // Another seat plays the team to move (the computer, or a player at
    // another computer): this screen gives no commands, and the end-turn
    // button's place shows the line. Empty: this screen plays.
    void SetOtherSeat(const std::string& line) { otherSeat = line; }
    // What a network game waits for, in a box over the scene; empty: nothing.
    void    SetWaiting(const std::string& text) { waiting = text; }
    Refusal GetLastRefusal() const { return lastRefusal; }
    // A unit walks or a message runs: what the player sees has not caught up.
    bool IsAnimating() const;

    // One frame's view work and drawing; returns the polygons drawn (BattleFrame.cpp).
    int LevelFrame(bool editorMode);
    // The heads-up display of the frame (part of LevelFrame; on its own for
    // tools that time it).
    void DrawInterface();

    bool IsLoaded() const { return loaded; }
    // Loaded, and the teams make a game that can be played.
    bool               IsPlayable() const { return loaded && playable; }
    const std::string& GetName() const { return name; }
    CHeightmap*        GetHeightmap() const { return heightmap.get(); }
    CTerrain*          GetTerrain() const { return terrain.get(); }
    CTextureManager*   GetTextures() const { return textures.get(); }
    CWorldObjects*     GetObjects() const { return objects.get(); }
    // The level's tiles as the editor paints them; the match plays on a copy.
    CGridManager*           GetGrid() const { return grid.get(); }
    CParticleSystem*        GetParticles() const { return particles.get(); }
    CTerrainTypes*          GetTerrainTypes() const { return terrainTypes.get(); }
    CInterface*             GetInterface() const { return interface.get(); }
    CSkyBox*                GetSky() const { return sky.get(); }
    CSea*                   GetSea() const { return sea.get(); }
    const CMatch*           GetMatch() const { return match.get(); }
    const CUnitFigures*     GetFigures() const { return figures.get(); }
    const CBattleSelection& GetSelection() const { return selection; }
    int                     GetSelectedUnit() const { return selection.unit; }
    int                     GetUnitMode() const;
    int                     GetCurrentTeam() const { return match ? match->GetCurrentTeam() : 1; }
    int                     GetGameState() const { return match ? match->GetGameState() : gamePlaying; }
    int                     GetActiveX() const { return activeX; }
    int                     GetActiveY() const { return activeY; }
    int                     GetGameOverEffect() const { return gameOverEffect; }

private:
    std::string LevelPath(const char* format, const char* file) const;
    // Releases whatever was built; false. The name stays for the notice.
    bool FailLoading();
    // One line for the tiles whose terrain type the types file does not list.
    void ReportUnknownTerrain() const;
    // Debug and editor views let clicks through running messages.
    static bool IsInspecting();

    // BattleInput.cpp: the selection, and the events shown.
    void ClickWithSelection(int x, int y);
    void Select(int unit);
    void Deselect();
    void EnterFireMode();
    void Present(const std::vector<CMatchEvent>& events);
    // Shows the rules' reason (nothing for none).
    void Refuse(Refusal refusal);
    void SetNotice(const std::string& text);
    // Per frame: the pending turn announcement and the notice's fading.
    void UpdateAnnouncements(float frameTime);

    // BattleFrame.cpp.
    void AddPointerDebugLines() const;
    void ColourSelection(bool editorMode);
    int  Draw(bool editorMode);
    int  DrawParticles();

    // BattleHud.cpp: its messages and buttons, and the record of what it
    // shows, filled from the match each frame.
    bool IsMessageRunning() const;
    bool IsEndTurnHovered() const;
    bool IsFinishButtonHovered() const;
    void StartTurnMessage();
    void ShowAttackMessage(AttackMessage message);
    void SetFinished();
    void UpdateHover(int mouseX, int mouseY);
    void ShowUnitDescription(int unit);
    // False (nothing filled) before the match exists.
    bool FillHudState();
    void FillAttackPreview();

    std::string                      name;
    bool                             loaded   = false;
    bool                             playable = true;
    CSoundLibrary*                   sound    = nullptr;
    std::shared_ptr<CHeightmap>      heightmap;
    std::unique_ptr<CTerrain>        terrain;
    std::unique_ptr<CTextureManager> textures;
    std::unique_ptr<CWorldObjects>   objects;
    std::unique_ptr<CGridManager>    grid;
    std::unique_ptr<CParticleSystem> particles;
    std::shared_ptr<CTerrainTypes>   terrainTypes;
    std::unique_ptr<CSkyBox>         sky;
    std::unique_ptr<CSea>            sea;
    std::unique_ptr<CMatch>          match;
    std::unique_ptr<CUnitFigures>    figures;
    std::unique_ptr<CInterface>      interface;
    CBattleSelection                 selection;
    CommandObserver                  commandObserver;
    Refusal                          lastRefusal = Refusal::none;
    CHudState                        hudState; // refilled every frame; kept for its unit list's room
    std::string                      notice;
    float                            noticeSeconds  = 0.0f;  // until the notice has faded
    int                              endTurnAsked   = -1;    // the turn whose end waits for a second press
    bool                             turnPending    = false; // a turn to announce once no message runs
    bool                             teamViewDue    = false;
    bool                             helpShown      = false;
    int                              gameOverEffect = -1;
    int                              activeX        = 0;
    int                              activeY        = 0;
    bool                             quitRequested  = false;
    float                            timeScale      = 1.0f;
    std::string                      otherSeat;
    std::string                      waiting;
};
