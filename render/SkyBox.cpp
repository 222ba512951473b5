#include "render/SkyBox.h"

#include <cstdio>

#include "render/GlState.h"
#include "render/TextureManager.h"

namespace {

const char* const faceFiles[CSkyBox::faceCount] = {"back.tga", "front.tga", "bottom.tga",
                                                   "top.tga",  "left.tga",  "right.tga"};

struct CSkyVertex {
    float s, t;
    int   x, y, z; // 0 picks the low bound of the axis, 1 the high one
};

// Per face, in the order drawn: texture and four corners with coordinates.
struct CSkyQuad {
    CSkyBox::Face face;
    CSkyVertex    corners[4];
};

const CSkyQuad skyQuads[CSkyBox::faceCount] = {
    {CSkyBox::faceFront, {{1, 0, 1, 0, 0}, {1, 1, 1, 1, 0}, {0, 1, 0, 1, 0}, {0, 0, 0, 0, 0}}},
    {CSkyBox::faceBack, {{1, 0, 0, 0, 1}, {1, 1, 0, 1, 1}, {0, 1, 1, 1, 1}, {0, 0, 1, 0, 1}}},
    {CSkyBox::faceBottom, {{1, 0, 0, 0, 0}, {1, 1, 0, 0, 1}, {0, 1, 1, 0, 1}, {0, 0, 1, 0, 0}}},
    {CSkyBox::faceTop, {{1, 0, 1, 1, 0}, {1, 1, 1, 1, 1}, {0, 1, 0, 1, 1}, {0, 0, 0, 1, 0}}},
    {CSkyBox::faceRight, {{1, 1, 0, 1, 0}, {0, 1, 0, 1, 1}, {0, 0, 0, 0, 1}, {1, 0, 0, 0, 0}}},
    {CSkyBox::faceLeft, {{0, 0, 1, 0, 0}, {1, 0, 1, 0, 1}, {1, 1, 1, 1, 1}, {0, 1, 1, 1, 0}}},
};

} // namespace

CSkyBox::CSkyBox(const char* skyDirectory, CTextureManager& textureManager, float worldWidth)
    : centre(worldWidth * 0.5f, centreHeight, worldWidth * 0.5f),
      size(worldWidth * widthFactor, boxHeight, worldWidth * widthFactor),
      directory(skyDirectory != nullptr ? skyDirectory : "") {
    for (int face = 0; face < faceCount; ++face) {
        char path[1024];
        snprintf(path, sizeof path, "%s\\%s", directory.c_str(), faceFiles[face]);
        textures[face] = textureManager.LoadTexture(path, false);
    }
}

int CSkyBox::Draw() const {
    const CVector3      low  = centre - size * 0.5f;
    const CVector3      high = low + size;
    const CGlStateScope state(GL_ENABLE_BIT | GL_TEXTURE_BIT);
    glEnable(GL_TEXTURE_2D);
    for (const CSkyQuad& quad : skyQuads) {
        glBindTexture(GL_TEXTURE_2D, textures[quad.face]);
        glBegin(GL_QUADS);
        for (const CSkyVertex& corner : quad.corners) {
            glTexCoord2f(corner.s, corner.t);
            glVertex3f(corner.x ? high.x : low.x, corner.y ? high.y : low.y, corner.z ? high.z : low.z);
        }
        glEnd();
    }
    return 2 * faceCount;
}
