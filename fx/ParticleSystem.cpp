#include "fx/ParticleSystem.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "core/Frustum.h"
#include "core/Logger.h"
#include "core/Options.h"
#include "render/GlState.h"
#include "render/TexelFootprint.h"
#include "render/TextureManager.h"

namespace {

constexpr int   verticesPerQuad   = 4;
constexpr int   trianglesPerQuad  = 2;
constexpr float degreesToRadians  = 3.14159265358979f / 180.0f;
constexpr int   randomMask        = 0x7FFF; // random numbers have 15 bits, as the effects were tuned with
constexpr float randomMaskDivisor = 32767.0f;

} // namespace

CParticleSystem::CParticleSystem(CTextureManager* textureManager) : textures(textureManager) {}

const CParticleEmitter* CParticleSystem::GetEmitter(int id) const {
    return id >= 0 && id < static_cast<int>(emitters.size()) ? &emitters[id] : nullptr;
}

CParticleEmitter* CParticleSystem::MutableEmitter(int id) {
    return id >= 0 && id < static_cast<int>(emitters.size()) ? &emitters[id] : nullptr;
}

float CParticleSystem::Random(const CParticleRange& range) {
    const float r = static_cast<float>(random() & randomMask) / randomMaskDivisor;
    return range.from + r * (range.to - range.from);
}

int CParticleSystem::LoadEmitter(const char* fileName, const CVector3& position) {
    if (fileName == nullptr) {
        return -1;
    }
    CParticleEffect effect;
    if (!CParticleFile::Load((std::string("particles\\") + fileName).c_str(), effect)) {
        return -1;
    }
    CParticleEmitter emitter;
    emitter.type  = effect.GetType();
    emitter.count = effect.count;
    if (textures != nullptr) {
        const std::string texturePath = "particles\\" + effect.texture;
        emitter.texture               = textures->LoadTexture(texturePath.c_str(), GetOptions().textureCompression);
        if (emitter.texture != 0) {
            GLint width = 0, height = 0;
            glBindTexture(GL_TEXTURE_2D, emitter.texture);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
            glBindTexture(GL_TEXTURE_2D, 0);
            emitter.texels = std::max(width, height);
        }
    }
    InitParticles(emitter, effect, position);
    emitters.push_back(std::move(emitter));
    return static_cast<int>(emitters.size()) - 1;
}

// Five random numbers per particle, in this order: velocity z, y, x, life,
// start delay. A particle without life or size is dead from the start.
void CParticleSystem::InitParticles(CParticleEmitter& emitter, const CParticleEffect& effect,
                                    const CVector3& position) {
    emitter.particles.assign(effect.count, CParticle());
    for (CParticle& particle : emitter.particles) {
        particle.velocity.z    = Random(effect.velZ);
        particle.velocity.y    = Random(effect.velY);
        particle.velocity.x    = Random(effect.velX);
        const float life       = Random(effect.life);
        const float startDelay = Random(effect.start);
        particle.position      = position;
        particle.startPosition = position;
        if (life <= 0.0f || effect.size <= 0.0f) {
            continue;
        }
        particle.lifeLeft   = life;
        particle.life       = life;
        particle.startDelay = startDelay;
        particle.startAgain = effect.startAgain;
        particle.size       = effect.size;
        particle.angle      = effect.angle;
        particle.angleSpeed = effect.angle;
        particle.colour     = effect.GetColour();
    }
}

void CParticleSystem::SetEmitterPosition(int id, float x, float y, float z) {
    CParticleEmitter* emitter = MutableEmitter(id);
    if (emitter == nullptr) {
        return;
    }
    const CVector3 point(x, y, z);
    for (CParticle& particle : emitter->particles) {
        particle.startPosition = point;
        if (particle.startDelay > 0.0f) {
            particle.position = point;
        }
    }
}

void CParticleSystem::StopRespawn(int id) {
    CParticleEmitter* emitter = MutableEmitter(id);
    if (emitter == nullptr) {
        return;
    }
    for (CParticle& particle : emitter->particles) {
        particle.startAgain = false;
        if (particle.startDelay > 0.0f) {
            particle.lifeLeft = 0.0f;
        }
    }
}

int CParticleSystem::UpdateAndDraw(float frameTime) {
    Update(frameTime);
    return Draw();
}

void CParticleSystem::Update(float frameTime) {
    RemoveFinishedEmitters();
    for (CParticleEmitter& emitter : emitters) {
        if (!emitter.active) {
            continue;
        }
        for (CParticle& particle : emitter.particles) {
            UpdateParticle(particle, frameTime);
        }
    }
}

// An emitter whose particles have all died for good releases them. Waiting
// particles still have their life ahead, and dead ones that will restart
// keep it running too: otherwise an effect whose particles all die in the
// same frame (equal lifetimes) would vanish after its first round.
void CParticleSystem::RemoveFinishedEmitters() {
    for (size_t id = 0; id < emitters.size(); ++id) {
        CParticleEmitter& emitter = emitters[id];
        if (emitter.deleted) {
            continue;
        }
        bool running = false;
        for (const CParticle& particle : emitter.particles) {
            running = running || particle.lifeLeft > 0.0f || particle.startAgain;
        }
        if (running) {
            continue;
        }
        std::vector<CParticle>().swap(emitter.particles);
        emitter.active  = false;
        emitter.deleted = true;
        GetLogger()->LogInfo("emitter %d deleted", static_cast<int>(id));
    }
}

// The drift is a constant sink, not an acceleration; a particle whose angle
// is exactly 0 never turns.
void CParticleSystem::UpdateParticle(CParticle& particle, float frameTime) {
    if (particle.startDelay > 0.0f) {
        particle.startDelay -= frameTime;
        return;
    }
    if (particle.lifeLeft <= 0.0f) {
        if (particle.startAgain) {
            particle.lifeLeft = particle.life;
            particle.position = particle.startPosition;
        }
        return;
    }
    particle.position = particle.position + particle.velocity * frameTime;
    particle.position.y -= sinkSpeed * frameTime;
    particle.lifeLeft -= frameTime;
    if (particle.angle != 0.0f) {
        particle.angle += frameTime * particle.angleSpeed;
    }
}

bool CParticleSystem::IsVisible(const CParticle& particle, bool culling) const {
    const CVector3& p = particle.position;
    return !culling || frustum->PointInFrustum(p.x, p.y, p.z);
}

int CParticleSystem::Draw() {
    // The camera's right and up axes are the first two rows of the view's
    // rotation.
    float modelView[16], projection[16];
    GLint viewport[4] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const CVector3 right(modelView[0], modelView[4], modelView[8]);
    const CVector3 up(modelView[1], modelView[5], modelView[9]);
    // In a perspective view a quad in the camera's plane keeps one eye depth.
    const bool perspective = projection[11] == -1.0f && projection[15] == 0.0f;
    for (int k = 0; k < 4; ++k) {
        depthRow[k] = -modelView[k * 4 + 2];
    }
    pixelsPerUnit = perspective ? 0.5f * std::min(projection[0] * static_cast<float>(viewport[2]),
                                                  projection[5] * static_cast<float>(viewport[3]))
                                : 0.0f;
    BuildBatches(right, up);
    SubmitBatches();
    return trianglesPerQuad * stats.renderedParticles;
}

// Groups the emitters by texture and blend mode (in order of first
// appearance, emitters and particles in id and array order within a group)
// and writes the quads of the living, started, visible particles. Every
// visible particle is counted, drawn or not.
void CParticleSystem::BuildBatches(const CVector3& right, const CVector3& up) {
    stats              = CParticleFrameStats();
    stats.emitterSlots = static_cast<int>(emitters.size());
    vertices.clear();
    magnified.clear();
    batches.clear();
    batchOfEmitter.assign(emitters.size(), -1);
    const bool culling = GetOptions().frustumCulling && frustum != nullptr;
    for (size_t id = 0; id < emitters.size(); ++id) {
        const CParticleEmitter& emitter = emitters[id];
        if (!emitter.active || emitter.particles.empty()) {
            continue;
        }
        const bool additive = emitter.type == CParticleEffect::typeFire;
        int        batch    = 0;
        while (batch < static_cast<int>(batches.size()) &&
               (batches[batch].texture != emitter.texture || batches[batch].additive != additive)) {
            ++batch;
        }
        if (batch == static_cast<int>(batches.size())) {
            Batch added;
            added.texture  = emitter.texture;
            added.additive = additive;
            batches.push_back(added);
        }
        batchOfEmitter[id] = batch;
    }
    for (int batch = 0; batch < static_cast<int>(batches.size()); ++batch) {
        batches[batch].firstIndex = static_cast<int>(vertices.size());
        for (size_t id = 0; id < emitters.size(); ++id) {
            if (batchOfEmitter[id] != batch) {
                continue;
            }
            bool anyAlive = false;
            for (const CParticle& particle : emitters[id].particles) {
                anyAlive = anyAlive || particle.lifeLeft > 0.0f;
                if (!IsVisible(particle, culling)) {
                    continue;
                }
                ++stats.renderedParticles;
                if (particle.lifeLeft > 0.0f && particle.startDelay <= 0.0f) {
                    AppendQuad(particle, right, up);
                    magnified.push_back(IsMagnified(particle, emitters[id].texels) ? 1 : 0);
                }
            }
            stats.activeEmitters += anyAlive ? 1 : 0;
        }
        batches[batch].count = static_cast<int>(vertices.size()) - batches[batch].firstIndex;
        stats.drawCalls += batches[batch].count > 0 ? 1 : 0;
    }
}

// A square of edge `size` around the particle in the camera's plane. Its
// texture turns by `angle` about the texture's centre.
void CParticleSystem::AppendQuad(const CParticle& particle, const CVector3& right, const CVector3& up) {
    const float     half      = particle.size * 0.5f;
    const CVector3  halfR     = right * half;
    const CVector3  halfU     = up * half;
    const CVector3& p         = particle.position;
    const float     radians   = particle.angle * degreesToRadians;
    const float     cosine    = std::cos(radians);
    const float     sine      = std::sin(radians);
    const uint8_t   alpha     = static_cast<uint8_t>(particle.colour >> 24);
    const uint8_t   red       = static_cast<uint8_t>(particle.colour >> 16);
    const uint8_t   green     = static_cast<uint8_t>(particle.colour >> 8);
    const uint8_t   blue      = static_cast<uint8_t>(particle.colour);
    const auto      addCorner = [&](float s, float t, const CVector3& corner) {
        // The texture coordinate turned about (0.5, 0.5).
        const float ds = s - 0.5f, dt = t - 0.5f;
        vertices.push_back({0.5f + cosine * ds - sine * dt, 0.5f + sine * ds + cosine * dt, red, green, blue, alpha,
                            corner.x, corner.y, corner.z});
    };
    addCorner(0.0f, 1.0f, p - halfR - halfU);
    addCorner(0.0f, 0.0f, p + halfR - halfU);
    addCorner(1.0f, 0.0f, p + halfR + halfU);
    addCorner(1.0f, 1.0f, p - halfR + halfU);
}

// True when the particle's quad spans at least as many pixels as its texture
// has texels (with room to spare, see TexelFootprint): its texture is then
// magnified on every pixel, and the same whatever the quad's turn.
bool CParticleSystem::IsMagnified(const CParticle& particle, int texels) const {
    const CVector3& p     = particle.position;
    const float     depth = depthRow[0] * p.x + depthRow[1] * p.y + depthRow[2] * p.z + depthRow[3];
    return pixelsPerUnit > 0.0f && depth > 0.0f && texels > 0 &&
           static_cast<float>(texels) * depth <= TexelFootprint::magnifiedLimit * particle.size * pixelsPerUnit;
}

// Textured, coloured quads over the scene: depth tested against it but not
// written, blended only when transparency is on. A batch is drawn in runs
// of quads in its order, the magnified ones without mip maps (the same
// picture for less work).
void CParticleSystem::SubmitBatches() {
    if (vertices.empty()) {
        return;
    }
    const CGlStateScope state(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_TEXTURE_BIT |
                                  GL_CURRENT_BIT,
                              GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    if (GetOptions().transparency) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    glDepthMask(GL_FALSE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glInterleavedArrays(GL_T2F_C4UB_V3F, sizeof(Vertex), vertices.data());
    const bool shortcuts = GetOptions().fillShortcuts;
    if (shortcuts && !samplerTried) {
        samplerTried = true;
        magnifiedSampler.Create();
    }
    const bool split = shortcuts && magnifiedSampler.IsCreated();
    for (const Batch& batch : batches) {
        if (batch.count == 0) {
            continue;
        }
        glBlendFunc(GL_SRC_ALPHA, batch.additive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        glBindTexture(GL_TEXTURE_2D, batch.texture);
        const int firstQuad = batch.firstIndex / verticesPerQuad;
        const int lastQuad  = firstQuad + batch.count / verticesPerQuad;
        for (int quad = firstQuad; quad < lastQuad;) {
            int end = quad + 1;
            while (end < lastQuad && (!split || magnified[end] == magnified[quad])) {
                ++end;
            }
            magnifiedSampler.Use(split && magnified[quad] != 0);
            glDrawArrays(GL_QUADS, quad * verticesPerQuad, (end - quad) * verticesPerQuad);
            quad = end;
        }
    }
    magnifiedSampler.Finish();
}

void CParticleSystem::DestroyAll() {
    emitters.clear();
    emitters.shrink_to_fit();
    batchOfEmitter.clear();
    stats = CParticleFrameStats();
}
