#include "render/Sea.h"

#include <GL/glext.h>

#include <cstdio>

#include "core/FrameContext.h"
#include "core/Options.h"
#include "render/GlState.h"
#include "render/TextureManager.h"

namespace {

float driftOffset = 0.0f;

struct CSeaCorner {
    int   x, z; // 0 the low bound, 1 the high one
    float s, t;
};

const CSeaCorner seaCorners[4] = {{0, 0, 0, 1}, {0, 1, 0, 0}, {1, 1, 1, 0}, {1, 0, 1, 1}};

} // namespace

CSea::CSea(const char* terrainDirectory, float worldWidth, float heightScale, float waterLevel,
           CTextureManager& textures)
    : centreX(worldWidth * 0.5f), waterHeight(heightScale * waterLevel), centreZ(worldWidth * 0.5f),
      sizeX(worldWidth * widthFactor), sizeZ(worldWidth * widthFactor) {
    char path[1024];
    snprintf(path, sizeof path, "%s\\sea.bmp", terrainDirectory != nullptr ? terrainDirectory : "");
    texture = textures.LoadTexture(path, GetOptions().textureCompression);
    if (GetOptions().multitexture) {
        multitexture = textureUnits.Load();
    }
}

float CSea::GetDriftOffset() {
    return driftOffset;
}

void CSea::SetDriftOffset(float offset) {
    driftOffset = offset;
}

void CSea::AdvanceDrift(float frameTime) {
    driftOffset += frameTime * driftPerSecond;
    if (driftOffset >= 1.0f) {
        driftOffset = 0.0f;
    }
}

int CSea::Draw() {
    AdvanceDrift(GetFrameTime());
    AddDebugLine("translate: %f", driftOffset);
    const CGlStateScope state(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    const int           triangles = multitexture ? DrawMultitextured() : DrawBlended();
    // The sea texture's wrap mode belongs to the texture, not to the saved state.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return triangles;
}

void CSea::Quad(float y, bool bothUnits) const {
    const float x0 = centreX - sizeX * 0.5f;
    const float z0 = centreZ - sizeZ * 0.5f;
    glBegin(GL_QUADS);
    for (const CSeaCorner& corner : seaCorners) {
        if (bothUnits) {
            textureUnits.multiTexCoord2f(GL_TEXTURE0_ARB, corner.s, corner.t);
            textureUnits.multiTexCoord2f(GL_TEXTURE1_ARB, corner.s, corner.t);
        } else {
            glTexCoord2f(corner.s, corner.t);
        }
        glVertex3f(corner.x ? x0 + sizeX : x0, y, corner.z ? z0 + sizeZ : z0);
    }
    glEnd();
}

// Two layers: the still sea, then the same texture drifting at half opacity
// just above it.
int CSea::DrawBlended() const {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    Quad(waterHeight, false);

    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(driftOffset, driftOffset, 0.0f);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    Quad(waterHeight + overlayLift, false);
    glPopMatrix();
    return 4;
}

// One quad: unit 0 the still texture, unit 1 the same texture drifting.
int CSea::DrawMultitextured() const {
    textureUnits.activeTexture(GL_TEXTURE0_ARB);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnable(GL_TEXTURE_2D);
    textureUnits.activeTexture(GL_TEXTURE1_ARB);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(driftOffset, driftOffset, 0.0f);

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    Quad(waterHeight, true);

    glPopMatrix();
    return 2;
}
