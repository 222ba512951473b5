#include "render/WorldObjects.h"

#include <GL/glu.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "core/FrameContext.h"
#include "core/Frustum.h"
#include "core/Logger.h"
#include "core/Options.h"
#include "core/XmlFile.h"
#include "core/Heightmap.h"
#include "platform/FileGate.h"
#include "render/GlState.h"
#include "core/Matrix4.h"

namespace {

const char* const multiProgramFile  = "shader\\celshadermulti.vsh";
const char* const singleProgramFile = "shader\\celshadersingle.vsh";

// Dark bands for the shaded side, then full light.
const GLubyte shadeValues[CWorldObjects::shadeTexels] = {120, 120, 150, 150, 150, 160, 160, 255,
                                                         255, 255, 255, 255, 255, 255, 255, 255};

struct CTeamLook {
    GLfloat material[4];
    GLfloat celColour[4];
};

// [team - 1][done]
const CTeamLook teamLooks[2][2] = {
    {{{0.7f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f}}, {{1.0f, 0.0f, 0.0f, 0.4f}, {1.0f, 0.0f, 0.0f, 0.3f}}},
    {{{0.0f, 0.0f, 0.7f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}}, {{0.0f, 0.0f, 1.0f, 0.4f}, {0.0f, 0.0f, 1.0f, 0.3f}}},
};

const GLfloat plainMaterial[4] = {1.0f, 1.0f, 1.0f, 1.0f};

bool HasModelSuffix(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    std::string suffix = path.substr(dot);
    for (char& c : suffix) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return suffix == ".3ds";
}

} // namespace

CModelInstance::CModelInstance(CModel* sharedModel, const char* name)
    : model(sharedModel), radius(sharedModel != nullptr ? static_cast<float>(sharedModel->GetRadius()) : 0.0f),
      fileName(name != nullptr ? name : "") {
    if (fileName.size() > CWorldObjects::maxFileNameLength) {
        fileName.resize(CWorldObjects::maxFileNameLength);
    }
}

void CModelInstance::SetPosition(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

void CModelInstance::Move(float dx, float dy, float dz) {
    SetPosition(x + dx, y + dy, z + dz);
}

void CModelInstance::SetRotation(float degreesX, float degreesY, float degreesZ) {
    rotX = degreesX;
    rotY = degreesY;
    rotZ = degreesZ;
}

void CModelInstance::SetScale(float scale) {
    scaleX = scaleY = scaleZ = scale;
    radius                   = model != nullptr ? static_cast<float>(model->GetRadius()) * scale : 0.0f;
}

CWorldObjects::CWorldObjects(const char* file, CTextureManager* textureManager, const CHeightmap* levelHeightmap)
    : objectsFile(file != nullptr ? file : ""), textures(textureManager), heightmap(levelHeightmap) {
    const GLfloat ambient[4]  = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat diffuse[4]  = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    // Before the window reports its size the width is 0, and a line width
    // below one pixel is refused by GL.
    outlineWidth = std::max(static_cast<float>(GetWindowWidth()) * outlineWidthPerPixel, 1.0f);
    InitCelShading();
}

CWorldObjects::~CWorldObjects() {
    DeletePrograms();
    if (shadeTexture != 0) {
        glDeleteTextures(1, &shadeTexture);
    }
    instances.clear();
    models.clear();
}

// Cel shading needs vertex programs and two texture units; without either,
// or without the program files, units are drawn with the fixed light.
void CWorldObjects::InitCelShading() {
    const CAppOptions& options = GetOptions();
    if (!options.vertexShader || !options.multitexture || !programs.Load()) {
        return;
    }
    std::string multiText, singleText;
    for (const auto& program :
         {std::make_pair(multiProgramFile, &multiText), std::make_pair(singleProgramFile, &singleText)}) {
        bool missing = false;
        if (!CFileGate::ReadWholeFile(program.first, FileKind::text, *program.second, &missing)) {
            if (missing) {
                GetLogger()->LogError(
                    "CWorldObjects: vertex program %s is missing; units are drawn without cel shading", program.first);
            }
            return;
        }
    }
    multiProgram  = LoadProgram(multiProgramFile, multiText);
    singleProgram = LoadProgram(singleProgramFile, singleText);
    if (multiProgram == 0 || singleProgram == 0) {
        DeletePrograms();
        return;
    }
    CreateShadeTexture();
}

// A program the driver rejects would leave every unit invisible while bound,
// so it is logged and dropped; units then take the path without programs.
GLuint CWorldObjects::LoadProgram(const char* file, const std::string& text) const {
    GLuint program = 0;
    programs.genPrograms(1, &program);
    programs.bindProgram(GL_VERTEX_PROGRAM_ARB, program);
    programs.programString(GL_VERTEX_PROGRAM_ARB, GL_PROGRAM_FORMAT_ASCII_ARB, static_cast<GLsizei>(text.size()),
                           text.data());
    GLint errorPosition = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &errorPosition);
    programs.bindProgram(GL_VERTEX_PROGRAM_ARB, 0);
    if (errorPosition != -1) {
        const GLubyte* message = glGetString(GL_PROGRAM_ERROR_STRING_ARB);
        GetLogger()->LogError("CWorldObjects: vertex program %s rejected at character %d: %s", file,
                              static_cast<int>(errorPosition),
                              message != nullptr ? reinterpret_cast<const char*>(message) : "");
        programs.deletePrograms(1, &program);
        glGetError(); // the rejection's GL_INVALID_OPERATION is answered here
        return 0;
    }
    return program;
}

void CWorldObjects::DeletePrograms() {
    if (!programs.IsLoaded()) {
        return;
    }
    for (GLuint* program : {&multiProgram, &singleProgram}) {
        if (*program != 0) {
            programs.deletePrograms(1, program);
            *program = 0;
        }
    }
}

void CWorldObjects::CreateShadeTexture() {
    glGenTextures(1, &shadeTexture);
    glBindTexture(GL_TEXTURE_1D, shadeTexture);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    {
        const CGlStateScope unpacking(0, GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage1D(GL_TEXTURE_1D, 0, GL_RGBA, shadeTexels, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, shadeValues);
    }
    glBindTexture(GL_TEXTURE_1D, 0);
}

CModel* CWorldObjects::FindOrLoadModel(const std::string& path) {
    for (const auto& model : models) {
        if (model->GetPath() == path) {
            return model.get();
        }
    }
    models.push_back(std::make_unique<CModel>(path.c_str(), textures));
    return models.back().get();
}

int CWorldObjects::AddObject(const char* fileName) {
    if (fileName == nullptr) {
        return -1;
    }
    const std::string path = std::string("objects\\") + fileName;
    if (!HasModelSuffix(path)) {
        GetLogger()->LogError("CWorldObjects::AddObject: %s is not a .3ds model", fileName);
        return -1;
    }
    instances.push_back(std::make_unique<CModelInstance>(FindOrLoadModel(path), fileName));
    return static_cast<int>(instances.size()) - 1;
}

CModelInstance* CWorldObjects::GetObjectByIndex(int index) const {
    return index >= 0 && index < GetCount() ? instances[index].get() : nullptr;
}

void CWorldObjects::PlaceOnGround(int index, float x, float z) {
    CModelInstance* instance = GetObjectByIndex(index);
    if (instance != nullptr) {
        instance->SetPosition(x, heightmap != nullptr ? heightmap->HeightAt(x, z) : 0.0f, z);
    }
}

void CWorldObjects::HideObjectsNear(float x, float z, float radius) {
    for (const auto& instance : instances) {
        const float dx = x - instance->GetX();
        const float dz = z - instance->GetZ();
        if (instance->GetUnitIndex() == -1 && std::sqrt(dx * dx + dz * dz) < radius) {
            instance->SetPresent(false);
        }
    }
}

// "objects.xml": numbered items of filename, positionX (world x), positionY
// (world z), rotation (degrees about z) and scale. An incomplete item ends the
// list; the items before it stay. An object whose scale lies outside
// minObjectScale..maxObjectScale is skipped: a scale of 0 or below draws
// nothing or draws it inside out, and a huge one overflows the bounding
// sphere that culling and hiding measure with.
bool CWorldObjects::LoadObjects() {
    CXmlFile xml;
    if (!xml.Open(objectsFile.c_str(), 0)) {
        GetLogger()->LogError("CWorldObjects::LoadObjects: Couldn't load object list %s", objectsFile.c_str());
        return false;
    }
    if (!xml.EnterElement("objects")) {
        GetLogger()->LogError("CWorldObjects::LoadObjects: %s has no objects element", objectsFile.c_str());
        return false;
    }
    int  n   = 0;
    bool cut = false;
    for (; xml.EnterSubElement(n); ++n) {
        char  fileName[maxFileNameLength + 1];
        float x = 0.0f, z = 0.0f, rotation = 0.0f, scale = 1.0f;
        // Text that is no number counts as a missing value for the position
        // and turn, and as an unusable scale.
        const auto number = [&xml](const char* key, float& value) {
            return xml.ReadFloat(key, value) && xml.LastValueWasNumber();
        };
        if (!xml.ReadString("filename", fileName, sizeof fileName) || !number("positionX", x) ||
            !number("positionY", z) || !number("rotation", rotation) || !xml.ReadFloat("scale", scale)) {
            GetLogger()->LogError("CWorldObjects::LoadObjects: %s: object %d lacks a value (a cut file?); the list "
                                  "ends before it",
                                  objectsFile.c_str(), n);
            cut = true;
            break;
        }
        if (!xml.LastValueWasNumber()) {
            scale = std::nanf("");
        }
        xml.LeaveSubElement();
        if (!(scale >= minObjectScale && scale <= maxObjectScale)) {
            GetLogger()->LogError(
                "CWorldObjects::LoadObjects: %s: object %d (%s) has scale %g, outside %g..%g; skipped",
                objectsFile.c_str(), n, fileName, static_cast<double>(scale), static_cast<double>(minObjectScale),
                static_cast<double>(maxObjectScale));
            continue;
        }
        const int index = AddObject(fileName);
        if (index >= 0) {
            PlaceOnGround(index, x, z);
            instances[index]->SetRotZ(rotation);
            instances[index]->SetScale(scale);
        }
    }
    if (!cut && !xml.LeaveElement()) {
        GetLogger()->LogError("CWorldObjects::LoadObjects: %s ends inside its objects element after %d objects (a cut "
                              "file?)",
                              objectsFile.c_str(), n);
    }
    return true;
}

// Writes the present plain objects, numbered from 0 without gaps.
bool CWorldObjects::SaveObjects() const {
    CXmlFile xml;
    if (!xml.Open(objectsFile.c_str(), 1) || !xml.BeginWriteElement("objects")) {
        return false;
    }
    int number = 0;
    for (const auto& instance : instances) {
        if (instance->GetUnitIndex() != -1 || !instance->IsPresent()) {
            continue;
        }
        xml.BeginWriteSubElement(number++);
        xml.WriteString("filename", instance->GetFileName().c_str());
        xml.WriteFloat("positionX", instance->GetX());
        xml.WriteFloat("positionY", instance->GetZ());
        xml.WriteFloat("rotation", instance->GetRotZ());
        xml.WriteFloat("scale", instance->GetScale());
        xml.EndWriteSubElement();
    }
    const bool ended = xml.EndWriteElement();
    // The old file is replaced only when every byte of the new one is on disk.
    return xml.Close() && ended;
}

int CWorldObjects::Draw(Pass pass) const {
    const CGlStateScope state(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    const GLfloat       light[4] = {lightPosition[0], lightPosition[1], lightPosition[2], 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_RESCALE_NORMAL);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    if (GetOptions().transparency) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    // Plain objects are lit with a white material whatever the last draw
    // left; each unit sets its team material and puts this one back.
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, plainMaterial);
    int triangles = 0;
    for (const auto& instance : instances) {
        const bool isUnit = instance->GetUnitIndex() != -1;
        if ((pass == passObjects && isUnit) || (pass == passUnits && !isUnit) || !instance->IsPresent()) {
            continue;
        }
        if (GetOptions().frustumCulling && frustum != nullptr &&
            !frustum->SphereInFrustum(instance->GetX(), instance->GetY(), instance->GetZ(), instance->GetRadius())) {
            continue;
        }
        triangles += DrawInstance(*instance);
    }
    return triangles;
}

int CWorldObjects::DrawInstance(const CModelInstance& instance) const {
    CUnitLook look;
    if (instance.GetUnitIndex() != -1 &&
        (!unitLookup || !unitLookup(instance.GetUnitIndex(), look) || look.hitPoints <= 0)) {
        return 0; // destroyed units (and units nobody can describe) are not drawn
    }
    glPushMatrix();
    glTranslatef(instance.GetX(), instance.GetY(), instance.GetZ());
    glRotatef(-instance.GetRotY(), 0.0f, 1.0f, 0.0f);
    glRotatef(-instance.GetRotX(), 1.0f, 0.0f, 0.0f);
    glRotatef(-instance.GetRotZ(), 0.0f, 0.0f, 1.0f);
    glScalef(instance.GetScale(), instance.GetScale(), instance.GetScale());
    const int triangles =
        instance.GetUnitIndex() == -1 ? instance.GetModel()->Draw(CCelArguments()) : DrawUnit(instance, look);
    glPopMatrix();
    return triangles;
}

int CWorldObjects::DrawUnit(const CModelInstance& instance, const CUnitLook& look) const {
    const int        team     = look.team == 2 ? 2 : 1;
    const CTeamLook& teamLook = teamLooks[team - 1][look.done ? 1 : 0];
    CCelArguments    arguments;
    arguments.singleProgram = singleProgram;
    arguments.multiProgram  = multiProgram;
    arguments.shadeTexture  = shadeTexture;
    LightInObjectSpace(instance, arguments.light);
    for (int i = 0; i < 4; ++i) {
        arguments.colour[i] = teamLook.celColour[i];
    }
    arguments.outlineWidth = outlineWidth;
    arguments.cel          = true;
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, teamLook.material);
    const int triangles = instance.GetModel()->Draw(arguments);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, plainMaterial);
    return triangles;
}

// The light carried into the instance's own space by the inverse placement,
// built on a cleared model-view matrix and read back.
void CWorldObjects::LightInObjectSpace(const CModelInstance& instance, float light[3]) const {
    CMatrix4 inverse;
    glPushMatrix();
    glLoadIdentity();
    glScalef(-instance.GetScale(), -instance.GetScale(), -instance.GetScale());
    glRotatef(instance.GetRotZ(), 0.0f, 0.0f, 1.0f);
    glRotatef(instance.GetRotX(), 1.0f, 0.0f, 0.0f);
    glRotatef(instance.GetRotY(), 0.0f, 1.0f, 0.0f);
    glTranslatef(-instance.GetX(), -instance.GetY(), -instance.GetZ());
    glGetFloatv(GL_MODELVIEW_MATRIX, inverse.m);
    glPopMatrix();
    const CVector4 transformed = Transform(inverse, lightPosition[0], lightPosition[1], lightPosition[2], 1.0f);
    light[0]                   = transformed.x;
    light[1]                   = transformed.y;
    light[2]                   = transformed.z;
}
