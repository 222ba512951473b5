#include "editor/Editor.h"

#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/Logger.h"
#include "core/XmlFile.h"
#include "rules/GridManager.h"
#include "view/BattleView.h"
#include "rules/TerrainTypes.h"
#include "platform/DataPath.h"
#include "render/GlState.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"

namespace {

const std::string noName;

constexpr size_t overlayLineSize = 512;

std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatLine(const char* format, ...) {
    char    line[overlayLineSize];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    return line;
}

// Logs the failure and returns the overlay's short form of it.
std::string LogSaveFailure(const char* what, const std::string& path) {
    const int         error  = errno;
    const char* const reason = error == EACCES ? "read-only: the file is kept"
                               : error != 0    ? strerror(error)
                                               : "incomplete document";
    GetLogger()->LogError("CEditor::Save: %s %s could not be written (%s); the previous file is kept", what,
                          CDataPath::Resolve(path.c_str()).c_str(), reason);
    return FormatLine("%s NOT saved (%s)", path.c_str(), reason);
}

const unsigned char terrainTints[][3] = {
    {60, 200, 40}, {10, 90, 20}, {140, 90, 40}, {235, 210, 90}, {150, 150, 150}, {40, 90, 230}, {215, 215, 215},
};
constexpr int tintCount = sizeof terrainTints / sizeof terrainTints[0];

} // namespace

void CEditor::AttachLevel(CBattleView& level) {
    Attach({level.GetObjects(), level.GetGrid(), level.GetTerrainTypes(), level.GetTerrain()});
}

void CEditor::LoadObjectList(const char* fileName) {
    objectFiles.clear();
    currentObject = -1;
    char path[1024];
    snprintf(path, sizeof path, "objects\\%s", fileName != nullptr ? fileName : "");
    CXmlFile xml;
    if (xml.Open(path, CXmlFile::modeReading) && xml.EnterElement("objects")) {
        for (int number = 0; xml.EnterSubElement(number); ++number) {
            char name[maxFileNameChars + 1] = {};
            if (xml.ReadString("filename", name, sizeof name)) {
                objectFiles.emplace_back(name);
            }
            xml.LeaveSubElement();
        }
        xml.LeaveElement();
    }
    xml.Close();
    if (objectFiles.empty()) {
        GetLogger()->LogError("CEditor: %s lists no models; clicks place nothing", path);
        return;
    }
    currentObject = 0;
}

const std::string& CEditor::GetCurrentObjectName() const {
    return currentObject >= 0 && currentObject < static_cast<int>(objectFiles.size()) ? objectFiles[currentObject]
                                                                                      : noName;
}

int CEditor::PlaceObject(float x, float z) {
    const std::string& name = GetCurrentObjectName();
    if (scene.objects == nullptr || name.empty()) {
        return -1;
    }
    const int index = scene.objects->AddObject(name.c_str());
    if (index < 0) {
        return -1;
    }
    scene.objects->PlaceOnGround(index, x, z);
    CModelInstance* instance = scene.objects->GetObjectByIndex(index);
    instance->SetScale(scale);
    instance->SetRotZ(rotation);
    return index;
}

void CEditor::PaintTile(int column, int row) {
    if (scene.grid == nullptr || column < 0 || row < 0 || column >= CGridManager::gridSize ||
        row >= CGridManager::gridSize) {
        return;
    }
    scene.grid->SetTileTerrainType(column, row, terrainType);
    scene.grid->SetTileUsable(column, row, usable);
    const int tile = row * CGridManager::gridSize + column;
    if (std::find(paintedTiles.begin(), paintedTiles.end(), tile) == paintedTiles.end()) {
        paintedTiles.push_back(tile);
    }
}

const unsigned char* CEditor::TerrainTint(int terrainType) {
    return terrainTints[((terrainType % tintCount) + tintCount) % tintCount];
}

void CEditor::TintPaintedTiles(int pointerColumn, int pointerRow) const {
    if (scene.terrain == nullptr || scene.grid == nullptr) {
        return;
    }
    const int pointer        = pointerRow * CGridManager::gridSize + pointerColumn;
    bool      pointerPainted = false;
    for (const int tile : paintedTiles) {
        const int            column = tile % CGridManager::gridSize;
        const int            row    = tile / CGridManager::gridSize;
        const unsigned char* tint   = TerrainTint(scene.grid->GetTile(column, row).terrainType);
        pointerPainted              = pointerPainted || tile == pointer;
        scene.terrain->SetTileColour(column, row, tint[0], tint[1], tint[2],
                                     tile == pointer ? pointerTileAlpha : paintedTileAlpha);
    }
    if (!pointerPainted) {
        scene.terrain->SetTileColour(pointerColumn, pointerRow, pointerTileGrey, pointerTileGrey, pointerTileGrey,
                                     pointerTileGrey);
    }
}

void CEditor::RemoveObjectsNear(float x, float z) {
    if (scene.objects != nullptr) {
        scene.objects->HideObjectsNear(x, z, removeRadius);
    }
}

// Both files are tried even when the first fails: each keeps its old version
// on its own failure.
bool CEditor::Save() {
    bool        saved = true;
    std::string done, failed;
    const auto  note = [](std::string& text, const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (scene.objects != nullptr) {
        errno = 0;
        if (scene.objects->SaveObjects()) {
            note(done, scene.objects->GetObjectsFile());
        } else {
            note(failed, LogSaveFailure("objects file", scene.objects->GetObjectsFile()));
            saved = false;
        }
    }
    if (scene.grid != nullptr) {
        errno = 0;
        if (scene.grid->SaveTiles()) {
            note(done, scene.grid->GetFileName());
        } else {
            note(failed, LogSaveFailure("tile file", scene.grid->GetFileName()));
            saved = false;
        }
    }
    saveMessage = done.empty() && failed.empty() ? "F5: nothing to save"
                  : failed.empty()               ? "F5: saved " + done
                                                 : "F5: " + failed + (done.empty() ? "" : "; saved " + done);
    return saved;
}

void CEditor::NextObject() {
    if (!objectFiles.empty()) {
        currentObject = (currentObject + 1) % static_cast<int>(objectFiles.size());
    }
}

void CEditor::IncreaseScale() {
    scale = std::min(scale + scaleStep, maxScale);
}

void CEditor::DecreaseScale() {
    scale = std::max(scale - scaleStep, minScale);
}

// Only a result beyond a full turn wraps, so 360 itself is shown once.
void CEditor::RotateForward() {
    rotation += rotationStep;
    if (rotation > fullTurn) {
        rotation = 0.0f;
    }
}

void CEditor::RotateBackward() {
    rotation -= rotationStep;
    if (rotation < 0.0f) {
        rotation = fullTurn;
    }
}

// With no terrain types at all the index stays 0 instead of running away.
void CEditor::NextTerrainType() {
    const int count = scene.terrainTypes != nullptr ? scene.terrainTypes->GetCount() : 0;
    ++terrainType;
    if (terrainType >= count) {
        terrainType = 0;
    }
}

bool CEditor::OnFunctionKey(int number) {
    if (number >= 7 && number <= 10) {
        heldKey    = number;
        heldTime   = 0.0f;
        nextRepeat = repeatDelay;
    }
    return ApplyKey(number);
}

bool CEditor::ApplyKey(int number) {
    switch (number) {
    case 5:
        Save();
        return true;
    case 6:
        NextObject();
        return true;
    case 7:
        IncreaseScale();
        return true;
    case 8:
        DecreaseScale();
        return true;
    case 9:
        RotateForward();
        return true;
    case 10:
        RotateBackward();
        return true;
    case 11:
        NextTerrainType();
        return true;
    case 12:
        ToggleUsable();
        return true;
    default:
        return false;
    }
}

void CEditor::OnFunctionKeyUp(int number) {
    if (number == heldKey) {
        heldKey = 0;
    }
}

// A slow frame repeats at most a few times and drops the rest, so a stall
// does not fling the scale to its limit.
void CEditor::Update(float frameTime) {
    if (heldKey == 0 || !(frameTime > 0.0f)) {
        return;
    }
    heldTime += frameTime;
    for (int repeats = 0; heldTime >= nextRepeat && repeats < maxRepeatsPerFrame; ++repeats) {
        ApplyKey(heldKey);
        nextRepeat += repeatInterval;
    }
    heldTime = std::min(heldTime, nextRepeat);
}

void CEditor::DrawOverlay() const {
    if (scene.terrain == nullptr || !scene.terrain->HasPickHit()) {
        return;
    }
    const float x = scene.terrain->GetPickX();
    const float z = scene.terrain->GetPickZ();
    {
        // A plain red line whatever texture or light the scene left on.
        const CGlStateScope state(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glColor3f(1.0f, 0.0f, 0.0f);
        glLineWidth(markerLineWidth);
        glBegin(GL_LINES);
        glVertex3f(x, 0.0f, z);
        glVertex3f(x, markerHeight, z);
        glEnd();
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    glLineWidth(1.0f);
}

std::vector<std::string> CEditor::GetOverlayLines() const {
    const CTerrainTypes*     types = scene.terrainTypes;
    const std::string&       name  = types != nullptr ? types->GetName(terrainType) : noName;
    std::vector<std::string> lines = {
        "",
        "*** EDITOR MODE ***",
        FormatLine("OBJECTS filename: %s, scale: %.2f, rotation: %.2f", GetCurrentObjectName().c_str(), scale,
                   rotation),
        FormatLine("TERRAIN TYPES usable: %d, name: %s, attack: %.1f, defense: %.1f, movement: %.1f", usable ? 1 : 0,
                   name.c_str(), types != nullptr ? types->GetAttack(terrainType) : 0.0f,
                   types != nullptr ? types->GetDefense(terrainType) : 0.0f,
                   types != nullptr ? types->GetMovement(terrainType) : 0.0f),
    };
    if (!saveMessage.empty()) {
        lines.push_back(saveMessage);
    }
    lines.emplace_back("*******************");
    return lines;
}
