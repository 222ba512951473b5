#include "tools/Synth.h"

#include <algorithm>
#include <cmath>

#include "tools/ByteBuffer.h"
#include "tools/Random.h"

namespace {

constexpr double pi        = 3.14159265358979323846;
constexpr int    tableSize = 4096;

// One period of a sine, looked up instead of calling sin per sample.
const std::vector<double>& SineTable() {
    static const std::vector<double> table = []() {
        std::vector<double> values(tableSize + 1);
        for (int i = 0; i <= tableSize; ++i) {
            values[i] = std::sin(2.0 * pi * i / tableSize);
        }
        return values;
    }();
    return table;
}

// A phase in cycles brought back into 0..1.
double Wrap(double phase) {
    return phase >= 1.0 || phase < 0.0 ? phase - std::floor(phase) : phase;
}

// phase in cycles, 0 <= phase < 1.
double Sine(double phase) {
    const std::vector<double>& table = SineTable();
    const double               at    = phase * tableSize;
    const int                  index = static_cast<int>(at);
    const double               frac  = at - index;
    return table[index] + (table[index + 1] - table[index]) * frac;
}

double Envelope(double t, double duration, double attack, double release) {
    double level = 1.0;
    if (attack > 0.0 && t < attack) {
        level = t / attack;
    }
    if (release > 0.0 && t > duration - release) {
        level = std::min(level, std::max(0.0, (duration - t) / release));
    }
    return level;
}

} // namespace

CSynth::CSynth(double seconds) : samples(static_cast<size_t>(std::max(0.0, seconds) * sampleRate), 0.0) {}

int CSynth::Index(double seconds) const {
    return std::clamp(static_cast<int>(std::lround(seconds * sampleRate)), 0, GetLength());
}

// Phases are kept in cycles (0..1) and advanced per sample; decays are
// applied as a constant factor per sample.
void CSynth::AddTone(double start, double duration, double frequency, double amplitude, int harmonics,
                     double brightness, double attack, double release, double decay) {
    constexpr int maxHarmonics = 16;
    harmonics                  = std::clamp(harmonics, 1, maxHarmonics);
    const int first = Index(start), last = Index(start + duration);
    double    phase[maxHarmonics] = {}, step[maxHarmonics], weight[maxHarmonics];
    double    partial             = 1.0;
    for (int h = 0; h < harmonics; ++h) {
        step[h] = frequency * (h + 1) / sampleRate;
        // Partials above half the sample rate would alias.
        weight[h] = step[h] < 0.5 ? partial / (h + 1) : 0.0;
        partial *= brightness;
    }
    const double factor = decay > 0.0 ? std::exp(-1.0 / (decay * sampleRate)) : 1.0;
    double       fading = amplitude;
    for (int i = first; i < last; ++i) {
        const double t     = Seconds(i - first);
        double       value = 0.0;
        for (int h = 0; h < harmonics; ++h) {
            value += weight[h] * Sine(phase[h]);
            phase[h] = Wrap(phase[h] + step[h]);
        }
        samples[i] += fading * Envelope(t, duration, attack, release) * value;
        fading *= factor;
    }
}

void CSynth::AddGlide(double start, double duration, double from, double to, double amplitude, double decay) {
    const int    first = Index(start), last = Index(start + duration);
    const double glide  = std::exp(std::log(to / from) / (std::max(duration, 1e-6) * sampleRate));
    const double factor = std::exp(-1.0 / (decay * sampleRate));
    double       phase = 0.0, frequency = from, level = amplitude;
    for (int i = first; i < last; ++i) {
        const double t = Seconds(i - first);
        phase          = Wrap(phase + frequency / sampleRate);
        samples[i] += level * Envelope(t, duration, 0.002, 0.01) * Sine(phase);
        frequency *= glide;
        level *= factor;
    }
}

void CSynth::AddNoise(CRandom& random, double start, double duration, double cutoff, double amplitude, double decay,
                      double attack) {
    const int    first = Index(start), last = Index(start + duration);
    const double alpha  = 1.0 - std::exp(-2.0 * pi * cutoff / sampleRate);
    const double factor = std::exp(-1.0 / (decay * sampleRate));
    double       state = 0.0, level = amplitude;
    for (int i = first; i < last; ++i) {
        const double t = Seconds(i - first);
        state += alpha * (random.Range(-1.0, 1.0) - state);
        samples[i] += level * Envelope(t, duration, attack, 0.01) * state;
        level *= factor;
    }
}

void CSynth::FadeIn(double seconds) {
    const int count = Index(seconds);
    for (int i = 0; i < count; ++i) {
        samples[i] *= static_cast<double>(i) / count;
    }
}

void CSynth::FadeOut(double seconds) {
    const int count = Index(seconds), length = GetLength();
    for (int i = 0; i < count; ++i) {
        samples[length - 1 - i] *= static_cast<double>(i) / count;
    }
}

void CSynth::MakeLoop(double seconds) {
    const int overlap = std::min(Index(seconds), GetLength() / 2);
    const int length  = GetLength() - overlap;
    for (int i = 0; i < overlap; ++i) {
        const double w = static_cast<double>(i) / overlap;
        samples[i]     = samples[i] * w + samples[length + i] * (1.0 - w);
    }
    samples.resize(static_cast<size_t>(length));
}

std::vector<int16_t> CSynth::Finish(double peak) const {
    double loudest = 0.0;
    for (double value : samples) {
        loudest = std::max(loudest, std::fabs(value));
    }
    const double         gain = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    std::vector<int16_t> out(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        out[i] = static_cast<int16_t>(std::lround(std::clamp(samples[i] * gain, -32767.0, 32767.0)));
    }
    return out;
}

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int sampleRate) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    CByteBuffer    out(44 + dataBytes);
    out.PutText("RIFF");
    out.PutU32(36 + dataBytes);
    out.PutText("WAVE");
    out.PutText("fmt ");
    out.PutU32(16);
    out.PutU16(1); // PCM
    out.PutU16(1); // mono
    out.PutU32(static_cast<uint32_t>(sampleRate));
    out.PutU32(static_cast<uint32_t>(sampleRate) * 2);
    out.PutU16(2);
    out.PutU16(16);
    out.PutText("data");
    out.PutU32(dataBytes);
    for (int16_t sample : samples) {
        out.PutI16(sample);
    }
    return out.Take();
}
