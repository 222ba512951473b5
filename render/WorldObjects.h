#pragma once

#include <GL/gl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/Model.h"
#include "render/ProgramFunctions.h"

class CFrustum;
class CHeightmap;
class CTextureManager;

// One placement of a shared model in the world: a decorative object or the
// body of a unit. Angles are degrees about the world axes; y is the height.
class CModelInstance {
public:
    CModelInstance(CModel* sharedModel, const char* name);

    CModel*            GetModel() const { return model; }
    float              GetX() const { return x; }
    float              GetY() const { return y; }
    float              GetZ() const { return z; }
    float              GetRotX() const { return rotX; }
    float              GetRotY() const { return rotY; }
    float              GetRotZ() const { return rotZ; }
    float              GetScale() const { return scaleX; }
    float              GetRadius() const { return radius; }
    bool               IsPresent() const { return present; }
    int                GetUnitIndex() const { return unitIndex; }
    const std::string& GetFileName() const { return fileName; }

    void SetPosition(float newX, float newY, float newZ);
    void Move(float dx, float dy, float dz);
    void SetRotX(float degrees) { rotX = degrees; }
    void SetRotY(float degrees) { rotY = degrees; }
    void SetRotZ(float degrees) { rotZ = degrees; }
    void SetRotation(float degreesX, float degreesY, float degreesZ);
    // Uniform scale; the bounding radius follows.
    void SetScale(float scale);
    void SetUnitIndex(int index) { unitIndex = index; }
    void SetPresent(bool isPresent) { present = isPresent; }

private:
    CModel*     model = nullptr;
    float       x = 0.0f, y = 0.0f, z = 0.0f;
    float       rotX = 0.0f, rotY = 0.0f, rotZ = 0.0f;
    float       scaleX = 1.0f, scaleY = 1.0f, scaleZ = 1.0f;
    float       radius    = 0.0f;
    bool        present   = true;
    int         unitIndex = -1;
    std::string fileName;
};

// How a unit looks this frame: what the world objects need from the units.
struct CUnitLook {
    int  hitPoints = 0;
    int  team      = 1;
    bool done      = false;
};

// The level's models and everything placed from them: the objects of
// "objects.xml" and the units of both teams. Objects are lit with the fixed
// light; units are cel shaded with the team colour and a black outline.
class CWorldObjects {
public:
    enum Pass { passAll = 0, passObjects = 2, passUnits = 3 };

    static constexpr int    shadeTexels          = 16;
    static constexpr float  outlineWidthPerPixel = 0.0015625f * 1.5f;
    static constexpr float  hideRadiusDefault    = 50.0f;
    static constexpr size_t maxFileNameLength    = 511;
    // Scales an object of "objects.xml" may have (see LoadObjects).
    static constexpr float minObjectScale = 0.01f;
    static constexpr float maxObjectScale = 100.0f;

    using UnitLookup = std::function<bool(int unitIndex, CUnitLook& look)>;

    CWorldObjects(const char* objectsFile, CTextureManager* textures, const CHeightmap* heightmap);
    ~CWorldObjects();
    CWorldObjects(const CWorldObjects&)            = delete;
    CWorldObjects& operator=(const CWorldObjects&) = delete;

    void SetFrustum(const CFrustum* viewFrustum) { frustum = viewFrustum; }
    void SetUnitLookup(UnitLookup lookup) { unitLookup = std::move(lookup); }

    // The new instance's index; -1 for a name that is not a ".3ds" file.
    int  AddObject(const char* fileName);
    void PlaceOnGround(int index, float x, float z);
    void HideObjectsNear(float x, float z, float radius);
    bool LoadObjects();
    // False (the old file kept) when the file could not be written whole.
    bool SaveObjects() const;
    int  Draw(Pass pass) const;

    int             GetCount() const { return static_cast<int>(instances.size()); }
    int             GetModelCount() const { return static_cast<int>(models.size()); }
    CModelInstance* GetObjectByIndex(int index) const;
    bool            IsCelShadingReady() const { return multiProgram != 0 && singleProgram != 0; }
    GLuint          GetShadeTexture() const { return shadeTexture; }
    float           GetOutlineWidth() const { return outlineWidth; }

    const std::string& GetObjectsFile() const { return objectsFile; }

private:
    void    InitCelShading();
    GLuint  LoadProgram(const char* file, const std::string& text) const;
    void    DeletePrograms();
    void    CreateShadeTexture();
    CModel* FindOrLoadModel(const std::string& path);
    int     DrawInstance(const CModelInstance& instance) const;
    int     DrawUnit(const CModelInstance& instance, const CUnitLook& look) const;
    void    LightInObjectSpace(const CModelInstance& instance, float light[3]) const;

    std::vector<std::unique_ptr<CModel>>         models;
    std::vector<std::unique_ptr<CModelInstance>> instances;
    std::string                                  objectsFile;
    float                                        lightPosition[3] = {1.0f, 1.0f, 1.0f};
    GLuint                                       shadeTexture     = 0;
    GLuint                                       multiProgram     = 0;
    GLuint                                       singleProgram    = 0;
    float                                        outlineWidth     = 1.0f;
    const CFrustum*                              frustum          = nullptr;
    CTextureManager*                             textures         = nullptr;
    const CHeightmap*                            heightmap        = nullptr;
    CProgramFunctions                            programs;
    UnitLookup                                   unitLookup;
};
