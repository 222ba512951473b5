#pragma once

#include <cstdint>
#include <string>

// A range [from, to] that particles draw uniform values from.
struct CParticleRange {
    float from = 0.0f;
    float to   = 0.0f;
};

// One effect file of the "particles" directory as plain data: what an
// emitter is made from. Times are seconds, velocities world units per second,
// angles degrees (and degrees per second).
struct CParticleEffect {
    // How the effect's particles blend: FIRE adds light, everything else
    // (SMOKE and unknown words) blends by alpha.
    enum Type { typeUnknown = 0, typeFire = 1, typeSmoke = 2 };

    int            count = 0;
    CParticleRange velX;
    CParticleRange velY;
    CParticleRange velZ;
    CParticleRange start; // delay before a particle first appears
    CParticleRange life;
    bool           startAgain = false; // dead particles restart at the emitter
    float          size       = 0.0f;  // edge length of the square
    float          angle      = 0.0f;  // first texture rotation, and its speed per second
    int            colorA = 0, colorR = 0, colorG = 0, colorB = 0;
    std::string    texture; // image name in the "particles" directory
    std::string    typeName;

    // 0xAARRGGBB from the low 8 bits of each component.
    uint32_t GetColour() const;
    // typeFire for "FIRE", typeSmoke for "SMOKE" (exact words), else typeUnknown.
    Type GetType() const;
};

// Reader of effect files. Every key is required; values outside the bounds
// below are clamped (with a line in the error log) so that a mistyped file
// cannot ask for millions of particles or for effects that outlive the game.
class CParticleFile {
public:
    static constexpr int    maxCount         = 10000;   // particles of one emitter
    static constexpr float  maxSeconds       = 3600.0f; // start delays and lifetimes
    static constexpr float  maxSpeed         = 10000.0f;
    static constexpr float  maxSize          = 4096.0f;
    static constexpr float  maxAngle         = 36000.0f;
    static constexpr size_t maxTextureLength = 511;
    static constexpr size_t maxTypeLength    = 127;

    // False (and `effect` unspecified) when the file cannot be opened or a
    // key is missing; no message is written for that.
    static bool Load(const char* path, CParticleEffect& effect);
};
