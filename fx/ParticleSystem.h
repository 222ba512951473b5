#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <random>
#include <vector>

#include "fx/ParticleFile.h"
#include "render/MagnifiedSampler.h"
#include "core/Vector3.h"

class CFrustum;
class CTextureManager;

// One textured, camera-facing square of an emitter. A particle waits
// startDelay seconds, then flies for lifeLeft seconds; when it dies it
// restarts at startPosition if startAgain is set.
struct CParticle {
    CVector3 position;
    CVector3 startPosition;
    CVector3 velocity;          // world units per second
    uint32_t colour     = 0;    // 0xAARRGGBB
    float    size       = 0.0f; // edge length in world units
    float    lifeLeft   = 0.0f; // seconds; dead at 0 or below
    float    life       = 0.0f; // lifetime given again on a restart
    float    startDelay = 0.0f; // seconds before the first appearance
    float    angle      = 0.0f; // texture rotation in degrees
    float    angleSpeed = 0.0f; // degrees per second
    bool     startAgain = false;
};

// One running effect: a fixed array of particles made from an effect file.
// Its id is its slot in the system's list; a deleted emitter keeps its slot
// with an empty array.
struct CParticleEmitter {
    int                    type    = 0; // CParticleEffect::Type; only FIRE blends additively
    int                    count   = 0;
    bool                   active  = true;
    bool                   deleted = false;
    GLuint                 texture = 0; // shared by all particles of the emitter
    int                    texels  = 0; // the texture's longer side
    std::vector<CParticle> particles;
};

// What the last Draw counted, for the caller's debug line.
struct CParticleFrameStats {
    int activeEmitters    = 0; // emitters with at least one living particle
    int renderedParticles = 0; // particles that passed the frustum test
    int emitterSlots      = 0; // size of the emitter list
    int drawCalls         = 0; // one per texture and blend mode in use (see SubmitBatches)
};

// The level's particle effects: smoke, fire, wheel dust, muzzle flashes,
// explosions, boosts and fireworks. Emitters are told positions, never
// given units. Ids below 0 or past the list are ignored by every operation,
// so -1 ("no effect") is always safe to pass.
//
// Drawing: all particles of a frame go into one vertex array, grouped into
// one draw call per texture and blend mode (FIRE adds light, every other
// type blends by alpha); the texture rotation of each particle is applied to
// its texture coordinates. Particles are tested against the frustum one by
// one when culling is on.
class CParticleSystem {
public:
    // Downward drift of every flying particle, world units per second.
    static constexpr float sinkSpeed = 0.98100007f;
    // The caller's debug line, with the three numbers of CParticleFrameStats.
    static constexpr const char* debugLineFormat =
        "active particle emitters: %d, rendered particles: %d, size of vector: %d";

    // Textures come from the level's cache (borrowed; null gives texture 0).
    explicit CParticleSystem(CTextureManager* textures);
    CParticleSystem(const CParticleSystem&)            = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    // The view's planes for culling (borrowed); without a frustum every
    // particle counts as visible.
    void SetFrustum(const CFrustum* frustum) { this->frustum = frustum; }

    // Reads "particles\<fileName>" anew and starts its emitter at `position`;
    // the new id, or -1 when the file is missing or lacks a key.
    int LoadEmitter(const char* fileName, const CVector3& position);
    // Particles restart at the new point; those still waiting move there at
    // once, those flying finish their flight where they are.
    void SetEmitterPosition(int id, float x, float y, float z);
    // No particle restarts any more, waiting ones are cancelled; the emitter
    // is deleted once its flying particles have died.
    void StopRespawn(int id);

    // One frame: Update, then Draw. Returns the triangles counted.
    int UpdateAndDraw(float frameTime);
    // Deletes finished emitters (with a line in the information log), then
    // moves every particle by the frame time in seconds.
    void Update(float frameTime);
    // Draws the living particles facing the camera of the current modelview
    // matrix; returns two triangles per particle that passed the frustum test.
    int Draw();

    // Releases every emitter and empties the list.
    void DestroyAll();

    int                        GetEmitterCount() const { return static_cast<int>(emitters.size()); }
    const CParticleEmitter*    GetEmitter(int id) const;
    const CParticleFrameStats& GetFrameStats() const { return stats; }

private:
    // One interleaved vertex as glInterleavedArrays(GL_T2F_C4UB_V3F) reads it.
    struct Vertex {
        float   s, t;
        uint8_t red, green, blue, alpha;
        float   x, y, z;
    };
    // A run of vertices drawn with one texture and one blend function.
    struct Batch {
        GLuint texture    = 0;
        bool   additive   = false;
        int    firstIndex = 0;
        int    count      = 0;
    };

    CParticleEmitter* MutableEmitter(int id);
    float             Random(const CParticleRange& range);
    void              InitParticles(CParticleEmitter& emitter, const CParticleEffect& effect, const CVector3& position);
    void              RemoveFinishedEmitters();
    static void       UpdateParticle(CParticle& particle, float frameTime);
    bool              IsVisible(const CParticle& particle, bool culling) const;
    void              BuildBatches(const CVector3& right, const CVector3& up);
    void              AppendQuad(const CParticle& particle, const CVector3& right, const CVector3& up);
    bool              IsMagnified(const CParticle& particle, int texels) const;
    void              SubmitBatches();

    CTextureManager*              textures = nullptr;
    const CFrustum*               frustum  = nullptr;
    std::vector<CParticleEmitter> emitters;
    std::minstd_rand              random;
    CParticleFrameStats           stats;
    // Reused every frame, so drawing allocates only when the scene grows.
    std::vector<Vertex> vertices;
    std::vector<Batch>  batches;
    std::vector<int>    batchOfEmitter;
    // Per quad: its texture is magnified on every pixel (see IsMagnified).
    std::vector<uint8_t> magnified;
    CMagnifiedSampler    magnifiedSampler;
    bool                 samplerTried = false;
    // The view's eye-depth row and pixels per world unit at unit depth.
    float depthRow[4] = {}, pixelsPerUnit = 0.0f;
};
