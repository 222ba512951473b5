#pragma once

#include <GL/gl.h>

#include <string>

#include "core/Vector3.h"

class CTextureManager;

// Six textured faces around the whole map. The box stands still (it does not
// follow the camera) and is large enough that the view never reaches it.
class CSkyBox {
public:
    enum Face { faceBack, faceFront, faceBottom, faceTop, faceLeft, faceRight, faceCount };

    static constexpr float centreHeight = -300.0f;
    static constexpr float boxHeight    = 5000.0f;
    static constexpr float widthFactor  = 4.0f; // the box is four map widths across

    CSkyBox(const char* skyDirectory, CTextureManager& textures, float worldWidth);

    // Draws the box with the frame's colour and depth state; returns its triangles.
    int Draw() const;

    const CVector3& GetCentre() const { return centre; }
    const CVector3& GetSize() const { return size; }
    GLuint          GetTexture(Face face) const { return textures[face]; }

private:
    CVector3    centre;
    CVector3    size;
    std::string directory;
    GLuint      textures[faceCount] = {};
};
