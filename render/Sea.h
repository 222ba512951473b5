#pragma once

#include <GL/gl.h>

#include <string>

#include "render/MultitextureFunctions.h"

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
    int Draw();

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
    int  DrawBlended() const;
    int  DrawMultitextured() const;

    float  centreX      = 0.0f;
    float  waterHeight  = 0.0f;
    float  centreZ      = 0.0f;
    float  sizeX        = 0.0f;
    float  sizeZ        = 0.0f;
    GLuint texture      = 0;
    bool   multitexture = false;

    CMultitextureFunctions textureUnits;
};
