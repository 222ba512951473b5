#include "view/BattleView.h"

#include <cstdio>

#include "core/FrameContext.h"
#include "core/Heightmap.h"
#include "core/Logger.h"
#include "core/TerrainParams.h"
#include "fx/ParticleSystem.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"
#include "rules/TerrainTypes.h"
#include "ui/Interface.h"
#include "view/UnitFigures.h"

CBattleView::CBattleView(const char* levelName, CSoundLibrary* soundLibrary) : sound(soundLibrary) {
    LoadLevel(levelName);
}

CBattleView::~CBattleView() {
    UnloadLevel();
}

std::string CBattleView::LevelPath(const char* format, const char* file) const {
    char path[1024];
    snprintf(path, sizeof path, format, name.c_str(), file);
    return path;
}

// Builds every per-level object. Each object handles its own missing data,
// except what the level cannot be drawn without: the terrain parameters and
// a terrain made from the heightmap. Without them nothing of the level is
// kept (IsLoaded is false) and the failure is logged.
bool CBattleView::LoadLevel(const char* levelName) {
    if (levelName == nullptr) {
        return false;
    }
    name = levelName;
    CTerrainParams params;
    if (!params.Load(LevelPath("%s\\Terrain\\%s", "ter_params.ini").c_str())) {
        return FailLoading();
    }
    heightmap = std::make_shared<CHeightmap>(LevelPath("%s\\Terrain\\%s", "ter_heightmap.bmp").c_str(),
                                             params.GetMaxWidth(), params.GetMaxHeight());
    textures  = std::make_unique<CTextureManager>();
    particles = std::make_unique<CParticleSystem>(textures.get());
    objects =
        std::make_unique<CWorldObjects>(LevelPath("%s\\%s", "objects.xml").c_str(), textures.get(), heightmap.get());
    terrainTypes                       = std::make_shared<CTerrainTypes>("Terrain\\terraintypes.xml");
    terrain                            = std::make_unique<CTerrain>();
    const std::string terrainDirectory = LevelPath("%s\\Terrain", "");
    if (!terrain->Create(terrainDirectory.c_str(), heightmap.get(), textures.get())) {
        return FailLoading();
    }
    const float worldWidth = static_cast<float>(heightmap->GetWidth() - 1) * heightmap->GetSpacing();
    sky                    = std::make_unique<CSkyBox>(LevelPath("%s\\Skydome", "").c_str(), *textures, worldWidth);
    sea  = std::make_unique<CSea>(terrainDirectory.c_str(), worldWidth, heightmap->GetHeightScale(), CMatch::waterLevel,
                                 *textures);
    grid = std::make_unique<CGridManager>(LevelPath("%s\\Terrain\\%s", "terrain.xml").c_str(), heightmap.get());
    sea->SetGround(*heightmap);
    grid->SetWaterHeight(sea->GetWaterHeight());
    ReportUnknownTerrain();
    // The interface is laid out for the window as it is now.
    interface      = std::make_unique<CInterface>("Interface\\interface.xml", GetWindowWidth(), GetWindowHeight());
    activeX        = 0;
    activeY        = 0;
    gameOverEffect = -1;
    loaded         = true;
    return true;
}

// Tiles naming a terrain type the types file does not list cannot be
// entered; one line says how many there are and names the first. Tiles the
// tile file never set (-1), and a types file that lists nothing, have lines
// of their own.
void CBattleView::ReportUnknownTerrain() const {
    if (terrainTypes->GetCount() == 0) {
        return;
    }
    int unknown = 0, firstX = 0, firstY = 0;
    for (int y = CGridManager::gridSize - 1; y >= 0; --y) {
        for (int x = CGridManager::gridSize - 1; x >= 0; --x) {
            const int type = grid->GetTile(x, y).terrainType;
            if (type != -1 && !terrainTypes->IsValid(type)) {
                ++unknown;
                firstX = x;
                firstY = y;
            }
        }
    }
    if (unknown > 0) {
        GetLogger()->LogError(
            "CBattleView::LoadLevel: %d tiles of %s have no terrain type of the %d known, the first at "
            "(%d, %d) with %d; they cannot be entered",
            unknown, LevelPath("%s\\Terrain\\%s", "terrain.xml").c_str(), terrainTypes->GetCount(), firstX, firstY,
            grid->GetTile(firstX, firstY).terrainType);
    }
}

// Releases whatever was built; the name stays for the player's notice.
bool CBattleView::FailLoading() {
    const std::string levelName = name;
    GetLogger()->LogError("CBattleView::LoadLevel: the level %s could not be loaded", levelName.c_str());
    UnloadLevel();
    name = levelName;
    return false;
}

// Releases in dependency order; a second call releases nothing twice.
bool CBattleView::UnloadLevel() {
    figures.reset(); // it borrows the match, the objects and the particles
    match.reset();
    selection = CBattleSelection();
    loaded    = false;
    name.clear();
    // The emitters hold textures of the cache, so they go before it is cleared.
    if (particles) {
        particles->DestroyAll();
    }
    particles.reset();
    if (textures) {
        textures->Clear();
    }
    textures.reset();
    terrain.reset();
    objects.reset();
    grid.reset();
    heightmap.reset();
    terrainTypes.reset();
    sky.reset();
    sea.reset();
    interface.reset();
    return true;
}

// The match plays on a copy of the level's tiles as they are now.
bool CBattleView::LoadTeams(uint64_t seed) {
    if (!grid) {
        return false;
    }
    figures.reset();
    match = std::make_unique<CMatch>(*grid, heightmap, terrainTypes, seed);
    std::vector<CUnitSetup> setups;
    playable = match->LoadTeams(name, &setups);
    figures  = std::make_unique<CUnitFigures>(*match, objects.get(), heightmap.get(), particles.get(), sound);
    figures->AddFigures(setups);
    CUnitFigures* shown = figures.get();
    objects->SetUnitLookup([shown](int index, CUnitLook& look) { return shown->GetUnitLook(index, look); });
    Present(match->Start().events);
    return playable;
}

void CBattleView::ResetMatch(const CMatch& state) {
    if (!match || !figures) {
        return;
    }
    *match = state;
    match->SetTraceExchanges(true);
    Deselect();
    // What was said or asked about the old position no longer holds.
    endTurnAsked = -1;
    notice.clear();
    turnPending = turnPending && !match->IsGameOver();
    figures->ShowMatchState();
    if (interface) {
        interface->SetFinished(match->IsGameOver());
    }
    if (gameOverEffect != -1 && !match->IsGameOver() && particles) {
        particles->StopRespawn(gameOverEffect);
        gameOverEffect = -1;
    }
}

void CBattleView::SetView(const CCamera* camera, const CFrustum* frustum) {
    if (terrain) {
        terrain->SetCamera(camera);
        terrain->SetFrustum(frustum);
    }
    if (objects) {
        objects->SetFrustum(frustum);
    }
    if (particles) {
        particles->SetFrustum(frustum);
    }
}

int CBattleView::GetUnitMode() const {
    if (selection.unit == -1) {
        return unitModeNone;
    }
    return selection.fireMode ? unitModeFire : unitModeMove;
}
