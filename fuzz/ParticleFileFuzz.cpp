#include <sys/stat.h>

#include <cmath>

#include "FuzzInput.h"
#include "fx/ParticleFile.h"
#include "fx/ParticleSystem.h"

static bool Within(float value, float limit) {
    return std::isfinite(value) && value >= -limit && value <= limit;
}

static bool Within(const CParticleRange& range, float limit) {
    return Within(range.from, limit) && Within(range.to, limit);
}

// Whatever a particle effect file holds, its values stay within their bounds, and an emitter made from it
// (without textures) runs a few frames with finite particles.
FUZZ_TARGET("") {
    mkdir("particles", 0755);
    const std::string file = WriteFuzzInput(data, size, "particles/effect.xml");
    CParticleEffect   effect;
    if (CParticleFile::Load(file.c_str(), effect)) {
        Require(effect.count >= 0 && effect.count <= CParticleFile::maxCount &&
                Within(effect.velX, CParticleFile::maxSpeed) && Within(effect.velY, CParticleFile::maxSpeed) &&
                Within(effect.velZ, CParticleFile::maxSpeed) && Within(effect.start, CParticleFile::maxSeconds) &&
                Within(effect.life, CParticleFile::maxSeconds) && Within(effect.size, CParticleFile::maxSize) &&
                Within(effect.angle, CParticleFile::maxAngle) &&
                effect.texture.size() <= CParticleFile::maxTextureLength &&
                effect.typeName.size() <= CParticleFile::maxTypeLength);
    }
    CParticleSystem particles(nullptr);
    const int       id = particles.LoadEmitter("effect.xml", CVector3(1024.0f, 200.0f, 1024.0f));
    particles.SetEmitterPosition(id, 10.0f, 20.0f, 30.0f);
    for (int frame = 0; frame < 4; ++frame) {
        particles.Update(0.5f);
    }
    particles.StopRespawn(id);
    particles.Update(0.5f);
    const CParticleEmitter* emitter = particles.GetEmitter(id);
    if (emitter != nullptr) {
        for (const CParticle& particle : emitter->particles) {
            Require(std::isfinite(particle.position.x) && std::isfinite(particle.position.y) &&
                    std::isfinite(particle.position.z) && std::isfinite(particle.angle));
        }
    }
}
