#pragma once

#include <memory>
#include <string>

class CCamera;
class CFrustum;
class CGridManager;
class CHeightmap;
class CSea;
class CSkyBox;
class CTerrain;
class CTerrainTypes;
class CTextureManager;
class CUnitManager;
struct CTeamEntry;
class CWorldObjects;

// The selected unit and the areas it may move to and fire at. Areas hold at
// most one entry per tile.
struct Selection {
    static constexpr int maxTiles = 32 * 32;

    int   selectedUnit          = -1;
    int   originX               = -1;
    int   originY               = -1;
    int   currentX              = -1;
    int   currentY              = -1;
    float currentHeight         = 0.0f;
    int   moveRange             = 0;
    int   moveCount             = 0;
    int   moveArea[maxTiles][2] = {};
    int   fireMax               = 0;
    int   fireMin               = 0;
    int   fireCount             = 0;
    int   fireArea[maxTiles][2] = {};
};

// One running game: the level directory's objects and the state of play.
// Every per-level object is owned here and released by UnloadLevel.
class CLevel {
public:
    enum UnitMode { unitModeNone = 0, unitModeMove = 1, unitModeFire = 2 };
    enum GameState { gamePlaying = 1, gameFinished = 2 };

    // Water lies at this many heightmap sample units.
    static constexpr float waterLevel = 45.0f;

    explicit CLevel(const char* name);
    ~CLevel();
    CLevel(const CLevel&)            = delete;
    CLevel& operator=(const CLevel&) = delete;

    bool LoadLevel(const char* name);
    // Both team files, then the combat parameters. Stops (false) at a team
    // file that cannot be read; what was loaded before stays.
    bool LoadTeams();
    bool UnloadLevel();
    void Deselect();

    // Hands the view (both borrowed) to whatever culls or picks with it.
    void SetView(const CCamera* camera, const CFrustum* frustum);
    // The tile under the cursor follows the pointer.
    void OnPointerMoved(int mouseX, int mouseY);
    // One frame's level work and drawing; returns the polygons drawn.
    int LevelFrame(bool editorMode);

    const std::string& GetName() const { return name; }
    CHeightmap*        GetHeightmap() const { return heightmap.get(); }
    CTerrain*          GetTerrain() const { return terrain.get(); }
    CTextureManager*   GetTextures() const { return textures.get(); }
    CWorldObjects*     GetObjects() const { return objects.get(); }
    CGridManager*      GetGrid() const { return grid.get(); }
    CUnitManager*      GetUnits() const { return units.get(); }
    CTerrainTypes*     GetTerrainTypes() const { return terrainTypes.get(); }
    CSkyBox*           GetSky() const { return sky.get(); }
    CSea*              GetSea() const { return sea.get(); }
    int                GetActiveX() const { return activeX; }
    int                GetActiveY() const { return activeY; }
    const Selection&   GetSelection() const { return selection; }
    int                GetUnitMode() const { return unitMode; }
    int                GetCurrentTeam() const { return currentTeam; }
    int                GetGameState() const { return gameState; }

private:
    std::string LevelPath(const char* format, const char* file) const;
    void        AddPointerDebugLines() const;
    bool        LoadTeam(int team);
    void        PlaceTeamUnit(int team, const CTeamEntry& entry, const std::string& effectSpecial);

    std::string                      name;
    std::unique_ptr<CHeightmap>      heightmap;
    std::unique_ptr<CTerrain>        terrain;
    std::unique_ptr<CTextureManager> textures;
    std::unique_ptr<CWorldObjects>   objects;
    std::unique_ptr<CGridManager>    grid;
    std::unique_ptr<CUnitManager>    units;
    std::unique_ptr<CTerrainTypes>   terrainTypes;
    std::unique_ptr<CSkyBox>         sky;
    std::unique_ptr<CSea>            sea;
    int                              gameOverEffect = -1;
    int                              activeX        = 0;
    int                              activeY        = 0;
    Selection                        selection;
    int                              unitMode    = unitModeNone;
    int                              currentTeam = 1;
    int                              gameState   = gamePlaying;
};
