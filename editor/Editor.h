#pragma once

#include <string>
#include <vector>

class CGridManager;
class CBattleView;
class CTerrain;
class CTerrainTypes;
class CWorldObjects;

// What the editor works on: the level's objects and tiles, the terrain types
// it paints and the terrain whose pick point it marks. Borrowed; any may be
// null, and the operations that need a missing one do nothing.
struct CEditorScene {
    CWorldObjects*       objects      = nullptr;
    CGridManager*        grid         = nullptr;
    const CTerrainTypes* terrainTypes = nullptr;
    CTerrain*            terrain      = nullptr; // marked and tinted, never changed
};

// The level editor of editor mode: clicks place 3D objects on the terrain,
// Delete removes them, right clicks paint a terrain type and the usable flag
// onto tiles, F5 saves. It keeps only the choices of the moment; the objects
// and tiles belong to the world objects and the tile grid.
class CEditor {
public:
    static constexpr float defaultScale     = 2.5f;
    static constexpr float scaleStep        = 0.005f;
    static constexpr float minScale         = 0.1f;
    static constexpr float maxScale         = 10.0f;
    static constexpr float rotationStep     = 11.25f; // degrees
    static constexpr float fullTurn         = 360.0f;
    static constexpr float removeRadius     = 50.0f; // world units around the pick point
    static constexpr float markerHeight     = 1000.0f;
    static constexpr float markerLineWidth  = 3.0f;
    static constexpr int   maxFileNameChars = 511;
    // A held scale or rotation key repeats after this delay, this often.
    static constexpr float         repeatDelay        = 0.35f; // seconds
    static constexpr float         repeatInterval     = 0.03f; // seconds
    static constexpr int           maxRepeatsPerFrame = 10;
    static constexpr unsigned char paintedTileAlpha   = 110;
    static constexpr unsigned char pointerTileAlpha   = 170;
    static constexpr unsigned char pointerTileGrey    = 128;

    CEditor() = default;

    void Attach(const CEditorScene& editorScene) { scene = editorScene; }
    // The level's objects, grid, terrain types and terrain.
    void AttachLevel(CBattleView& level);

    // Reads the models offered for placing from "objects\<fileName>"; the
    // first becomes the current one. A missing or empty list leaves no
    // current model: clicks then place nothing.
    void LoadObjectList(const char* fileName);

    // Places the current model on the ground at world (x, z) with the current
    // scale and rotation; the new instance's index, or -1 when nothing was
    // placed.
    int PlaceObject(float x, float z);
    // Paints the tile, which is then tinted in its new terrain type's colour
    // while editing: the ground's texture shows the old type until the level
    // is generated again.
    void PaintTile(int column, int row);
    // Hides every placed object within removeRadius of (x, z); hidden objects
    // are neither drawn nor saved.
    void RemoveObjectsNear(float x, float z);
    // Writes the objects file and the tile file. Each file is replaced only
    // when its new version was written completely; a failure keeps the old
    // file, is logged, and makes the result false. The overlay then says
    // which files were saved, or which not and why.
    bool               Save();
    const std::string& GetSaveMessage() const { return saveMessage; }

    void NextObject();
    void IncreaseScale();
    void DecreaseScale();
    void RotateForward();
    void RotateBackward();
    void NextTerrainType();
    void ToggleUsable() { usable = !usable; }

    // Function key F<number>: F5 saves, F6 to F12 change the choices above.
    // False for keys the editor does not use. F7 to F10 (scale and
    // rotation) repeat while held, until their key-up or ReleaseKeys.
    bool OnFunctionKey(int number);
    void OnFunctionKeyUp(int number);
    void ReleaseKeys() { heldKey = 0; }
    // Advances a held key's repeat by the frame time.
    void Update(float frameTime);
    // Tints the tiles painted so far for the coming frame, and marks the
    // pointer tile: grey, or its tint stronger once painted.
    void TintPaintedTiles(int pointerColumn, int pointerRow) const;
    // The tint of a terrain type (red, green, blue): grass green, forest dark
    // green, rough ground brown, sand yellow, road grey, water blue, rock
    // light grey; further types repeat the list.
    static const unsigned char* TerrainTint(int terrainType);

    // Marks the terrain's pick point with a red vertical line in the scene.
    void DrawOverlay() const;
    // The editor's lines of the debug overlay, with the last save's outcome.
    std::vector<std::string> GetOverlayLines() const;

    float                           GetScale() const { return scale; }
    float                           GetRotation() const { return rotation; }
    const std::vector<std::string>& GetObjectFiles() const { return objectFiles; }
    int                             GetCurrentObject() const { return currentObject; }
    // The current model's file name, "" when the list is empty.
    const std::string& GetCurrentObjectName() const;
    int                GetTerrainType() const { return terrainType; }
    bool               IsUsable() const { return usable; }

    void SetScale(float value) { scale = value; }
    void SetRotation(float degrees) { rotation = degrees; }

private:
    bool ApplyKey(int number);

    float                    scale    = defaultScale;
    float                    rotation = 0.0f;
    std::vector<std::string> objectFiles;
    int                      currentObject = -1;
    int                      terrainType   = 0;
    bool                     usable        = true;
    CEditorScene             scene;
    std::vector<int>         paintedTiles; // row * grid size + column, each once
    std::string              saveMessage;
    int                      heldKey    = 0; // the repeating function key, 0 for none
    float                    heldTime   = 0.0f;
    float                    nextRepeat = 0.0f;
};
