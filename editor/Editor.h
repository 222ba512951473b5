#pragma once

#include <string>
#include <vector>

class CGridManager;
class CLevel;
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
    const CTerrain*      terrain      = nullptr;
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

    CEditor() = default;

    void Attach(const CEditorScene& editorScene) { scene = editorScene; }
    // The level's objects, grid, terrain types and terrain.
    void AttachLevel(CLevel& level);

    // Reads the models offered for placing from "objects\<fileName>"; the
    // first becomes the current one. A missing or empty list leaves no
    // current model: clicks then place nothing.
    void LoadObjectList(const char* fileName);

    // Places the current model on the ground at world (x, z) with the current
    // scale and rotation; the new instance's index, or -1 when nothing was
    // placed.
    int  PlaceObject(float x, float z);
    void PaintTile(int column, int row);
    // Hides every placed object within removeRadius of (x, z); hidden objects
    // are neither drawn nor saved.
    void RemoveObjectsNear(float x, float z);
    // Writes the objects file and the tile file. Each file is replaced only
    // when its new version was written completely; a failure keeps the old
    // file, is logged, and makes the result false. The overlay then says
    // what happened until the next save.
    bool Save();

    void NextObject();
    void IncreaseScale();
    void DecreaseScale();
    void RotateForward();
    void RotateBackward();
    void NextTerrainType();
    void ToggleUsable() { usable = !usable; }

    // Function key F<number>: F5 saves, F6 to F12 change the choices above.
    // False for keys the editor does not use.
    bool OnFunctionKey(int number);

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
    float                    scale    = defaultScale;
    float                    rotation = 0.0f;
    std::vector<std::string> objectFiles;
    int                      currentObject = -1;
    int                      terrainType   = 0;
    bool                     usable        = true;
    std::vector<std::string> saveNotices; // the last save's outcome, one line per failed file
    CEditorScene             scene;
};
