#include "render/Model.h"

#include "core/Options.h"
#include "core/Logger.h"
#include "platform/MessageBox.h"
#include "render/GlState.h"
#include "render/TextureManager.h"

namespace {

// Interleaved vertex: s, t, x, y, z, nx, ny, nz.
constexpr int     floatsPerVertex = 8;
constexpr GLsizei vertexStride    = floatsPerVertex * sizeof(float);
const GLvoid*     texCoordOffset  = reinterpret_cast<const GLvoid*>(0);
const GLvoid*     positionOffset  = reinterpret_cast<const GLvoid*>(2 * sizeof(float));
const GLvoid*     normalOffset    = reinterpret_cast<const GLvoid*>(5 * sizeof(float));

} // namespace

CModel::CModel(const char* modelPath, CTextureManager* textureManager)
    : textures(textureManager), path(modelPath != nullptr ? modelPath : "") {
    const CAppOptions& options = GetOptions();
    celCapable                 = options.vertexShader && options.multitexture && programs.Load() && textureUnits.Load();
    if (options.vertexBufferObjects) {
        buffers.Load();
    }
    Load(path.c_str());
}

CModel::~CModel() {
    DeleteGlObjects();
}

// The per-mesh GL objects and counts are rebuilt with the meshes, so a model
// loaded again never draws with the lists or buffers of its old meshes.
bool CModel::Load(const char* modelPath) {
    DeleteGlObjects();
    vertexCounts.clear();
    const bool loaded = ReadFile(modelPath);
    LoadTextures();
    for (const CModelMesh& mesh : data.GetMeshes()) {
        vertexCounts.push_back(static_cast<int>(mesh.faces.size()) * 3);
    }
    if (buffers.IsLoaded()) {
        BuildVertexBuffers();
    }
    if (GetOptions().displayLists) {
        BuildDisplayLists();
    }
    return loaded;
}

bool CModel::ReadFile(const char* modelPath) {
    switch (data.LoadFile(modelPath)) {
    case CModelFile::fileMissing:
        CMessageBox::Show("Error", "Unable to find the file: %s!", modelPath != nullptr ? modelPath : "");
        return false;
    case CModelFile::notPrimaryChunk:
        CMessageBox::Show("Error", "Unable to load PRIMARY chuck from file: %s!", modelPath);
        return false;
    case CModelFile::loaded:
        break;
    }
    if (data.IsNewerVersion()) {
        CMessageBox::Show("Warning", "This 3DS file is over version 3 so it may load incorrectly");
    }
    if (data.IsTruncated()) {
        GetLogger()->LogError("CModel::Load: %s is cut short; what it holds is loaded", modelPath);
    }
    // A cut file makes its chunks and counts come short as well: one line says it.
    if (!data.IsTruncated() && data.GetLyingLengths() > 0) {
        GetLogger()->LogError("CModel::Load: %s: %d chunk lengths claim more than their chunk holds; cut to it",
                              modelPath, data.GetLyingLengths());
    }
    if (!data.IsTruncated() && data.GetLyingCounts() > 0) {
        GetLogger()->LogError("CModel::Load: %s: %d list counts claim more records than their chunk holds; cut to it",
                              modelPath, data.GetLyingCounts());
    }
    if (data.GetNonFiniteCoordinates() > 0) {
        GetLogger()->LogError("CModel::Load: %s: %d vertex coordinates are not finite numbers; read as 0", modelPath,
                              data.GetNonFiniteCoordinates());
    }
    if (data.GetClampedCoordinates() > 0) {
        GetLogger()->LogError("CModel::Load: %s: %d vertex coordinates beyond +-%g clamped", modelPath,
                              data.GetClampedCoordinates(), static_cast<double>(CModelFile::maxCoordinate));
    }
    return true;
}

void CModel::LoadTextures() {
    materialTextures.assign(data.GetMaterials().size(), 0);
    if (textures == nullptr) {
        return;
    }
    const bool compress = GetOptions().textureCompression;
    for (size_t i = 0; i < materialTextures.size(); ++i) {
        const std::string& file = data.GetMaterials()[i].textureFile;
        if (!file.empty()) {
            materialTextures[i] = textures->LoadTexture(("objects\\" + file).c_str(), compress);
        }
    }
}

void CModel::BuildVertexBuffers() {
    std::vector<float> interleaved;
    for (const CModelMesh& mesh : data.GetMeshes()) {
        interleaved.clear();
        const bool withCoords = mesh.textured && mesh.HasTexCoords();
        for (const CModelFace& face : mesh.faces) {
            for (uint16_t corner : face.corners) {
                float s = 0.0f, t = 0.0f;
                if (withCoords) {
                    mesh.TexCoordAt(corner, s, t);
                }
                const CVector3& position = mesh.vertices[corner];
                const CVector3& normal   = mesh.normals[corner];
                interleaved.insert(interleaved.end(),
                                   {s, t, position.x, position.y, position.z, normal.x, normal.y, normal.z});
            }
        }
        vertexBuffers.push_back(buffers.Upload(GL_ARRAY_BUFFER_ARB, interleaved.data(),
                                               interleaved.size() * sizeof(float), GL_STATIC_DRAW_ARB));
    }
    buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

void CModel::BuildDisplayLists() {
    for (size_t mesh = 0; mesh < data.GetMeshes().size(); ++mesh) {
        const GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        DrawMeshImmediate(static_cast<int>(mesh));
        glEndList();
        displayLists.push_back(list);
    }
}

void CModel::DeleteGlObjects() {
    for (GLuint& buffer : vertexBuffers) {
        buffers.Delete(buffer);
    }
    vertexBuffers.clear();
    for (GLuint list : displayLists) {
        if (list != 0) {
            glDeleteLists(list, 1);
        }
    }
    displayLists.clear();
}

bool CModel::IsTextured(int mesh) const {
    return data.GetMeshes()[mesh].textured && MeshTexture(mesh) != 0;
}

const uint8_t* CModel::MaterialColour(int mesh) const {
    const CModelMesh& meshData = data.GetMeshes()[mesh];
    return !meshData.textured && meshData.materialIndex >= 0 ? data.GetMaterials()[meshData.materialIndex].colour
                                                             : nullptr;
}

GLuint CModel::MeshTexture(int mesh) const {
    const int material = data.GetMeshes()[mesh].materialIndex;
    return material >= 0 && static_cast<size_t>(material) < materialTextures.size() ? materialTextures[material] : 0;
}

int CModel::DrawMeshImmediate(int meshIndex) const {
    const CModelMesh& mesh       = data.GetMeshes()[meshIndex];
    const bool        withCoords = mesh.textured && mesh.HasTexCoords();
    const uint8_t*    colour     = MaterialColour(meshIndex);
    const bool        withColour = colour != nullptr;
    // Plain calls rather than a scope: they are recorded into the display
    // lists made from this draw.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glBegin(GL_TRIANGLES);
    for (const CModelFace& face : mesh.faces) {
        for (uint16_t corner : face.corners) {
            const CVector3& normal = mesh.normals[corner];
            glNormal3f(normal.x, normal.y, normal.z);
            if (withCoords) {
                float s, t;
                mesh.TexCoordAt(corner, s, t);
                glTexCoord2f(s, t);
            }
            if (withColour) {
                glColor3ub(colour[0], colour[1], colour[2]);
            }
            const CVector3& position = mesh.vertices[corner];
            glVertex3f(position.x, position.y, position.z);
        }
    }
    glEnd();
    glPopAttrib();
    return static_cast<int>(mesh.faces.size());
}

int CModel::Draw(const CCelArguments& arguments) const {
    const CGlStateScope state(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    int                 triangles = 0;
    for (size_t mesh = 0; mesh < data.GetMeshes().size(); ++mesh) {
        triangles += DrawMesh(static_cast<int>(mesh), arguments);
    }
    return triangles;
}

int CModel::DrawMesh(int mesh, const CCelArguments& arguments) const {
    // Without their programs (the files were missing) units take the fixed path.
    const bool programmed = arguments.cel && celCapable && arguments.singleProgram != 0 && arguments.multiProgram != 0;
    const bool buffered   = GetOptions().renderMode == renderBufferObjects && HasBuffers();
    const bool textured   = IsTextured(mesh);
    if (textured && !(buffered && programmed)) {
        glEnable(GL_TEXTURE_2D);
        glColor3ub(255, 255, 255);
        glBindTexture(GL_TEXTURE_2D, MeshTexture(mesh));
    } else {
        glDisable(GL_TEXTURE_2D);
        glColor3ub(255, 255, 255);
    }
    // A plain object's untextured mesh shows its material colour under the
    // light: colour material makes the lit colour follow the one the immediate
    // draw sends, and the array paths take it as the current colour. A unit
    // keeps the team material its caller set.
    const uint8_t*      colour = arguments.cel ? nullptr : MaterialColour(mesh);
    const CGlStateScope materialColour(colour != nullptr ? GL_LIGHTING_BIT | GL_CURRENT_BIT : 0);
    if (colour != nullptr) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glColor3ub(colour[0], colour[1], colour[2]);
    }
    return buffered ? DrawBuffered(mesh, arguments, programmed) : DrawListed(mesh, arguments);
}

// The black silhouette: back faces as thick lines, front faces culled. The
// immediate draw (and a display list made from it) sets the material colour
// of an untextured mesh, which unlit would paint the outline in that colour;
// lit with an all-black material every line is black whatever colour the
// draw sets, and its alpha is the material's. The caller saves the state.
void CModel::SetOutlineState(float alpha, float width) const {
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, alpha};
    glEnable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.0f, 0.0f, 0.0f, alpha);
    glLineWidth(width);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glPolygonMode(GL_BACK, GL_LINE);
}

void CModel::DrawBufferArrays(int mesh) const {
    const CGlStateScope arrays(0, GL_CLIENT_VERTEX_ARRAY_BIT);
    buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, vertexBuffers[mesh]);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, vertexStride, texCoordOffset);
    glVertexPointer(3, GL_FLOAT, vertexStride, positionOffset);
    glNormalPointer(GL_FLOAT, vertexStride, normalOffset);
    glDrawArrays(GL_TRIANGLES, 0, vertexCounts[mesh]);
    buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

int CModel::DrawBuffered(int mesh, const CCelArguments& arguments, bool programmed) const {
    const int faces = vertexCounts[mesh] / 3;
    if (!arguments.cel) {
        DrawBufferArrays(mesh);
        return faces;
    }
    if (programmed) {
        const CGlStateScope cel(GL_ALL_ATTRIB_BITS);
        glDisable(GL_LIGHTING);
        DrawCelProgram(mesh, arguments);
        SetOutlineState(arguments.colour[3], arguments.outlineWidth);
        DrawBufferArrays(mesh);
        return 2 * faces;
    }
    DrawBufferArrays(mesh);
    const CGlStateScope outline(GL_ALL_ATTRIB_BITS);
    SetOutlineState(arguments.colour[3], fallbackOutlineWidth);
    DrawBufferArrays(mesh);
    return 2 * faces;
}

// Cel shading by vertex program: the program turns the object-space light
// into a coordinate of the 1D shade texture (unit 0); a textured mesh also
// has its own texture on unit 1.
void CModel::DrawCelProgram(int mesh, const CCelArguments& arguments) const {
    const bool          textured = IsTextured(mesh);
    const GLuint        program  = textured ? arguments.multiProgram : arguments.singleProgram;
    const CGlStateScope arrays(0, GL_CLIENT_VERTEX_ARRAY_BIT);
    buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, vertexBuffers[mesh]);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, vertexStride, positionOffset);
    glNormalPointer(GL_FLOAT, vertexStride, normalOffset);
    for (int unit = textured ? 1 : 0; unit >= 0; --unit) {
        textureUnits.activeTexture(GL_TEXTURE0_ARB + unit);
        textureUnits.clientActiveTexture(GL_TEXTURE0_ARB + unit);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, vertexStride, texCoordOffset);
        if (unit == 1) {
            glBindTexture(GL_TEXTURE_2D, MeshTexture(mesh));
            glEnable(GL_TEXTURE_2D);
        } else {
            glBindTexture(GL_TEXTURE_1D, arguments.shadeTexture);
            glEnable(GL_TEXTURE_1D);
        }
    }
    programs.bindProgram(GL_VERTEX_PROGRAM_ARB, program);
    glEnable(GL_VERTEX_PROGRAM_ARB);
    programs.programEnvParameter4f(GL_VERTEX_PROGRAM_ARB, 0, arguments.light[0], arguments.light[1], arguments.light[2],
                                   1.0f);
    glColor4fv(arguments.colour);
    glDrawArrays(GL_TRIANGLES, 0, vertexCounts[mesh]);

    glDisable(GL_VERTEX_PROGRAM_ARB);
    programs.bindProgram(GL_VERTEX_PROGRAM_ARB, 0);
    for (int unit = textured ? 1 : 0; unit >= 0; --unit) {
        textureUnits.activeTexture(GL_TEXTURE0_ARB + unit);
        textureUnits.clientActiveTexture(GL_TEXTURE0_ARB + unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindTexture(unit == 1 ? GL_TEXTURE_2D : GL_TEXTURE_1D, 0);
        glDisable(unit == 1 ? GL_TEXTURE_2D : GL_TEXTURE_1D);
    }
    buffers.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

int CModel::DrawListOrImmediate(int mesh) const {
    if (GetOptions().displayLists && HasDisplayLists()) {
        glCallList(displayLists[mesh]);
        return vertexCounts[mesh] / 3;
    }
    return DrawMeshImmediate(mesh);
}

int CModel::DrawListed(int mesh, const CCelArguments& arguments) const {
    int triangles = DrawListOrImmediate(mesh);
    if (arguments.cel) {
        const CGlStateScope outline(GL_ALL_ATTRIB_BITS);
        SetOutlineState(arguments.colour[3], fallbackOutlineWidth);
        triangles += DrawListOrImmediate(mesh);
    }
    return triangles;
}
