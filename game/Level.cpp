#include "game/Level.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/Application.h"
#include "app/Logger.h"
#include "app/PropertyFile.h"
#include "game/GridManager.h"
#include "game/Heightmap.h"
#include "game/TeamFile.h"
#include "game/TerrainTypes.h"
#include "game/UnitManager.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"

namespace {

// The pointer tile is shaded grey over the areas.
const unsigned char pointerTileColour[4] = {128, 128, 128, 128};

} // namespace

CLevel::CLevel(const char* levelName) {
    Deselect();
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

// Builds every per-level object. No step checks whether its files exist:
// each object handles its own missing data.
bool CLevel::LoadLevel(const char* levelName) {
    if (levelName == nullptr) {
        return false;
    }
    name = levelName;
    CPropertyFile params(LevelPath("%s\\Terrain\\%s", "ter_params.ini").c_str());
    const float   maxWidth  = params.GetFloatProperty("maxwidth");
    const float   maxHeight = params.GetFloatProperty("maxheight");

    heightmap =
        std::make_unique<CHeightmap>(LevelPath("%s\\Terrain\\%s", "ter_heightmap.bmp").c_str(), maxWidth, maxHeight);
    textures = std::make_unique<CTextureManager>();
    objects =
        std::make_unique<CWorldObjects>(LevelPath("%s\\%s", "objects.xml").c_str(), textures.get(), heightmap.get());
    terrainTypes                       = std::make_unique<CTerrainTypes>("Terrain\\terraintypes.xml");
    terrain                            = std::make_unique<CTerrain>();
    const std::string terrainDirectory = LevelPath("%s\\Terrain", "");
    terrain->Create(terrainDirectory.c_str(), heightmap.get(), textures.get());
    const float worldWidth = static_cast<float>(heightmap->GetWidth() - 1) * heightmap->GetSpacing();
    sky                    = std::make_unique<CSkyBox>(LevelPath("%s\\Skydome", "").c_str(), *textures, worldWidth);
    sea  = std::make_unique<CSea>(terrainDirectory.c_str(), worldWidth, heightmap->GetHeightScale(), waterLevel,
                                 *textures);
    grid = std::make_unique<CGridManager>(LevelPath("%s\\Terrain\\%s", "terrain.xml").c_str(), heightmap.get());
    grid->SetWaterHeight(sea->GetWaterHeight());
    // Units need the tile geometry of the terrain, so they come after it.
    units                  = std::make_unique<CUnitManager>(objects.get(), heightmap.get(), terrain.get());
    CUnitManager* unitList = units.get();
    objects->SetUnitLookup([unitList](int index, CUnitLook& look) { return unitList->GetUnitLook(index, look); });

    activeX   = 0;
    activeY   = 0;
    gameState = gamePlaying;
    // The starting team is the only random choice of the rules.
    srand(static_cast<unsigned>(time(nullptr)));
    currentTeam    = rand() % 2 + 1;
    gameOverEffect = -1;
    return true;
}

// Releases in dependency order; a second call releases nothing twice.
bool CLevel::UnloadLevel() {
    name.clear();
    heightmap.reset();
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
    return true;
}

bool CLevel::LoadTeams() {
    if (!units || !grid) {
        return false;
    }
    for (int team = 1; team <= CUnitManager::teamCount; ++team) {
        if (!LoadTeam(team)) {
            return false;
        }
    }
    units->LoadFightParams(LevelPath("%s\\%s", "fight.xml").c_str());
    return true;
}

bool CLevel::LoadTeam(int team) {
    char fileName[32];
    snprintf(fileName, sizeof fileName, "team%d.xml", team);
    CTeamFile teamFile;
    if (!teamFile.Load(LevelPath("%s\\%s", fileName).c_str())) {
        return false;
    }
    for (const CTeamEntry& entry : teamFile.GetEntries()) {
        PlaceTeamUnit(team, entry, teamFile.GetEffectSpecial());
    }
    return true;
}

// An entry off the board or on a tile that already holds a unit would leave
// a unit outside the grid or hide another one from every rule, so it is
// skipped (and logged) before anything is loaded for it.
void CLevel::PlaceTeamUnit(int team, const CTeamEntry& entry, const std::string& effectSpecial) {
    const int x = entry.positionX, y = entry.positionY;
    if (!CGridManager::IsInside(x, y)) {
        GetLogger()->LogError("team %d: unit %s at tile (%d, %d) lies outside the board; skipped", team,
                              entry.fileName.c_str(), x, y);
        return;
    }
    if (grid->GetTile(x, y).unit != -1) {
        GetLogger()->LogError("team %d: unit %s at tile (%d, %d) stands on unit %d; skipped", team,
                              entry.fileName.c_str(), x, y, grid->GetTile(x, y).unit);
        return;
    }
    char unitPath[CTeamFile::maxFileNameLength + 16];
    snprintf(unitPath, sizeof unitPath, "units\\%s", entry.fileName.c_str());
    const int index = units->LoadUnit(unitPath);
    if (index < 0) {
        return;
    }
    units->AssignTeam(index, team);
    units->PlaceUnit(index, x, y);
    units->FaceTile(index, x + entry.lookX, y + entry.lookY);
    units->SetEffectSpecial(index, effectSpecial.c_str());
    grid->SetTileUnit(x, y, index);
    if (!units->GetUnitByIndex(index)->isHeadquarter) {
        units->TiltUnit(index, x - entry.lookX, y - entry.lookY, x, y);
    }
}

void CLevel::Deselect() {
    selection.selectedUnit  = -1;
    selection.originX       = -1;
    selection.originY       = -1;
    selection.currentX      = -1;
    selection.currentY      = -1;
    selection.currentHeight = 0.0f;
    selection.moveRange     = 0;
    selection.fireMax       = 0;
    selection.fireMin       = 0;
    selection.moveCount     = 0;
    selection.fireCount     = 0;
    unitMode                = unitModeNone;
}

void CLevel::SetView(const CCamera* camera, const CFrustum* frustum) {
    if (terrain) {
        terrain->SetCamera(camera);
        terrain->SetFrustum(frustum);
    }
    if (objects) {
        objects->SetFrustum(frustum);
    }
}

void CLevel::OnPointerMoved(int mouseX, int mouseY) {
    if (terrain) {
        terrain->PickTile(mouseX, mouseY, activeX, activeY);
    }
}

void CLevel::AddPointerDebugLines() const {
    CApplication* app = GetApp();
    if (!app->options.debugInfo || !grid) {
        return;
    }
    const Tile& tile = grid->GetTile(activeX, activeY);
    app->AddDebugLine("activegridx: %d activegridy: %d slope: %.2f slope in degree: %d height: %.2f", activeX, activeY,
                      tile.slope, tile.slopeDegrees, tile.height);
    app->AddDebugLine("terrain usable: %d, name: %s, attack: %.1f, defense: %.1f, movement: %.1f",
                      grid->IsTileUsable(activeX, activeY) ? 1 : 0, terrainTypes->GetName(tile.terrainType).c_str(),
                      terrainTypes->GetAttack(tile.terrainType), terrainTypes->GetDefense(tile.terrainType),
                      terrainTypes->GetMovement(tile.terrainType));
    if (gameState == gameFinished) {
        app->AddDebugLine("Level finished. Team %d has won! Hit ESC to leave Game", currentTeam);
    }
}

int CLevel::LevelFrame(bool editorMode) {
    if (!terrain) {
        return 0;
    }
    AddPointerDebugLines();
    if (!editorMode && GetOptions().debugInfo) {
        GetApp()->AddDebugLine("selected unitid: %d current team: %d", selection.selectedUnit, currentTeam);
    }
    terrain->SetTileColour(activeX, activeY, pointerTileColour[0], pointerTileColour[1], pointerTileColour[2],
                           pointerTileColour[3]);
    int polygons = sky->Draw();
    polygons += terrain->Draw();
    polygons += terrain->DrawOverlay();
    polygons += sea->Draw();
    polygons += objects->Draw(CWorldObjects::passUnits);
    polygons += objects->Draw(CWorldObjects::passObjects);
    return polygons;
}
