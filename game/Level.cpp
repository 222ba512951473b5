#include "game/Level.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/Application.h"
#include "core/FrameContext.h"
#include "core/Logger.h"
#include "core/PropertyFile.h"
#include "fx/ParticleSystem.h"
#include "game/GridManager.h"
#include "core/Heightmap.h"
#include "game/TerrainParams.h"
#include "game/TerrainTypes.h"
#include "game/UnitManager.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"
#include "ui/Interface.h"

CLevel::CLevel(const char* levelName) {
    LoadLevel(levelName);
}

CLevel::~CLevel() {
    UnloadLevel();
}

std::string CLevel::LevelPath(const char* format, const char* file) const {
    char path[1024];
    snprintf(path, sizeof path, format, name.c_str(), file);
    return path;
}

// Builds every per-level object. Each object handles its own missing data,
// except what the level cannot be drawn without: the terrain parameters and
// a terrain made from the heightmap. Without them nothing of the level is
// kept (IsLoaded is false) and the failure is logged.
bool CLevel::LoadLevel(const char* levelName) {
    if (levelName == nullptr) {
        return false;
    }
    name = levelName;
    CTerrainParams params;
    if (!params.Load(LevelPath("%s\\Terrain\\%s", "ter_params.ini").c_str())) {
        return FailLoading();
    }
    const float maxWidth  = params.GetMaxWidth();
    const float maxHeight = params.GetMaxHeight();

    heightmap =
        std::make_unique<CHeightmap>(LevelPath("%s\\Terrain\\%s", "ter_heightmap.bmp").c_str(), maxWidth, maxHeight);
    textures  = std::make_unique<CTextureManager>();
    particles = std::make_unique<CParticleSystem>(textures.get());
    objects =
        std::make_unique<CWorldObjects>(LevelPath("%s\\%s", "objects.xml").c_str(), textures.get(), heightmap.get());
    terrainTypes                       = std::make_unique<CTerrainTypes>("Terrain\\terraintypes.xml");
    terrain                            = std::make_unique<CTerrain>();
    const std::string terrainDirectory = LevelPath("%s\\Terrain", "");
    if (!terrain->Create(terrainDirectory.c_str(), heightmap.get(), textures.get())) {
        return FailLoading();
    }
    const float worldWidth = static_cast<float>(heightmap->GetWidth() - 1) * heightmap->GetSpacing();
    sky                    = std::make_unique<CSkyBox>(LevelPath("%s\\Skydome", "").c_str(), *textures, worldWidth);
    sea  = std::make_unique<CSea>(terrainDirectory.c_str(), worldWidth, heightmap->GetHeightScale(), waterLevel,
                                 *textures);
    grid = std::make_unique<CGridManager>(LevelPath("%s\\Terrain\\%s", "terrain.xml").c_str(), heightmap.get());
    grid->SetWaterHeight(sea->GetWaterHeight());
    ReportUnknownTerrain();
    // Units take the tile geometry and the tiles from the grid, so they come after it.
    units = std::make_unique<CUnitManager>(objects.get(), heightmap.get(), grid.get(), terrainTypes.get(),
                                           particles.get(), &GetApp()->GetSoundLibrary());
    CUnitManager* unitList = units.get();
    objects->SetUnitLookup([unitList](int index, CUnitLook& look) { return unitList->GetUnitLook(index, look); });
    // The interface is laid out for the window as it is now.
    interface = std::make_unique<CInterface>("Interface\\interface.xml", GetWindowWidth(), GetWindowHeight());

    activeX = 0;
    activeY = 0;
    // The starting team is the only random choice of the rules.
    srand(static_cast<unsigned>(time(nullptr)));
    rules          = std::make_unique<CGameRules>(*grid, *units, rand() % 2 + 1);
    gameOverEffect = -1;
    loaded         = true;
    return true;
}

// Tiles naming a terrain type the types file does not list cannot be
// entered; one line says how many there are and names the first. Tiles the
// tile file never set (-1), and a types file that lists nothing, have lines
// of their own.
void CLevel::ReportUnknownTerrain() const {
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
        GetLogger()->LogError("CLevel::LoadLevel: %d tiles of %s have no terrain type of the %d known, the first at "
                              "(%d, %d) with %d; they cannot be entered",
                              unknown, LevelPath("%s\\Terrain\\%s", "terrain.xml").c_str(), terrainTypes->GetCount(),
                              firstX, firstY, grid->GetTile(firstX, firstY).terrainType);
    }
}

// Releases whatever was built; the name stays for the player's notice.
bool CLevel::FailLoading() {
    const std::string levelName = name;
    GetLogger()->LogError("CLevel::LoadLevel: the level %s could not be loaded", levelName.c_str());
    UnloadLevel();
    name = levelName;
    return false;
}

// Releases in dependency order; a second call releases nothing twice.
bool CLevel::UnloadLevel() {
    rules.reset(); // it borrows the grid and the units
    loaded = false;
    name.clear();
    heightmap.reset();
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
    units.reset();
    terrainTypes.reset();
    sky.reset();
    sea.reset();
    interface.reset();
    return true;
}

bool CLevel::LoadTeams() {
    if (!rules) {
        return false;
    }
    playable = rules->LoadTeams(name);
    Present(rules->StartGame());
    return playable;
}

const Selection& CLevel::GetSelection() const {
    static const Selection none;
    return rules ? rules->GetSelection() : none;
}

int CLevel::GetUnitMode() const {
    return rules ? rules->GetUnitMode() : unitModeNone;
}

int CLevel::GetCurrentTeam() const {
    return rules ? rules->GetCurrentTeam() : 1;
}

int CLevel::GetGameState() const {
    return rules ? rules->GetGameState() : gamePlaying;
}

void CLevel::SetView(const CCamera* camera, const CFrustum* frustum) {
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
