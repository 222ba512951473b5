// CBattleView: one frame of the battle: debug lines, the units' walk, the tile
// colours and the drawing of the scene.
#include <algorithm>

#include "core/FrameContext.h"
#include "core/Options.h"
#include "fx/ParticleSystem.h"
#include "rules/GridManager.h"
#include "rules/TerrainTypes.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"
#include "view/BattleView.h"
#include "view/UnitFigures.h"

namespace {

// Tile overlay colours (red, green, blue, alpha).
const unsigned char fireAreaColour[4]    = {255, 0, 0, 160};
const unsigned char pointerTileColour[4] = {128, 128, 128, 128};
// Move-area tiles are orange; higher tiles than the unit's lose green
// (towards red), lower ones gain it (towards yellow).
constexpr int moveAreaGreen = 123;
constexpr int moveAreaAlpha = 128;

unsigned char MoveAreaGreen(float tileHeight, float currentHeight) {
    // Truncated towards zero; clamped first so that 4 x dh cannot overflow.
    const float difference = std::max(-1000.0f, std::min(tileHeight - currentHeight, 1000.0f));
    const int   shade      = std::max(-122, std::min(4 * static_cast<int>(difference), 123));
    return static_cast<unsigned char>(moveAreaGreen - shade);
}

void Colour(CTerrain& terrain, int x, int y, const unsigned char colour[4]) {
    terrain.SetTileColour(x, y, colour[0], colour[1], colour[2], colour[3]);
}

} // namespace

int CBattleView::LevelFrame(bool editorMode) {
    if (!terrain) {
        return 0;
    }
    AddPointerDebugLines();
    if (match) {
        UpdateAnnouncements(GetFrameTime());
        figures->Update(GetFrameTime() * timeScale);
        if (!editorMode) {
            if (GetOptions().debugInfo) {
                AddDebugLine("selected unitid: %d current team: %d", selection.unit, match->GetCurrentTeam());
            }
            ShowUnitDescription(match->GetBoard().GetTile(activeX, activeY).unit);
        }
        ColourSelection(editorMode);
    }
    // In editor mode the editor colours the pointer tile with its tints.
    if (!editorMode) {
        Colour(*terrain, activeX, activeY, pointerTileColour);
    }
    return Draw(editorMode);
}

void CBattleView::AddPointerDebugLines() const {
    if (!GetOptions().debugInfo || !grid) {
        return;
    }
    const CBoardTile& tile = grid->GetTile(activeX, activeY);
    AddDebugLine("activegridx: %d activegridy: %d slope: %.2f slope in degree: %d height: %.2f", activeX, activeY,
                 tile.slope, tile.slopeDegrees, tile.height);
    AddDebugLine("terrain usable: %d, name: %s, attack: %.1f, defense: %.1f, movement: %.1f",
                 grid->IsTileUsable(activeX, activeY) ? 1 : 0, terrainTypes->GetName(tile.terrainType).c_str(),
                 terrainTypes->GetAttack(tile.terrainType), terrainTypes->GetDefense(tile.terrainType),
                 terrainTypes->GetMovement(tile.terrainType));
    if (match && match->IsGameOver()) {
        AddDebugLine("Level finished. Team %d has won! Hit ESC to leave Game", match->GetWinner());
    }
}

// The move area in move mode, the fire area in fire mode.
void CBattleView::ColourSelection(bool editorMode) {
    const CUnit* unit = match->GetUnit(selection.unit);
    if (unit == nullptr) {
        return;
    }
    const bool  moveMode      = !selection.fireMode;
    const float currentHeight = match->GetBoard().GetTile(unit->tileX, unit->tileY).height;
    if (moveMode) {
        const CTileArea& area = selection.moveArea;
        for (int i = 0; i < area.GetCount(); ++i) {
            const int           x     = area.GetX(i);
            const int           y     = area.GetY(i);
            const unsigned char green = MoveAreaGreen(match->GetBoard().GetTile(x, y).height, currentHeight);
            terrain->SetTileColour(x, y, 255, green, 0, moveAreaAlpha);
        }
    } else {
        const CTileArea& area = selection.fireArea;
        for (int i = 0; i < area.GetCount(); ++i) {
            Colour(*terrain, area.GetX(i), area.GetY(i), fireAreaColour);
        }
    }
    if (!editorMode && GetOptions().debugInfo) {
        AddDebugLine("%s", moveMode ? "unitmode = MOVE" : "unitmode = FIRE");
    }
}

// The scene's parts add up their triangles; the interface does not count.
// The sky box encloses the whole map far beyond the ground and the sea, so
// it is drawn after them: the depth test then rejects, before texturing, the
// pixels they cover (in a player's view from above, all of the screen). The
// blended parts come after the sky, which they may cover.
// Where the ground and the sea hide the sky everywhere (a view from above),
// the sky is left out, and the sea is drawn only where the ground may not
// hide it (see CSea::SetGround).
int CBattleView::Draw(bool editorMode) {
    const bool shortcuts = GetOptions().fillShortcuts;
    int        polygons  = terrain->Draw();
    polygons += terrain->DrawOverlay();
    polygons += sea->Draw(shortcuts);
    if (!shortcuts || !sea->HidesSky()) {
        polygons += sky->Draw();
    }
    polygons += objects->Draw(CWorldObjects::passUnits);
    polygons += objects->Draw(CWorldObjects::passObjects);
    polygons += DrawParticles();
    if (!editorMode && !GetOptions().debugInfo) {
        DrawInterface();
    }
    return polygons;
}

// Updates and draws every emitter; the triangles count into the frame's polygons.
int CBattleView::DrawParticles() {
    if (!particles) {
        return 0;
    }
    const int                  triangles = particles->UpdateAndDraw(GetFrameTime());
    const CParticleFrameStats& stats     = particles->GetFrameStats();
    AddDebugLine(CParticleSystem::debugLineFormat, stats.activeEmitters, stats.renderedParticles, stats.emitterSlots);
    return triangles;
}
