#include "editor/Editor.h"

#include <GL/gl.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/Logger.h"
#include "core/XmlFile.h"
#include "game/GridManager.h"
#include "game/Level.h"
#include "game/TerrainTypes.h"
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

// Logs the failure and returns the overlay's short form of it; a file the
// player made read-only is said to be kept as such.
std::string ReportSaveFailure(const char* what, const std::string& path) {
    const int         error    = errno;
    const std::string resolved = CDataPath::Resolve(path.c_str());
    const char*       reason   = error == EACCES ? "read-only" : error != 0 ? strerror(error) : "incomplete document";
    GetLogger()->LogError("CEditor::Save: %s %s could not be written (%s); the previous file is kept", what,
                          resolved.c_str(), error != 0 ? strerror(error) : "incomplete document");
    return FormatLine("NOT SAVED: %s (%s), the previous file is kept", resolved.c_str(), reason);
}

} // namespace

void CEditor::AttachLevel(CLevel& level) {
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
    if (scene.grid != nullptr) {
        scene.grid->SetTileTerrainType(column, row, terrainType);
        scene.grid->SetTileUsable(column, row, usable);
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
    std::vector<std::string> failures;
    if (scene.objects != nullptr) {
        errno = 0;
        if (!scene.objects->SaveObjects()) {
            failures.push_back(ReportSaveFailure("objects file", scene.objects->GetObjectsFile()));
        }
    }
    if (scene.grid != nullptr) {
        errno = 0;
        if (!scene.grid->SaveTiles()) {
            failures.push_back(ReportSaveFailure("tile file", scene.grid->GetFileName()));
        }
    }
    saveNotices = failures.empty() ? std::vector<std::string>{"SAVED"} : failures;
    return failures.empty();
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
    lines.insert(lines.end(), saveNotices.begin(), saveNotices.end());
    lines.push_back("*******************");
    return lines;
}
