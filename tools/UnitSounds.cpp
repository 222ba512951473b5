#include <string>

#include "tools/ContentCatalog.h"
#include "tools/ContentGenerator.h"
#include "tools/ContentStages.h"
#include "tools/Random.h"
#include "tools/Synth.h"

// The three samples of every unit kind in "sounds": an engine loop that
// joins seamlessly when repeated, a shot and an explosion. Heavier kinds
// sound lower and longer.
namespace {

constexpr double loopSeconds = 2.0;
constexpr double loopOverlap = 0.25;
constexpr double sustained   = 1e9; // a decay time that never decays
constexpr double samplePeak  = 0.85;

struct KindSound {
    const char* stem;
    double      engine;      // fundamental of the engine, Hz
    double      rumble;      // cut-off of the tracks' or tyres' noise, Hz
    double      shotLength;  // seconds
    double      shotPitch;   // start of the shot's thump, Hz
    int         shotBursts;  // 3 for a burst of fire
    double      blastLength; // explosion, seconds
};

const KindSound kindSounds[] = {
    {"recon", 62.0, 900.0, 0.5, 420.0, 3, 1.6},        {"tank", 34.0, 420.0, 1.2, 150.0, 1, 2.2},
    {"howitzer", 29.0, 360.0, 1.8, 110.0, 1, 2.2},     {"command", 48.0, 700.0, 0.5, 300.0, 1, 1.6},
    {"headquarters", 50.0, 250.0, 0.9, 200.0, 2, 3.0},
};

uint64_t SeedOf(const std::string& name) {
    uint64_t hash = 1469598103934665603ull;
    for (char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

std::vector<uint8_t> EngineLoop(const KindSound& kind) {
    CRandom      random(SeedOf(std::string(kind.stem) + "_move"));
    CSynth       synth(loopSeconds + loopOverlap);
    const double length = loopSeconds + loopOverlap;
    synth.AddTone(0, length, kind.engine, 0.5, 8, 0.85, 0, 0);
    // A slightly detuned second voice makes the engine throb.
    synth.AddTone(0, length, kind.engine * 1.013, 0.35, 6, 0.8, 0, 0);
    synth.AddNoise(random, 0, length, kind.rumble, 1.2, sustained, 0.0);
    synth.MakeLoop(loopOverlap);
    return EncodeWav(synth.Finish(samplePeak * 0.7), CSynth::sampleRate);
}

std::vector<uint8_t> Shot(const KindSound& kind) {
    CRandom      random(SeedOf(std::string(kind.stem) + "_shot"));
    CSynth       synth(kind.shotLength);
    const double spacing = 0.09;
    for (int burst = 0; burst < kind.shotBursts; ++burst) {
        const double start = burst * spacing;
        const double body  = kind.shotLength / (kind.shotBursts == 1 ? 4.0 : 10.0);
        synth.AddNoise(random, start, kind.shotLength - start, 3500.0, 1.0, body * 0.5);
        synth.AddGlide(start, kind.shotLength - start, kind.shotPitch, kind.shotPitch * 0.3, 0.9, body);
    }
    synth.AddNoise(random, 0, kind.shotLength, 300.0, 1.6, kind.shotLength / 3.0);
    synth.FadeOut(0.05);
    return EncodeWav(synth.Finish(samplePeak), CSynth::sampleRate);
}

std::vector<uint8_t> Explosion(const KindSound& kind) {
    CRandom random(SeedOf(std::string(kind.stem) + "_explosion"));
    CSynth  synth(kind.blastLength);
    synth.AddNoise(random, 0, kind.blastLength, 2800.0, 1.0, 0.08);
    synth.AddNoise(random, 0, kind.blastLength, 500.0, 2.5, kind.blastLength / 4.0);
    synth.AddGlide(0, kind.blastLength, 80.0, 24.0, 1.0, kind.blastLength / 3.5);
    // Debris and secondary bangs in the tail.
    for (int i = 0; i < 6; ++i) {
        const double start = random.Range(0.15, kind.blastLength * 0.6);
        synth.AddNoise(random, start, 0.25, 1800.0, random.Range(0.2, 0.5), 0.04);
    }
    synth.FadeOut(0.2);
    return EncodeWav(synth.Finish(samplePeak), CSynth::sampleRate);
}

} // namespace

namespace ContentStages {

bool WriteSounds(CContentGenerator& generator) {
    bool ok = true;
    for (const KindSound& kind : kindSounds) {
        const std::string stem = std::string("sounds/") + kind.stem;
        ok = generator.EnsureBytes(stem + "_move.wav", [&kind]() { return EngineLoop(kind); }) && ok;
        ok = generator.EnsureBytes(stem + "_shot.wav", [&kind]() { return Shot(kind); }) && ok;
        ok = generator.EnsureBytes(stem + "_explosion.wav", [&kind]() { return Explosion(kind); }) && ok;
    }
    return ok;
}

} // namespace ContentStages
