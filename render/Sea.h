#pragma once

#include <GL/gl.h>

#include <string>
#include <vector>

#include "render/MultitextureFunctions.h"

class CHeightmap;
class CTextureManager;

// A flat water plane at the level's water height whose texture drifts slowly.
// The water height is also a rule: tiles at or below it cannot be entered.
class CSea {
public:
    static constexpr float driftPerSecond = 0.01f; // texture repeats per second
    static constexpr float widthFactor    = 4.0f;  // the sea is four map widths across
    static constexpr float overlayLift    = 1.0f;  // the second, drifting layer floats this high

    CSea(const char* terrainDirectory, float worldWidth, float heightScale, float waterLevel,
         CTextureManager& textures);

    // Advances the drift by the frame time and draws; returns the triangles.
    // With `shortcuts` (see SetGround) and the eye over the map above its
    // highest ground, only the water the ground cannot hide is drawn.
    int Draw(bool shortcuts = false);

    // Notes which cells of the map (a tile each) reach down to the water:
    // elsewhere the ground hides the sea from any eye above it.
    void SetGround(const CHeightmap& heightmap);
    // True when, in the current GL view, every pixel's ray meets the sea
    // (well inside its bounds) or the ground first: the sky box around both
    // is then hidden everywhere and need not be drawn.
    bool HidesSky() const;

    float  GetWaterHeight() const { return waterHeight; }
    float  GetCentreX() const { return centreX; }
    float  GetCentreZ() const { return centreZ; }
    float  GetSizeX() const { return sizeX; }
    float  GetSizeZ() const { return sizeZ; }
    GLuint GetTexture() const { return texture; }

    // The drift shared by every sea, 0 <= offset < 1; it survives level changes.
    static float GetDriftOffset();
    static void  SetDriftOffset(float offset);
    // Adds one frame's drift and wraps to 0 at a full repeat.
    static void AdvanceDrift(float frameTime);

private:
    void Quad(float y, bool bothUnits) const;
    void WetQuads(float y, bool bothUnits) const;
    bool EyeAboveGround() const;
    void AddCell(float x0, float z0, float x1, float z1);
    void AddFan(const std::vector<float>& corners);
    int  DrawBlended() const;
    int  DrawMultitextured() const;

    float  centreX      = 0.0f;
    float  waterHeight  = 0.0f;
    float  centreZ      = 0.0f;
    float  sizeX        = 0.0f;
    float  sizeZ        = 0.0f;
    GLuint texture      = 0;
    bool   multitexture = false;
    bool   wetOnly      = false; // this frame draws the wet cells only

    // The sea without the dry cells as triangles (GL_T2F_V3F) at the water
    // height and at the drifting layer's, and what the eye must be above
    // for them to look like the whole sea.
    std::vector<float> wetLayers[2];
    float              groundTop = 0.0f, mapWidth = 0.0f;

    CMultitextureFunctions textureUnits;
};
