#pragma once

#include <GL/gl.h>

#include <string>
#include <vector>

#include "render/BufferObjects.h"
#include "render/ModelFile.h"
#include "render/MultitextureFunctions.h"
#include "render/ProgramFunctions.h"

class CTextureManager;

// What a draw of a unit adds to a plain draw: the two cel programs, the 1D
// shade texture, the light in the model's own space, the team colour and the
// width of the black outline.
struct CCelArguments {
    GLuint singleProgram = 0;
    GLuint multiProgram  = 0;
    GLuint shadeTexture  = 0;
    float  light[3]      = {0.0f, 0.0f, 0.0f};
    float  colour[4]     = {1.0f, 1.0f, 1.0f, 1.0f};
    float  outlineWidth  = 1.0f;
    bool   cel           = false;
};

// A 3DS model ready to draw in every render mode: one interleaved buffer per
// mesh (s, t, x, y, z, nx, ny, nz), one display list per mesh, and the
// immediate draw. GL objects exist only for the capabilities switched on when
// the model was made.
class CModel {
public:
    static constexpr float fallbackOutlineWidth = 2.0f;

    CModel(const char* path, CTextureManager* textures);
    ~CModel();
    CModel(const CModel&)            = delete;
    CModel& operator=(const CModel&) = delete;

    // Reads the file and rebuilds textures, buffers and display lists for its
    // meshes; a file that cannot be read leaves the model empty.
    bool Load(const char* path);
    // Draws every mesh; returns the triangles drawn (outlines included).
    int Draw(const CCelArguments& arguments) const;
    // glBegin/glEnd draw of one mesh; returns its face count.
    int DrawMeshImmediate(int mesh) const;

    int                GetRadius() const { return data.GetRadius(); }
    bool               IsCelCapable() const { return celCapable; }
    const std::string& GetPath() const { return path; }
    const CModelFile&  GetData() const { return data; }
    size_t             GetMeshCount() const { return data.GetMeshes().size(); }
    bool               HasBuffers() const { return !vertexBuffers.empty(); }
    bool               HasDisplayLists() const { return !displayLists.empty(); }

private:
    bool ReadFile(const char* path);
    void LoadTextures();
    void BuildVertexBuffers();
    void BuildDisplayLists();
    void DeleteGlObjects();

    int    DrawMesh(int mesh, const CCelArguments& arguments) const;
    int    DrawBuffered(int mesh, const CCelArguments& arguments, bool programmed) const;
    void   DrawBufferArrays(int mesh) const;
    void   DrawCelProgram(int mesh, const CCelArguments& arguments) const;
    int    DrawListed(int mesh, const CCelArguments& arguments) const;
    int    DrawListOrImmediate(int mesh) const;
    void   SetOutlineState(float alpha, float width) const;
    GLuint MeshTexture(int mesh) const;
    // The colour of an untextured mesh with a material, else null.
    const uint8_t* MaterialColour(int mesh) const;
    bool           IsTextured(int mesh) const;

    CTextureManager*       textures   = nullptr;
    bool                   celCapable = false;
    CBufferObjects         buffers;
    CProgramFunctions      programs;
    CMultitextureFunctions textureUnits;
    std::string            path;
    CModelFile             data;

    std::vector<GLuint> materialTextures; // one per material, 0 when untextured
    std::vector<GLuint> vertexBuffers;    // one per mesh
    std::vector<int>    vertexCounts;     // drawn vertices per mesh: faces × 3
    std::vector<GLuint> displayLists;     // one per mesh
};
