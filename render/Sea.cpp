#include "render/Sea.h"

#include <GL/glext.h>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/FrameContext.h"
#include "core/Heightmap.h"
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

// The map's cells for the sea's dry parts: as many as its tiles.
constexpr int cellsPerSide = 32;
// Ground this far above the water hides it without a depth-buffer tie.
constexpr float dryMargin = 4.0f;
// The sky is left out only when every ray meets the water this far inside
// the sea's bounds (a share of its size), well in front of the sky's walls.
constexpr float skyMargin = 0.05f;

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

int CSea::Draw(bool shortcuts) {
    AdvanceDrift(GetFrameTime());
    wetOnly = shortcuts && EyeAboveGround();
    AddDebugLine("translate: %f", driftOffset);
    const CGlStateScope state(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT,
                              GL_CLIENT_VERTEX_ARRAY_BIT);
    const int           triangles = multitexture ? DrawMultitextured() : DrawBlended();
    // The sea texture's wrap mode belongs to the texture, not to the saved state.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return triangles;
}

void CSea::Quad(float y, bool bothUnits) const {
    if (wetOnly) {
        WetQuads(y, bothUnits);
        return;
    }
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

// The wet parts from client arrays: vertices, and texture coordinates for
// one unit or both.
void CSea::WetQuads(float y, bool bothUnits) const {
    const std::vector<float>& layer = y > waterHeight ? wetLayers[1] : wetLayers[0];
    glInterleavedArrays(GL_T2F_V3F, 0, layer.data());
    if (bothUnits) {
        textureUnits.clientActiveTexture(GL_TEXTURE1_ARB);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 5 * sizeof(float), layer.data());
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(layer.size() / 5));
    if (bothUnits) {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        textureUnits.clientActiveTexture(GL_TEXTURE0_ARB);
    }
}

void CSea::AddCell(float x0, float z0, float x1, float z1) {
    AddFan({x0, z0, x0, z1, x1, z1, x1, z0});
}

// A convex polygon (x, z pairs, in the whole quad's winding) as a fan, on
// both layers, with the whole quad's texture coordinates at every point.
void CSea::AddFan(const std::vector<float>& corners) {
    const float x0 = centreX - sizeX * 0.5f;
    const float z0 = centreZ - sizeZ * 0.5f;
    for (size_t k = 2; k + 3 < corners.size(); k += 2) {
        for (const size_t at : {size_t{0}, k, k + 2}) {
            const float x = corners[at], z = corners[at + 1];
            const float s = (x - x0) / sizeX, t = 1.0f - (z - z0) / sizeZ;
            wetLayers[0].insert(wetLayers[0].end(), {s, t, x, waterHeight, z});
            wetLayers[1].insert(wetLayers[1].end(), {s, t, x, waterHeight + overlayLift, z});
        }
    }
}

// The map's cells that reach down to the water, and around the map four
// bands out to the sea's edge. Every band has a corner at each cell border
// along the map's edge, so that neighbouring pieces share their corners and
// the rasteriser leaves no seam between them.
void CSea::SetGround(const CHeightmap& heightmap) {
    wetLayers[0].clear();
    wetLayers[1].clear();
    const int cells       = cellsPerSide;
    const int cellSamples = (heightmap.GetWidth() - 1) / cells;
    if (cellSamples < 1 || cellSamples * cells != heightmap.GetWidth() - 1 ||
        heightmap.GetWidth() != heightmap.GetHeight()) {
        return;
    }
    mapWidth       = static_cast<float>(heightmap.GetWidth() - 1) * heightmap.GetSpacing();
    const float w  = mapWidth / static_cast<float>(cells);
    const float x0 = centreX - sizeX * 0.5f, x1 = centreX + sizeX * 0.5f;
    const float z0 = centreZ - sizeZ * 0.5f, z1 = centreZ + sizeZ * 0.5f;
    groundTop = 0.0f;
    for (int row = 0; row < cells; ++row) {
        for (int column = 0; column < cells; ++column) {
            int lowest = 255;
            for (int r = row * cellSamples; r <= (row + 1) * cellSamples; ++r) {
                for (int c = column * cellSamples; c <= (column + 1) * cellSamples; ++c) {
                    lowest    = std::min(lowest, heightmap.GetSample(c, r));
                    groundTop = std::max(groundTop, heightmap.GetSample(c, r) * heightmap.GetHeightScale());
                }
            }
            if (lowest * heightmap.GetHeightScale() <= waterHeight + overlayLift + dryMargin) {
                AddCell(column * w, row * w, (column + 1) * w, (row + 1) * w);
            }
        }
    }
    const float        edge = cells * w; // the map's far edge, as the cells compute it
    std::vector<float> west{x0, z0, x0, z1, 0.0f, z1}, east{x1, z1, x1, z0, edge, z0};
    std::vector<float> north{0.0f, z0}, south{edge, z1};
    for (int k = cells; k >= 0; --k) {
        west.insert(west.end(), {0.0f, k * w});
        east.insert(east.end(), {edge, (cells - k) * w});
        north.insert(north.end(), {(cells - k) * w, 0.0f});
        south.insert(south.end(), {k * w, edge});
    }
    west.insert(west.end(), {0.0f, z0});
    east.insert(east.end(), {edge, z1});
    north.insert(north.end(), {edge, z0});
    south.insert(south.end(), {0.0f, z1});
    for (const auto* band : {&west, &east, &north, &south}) {
        AddFan(*band);
    }
}

// The eye (from the modelview matrix) over the map and above its highest
// ground: a ray from it to the water under a dry cell meets that cell's
// ground first.
bool CSea::EyeAboveGround() const {
    if (wetLayers[0].empty()) {
        return false;
    }
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const float x = -(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]);
    const float y = -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]);
    const float z = -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14]);
    return x > 0.0f && x < mapWidth && z > 0.0f && z < mapWidth && y > groundTop;
}

// The four corners of the window: where their rays meet the water, the view
// shows the sea (or the ground in front of it) in between too, as the
// window's rectangle maps onto the plane as a convex quadrilateral.
bool CSea::HidesSky() const {
    GLdouble modelView[16], projection[16];
    GLint    viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double corners[4][2] = {{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0}, {1.0, 1.0}};
    for (const auto& corner : corners) {
        const double wx = viewport[0] + corner[0] * viewport[2], wy = viewport[1] + corner[1] * viewport[3];
        double       near[3], far[3];
        if (gluUnProject(wx, wy, 0.0, modelView, projection, viewport, &near[0], &near[1], &near[2]) != GL_TRUE ||
            gluUnProject(wx, wy, 1.0, modelView, projection, viewport, &far[0], &far[1], &far[2]) != GL_TRUE) {
            return false;
        }
        const double drop = near[1] - far[1];
        if (!(near[1] > waterHeight + overlayLift) || !(drop > 0.0)) {
            return false;
        }
        const double t = (near[1] - waterHeight) / drop;
        const double x = near[0] + t * (far[0] - near[0]), z = near[2] + t * (far[2] - near[2]);
        if (std::fabs(x - centreX) > sizeX * (0.5 - skyMargin) || std::fabs(z - centreZ) > sizeZ * (0.5 - skyMargin)) {
            return false;
        }
    }
    return true;
}
