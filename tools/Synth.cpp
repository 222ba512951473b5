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

double Sine(double phase) {
    const std::vector<double>& table = SineTable();
    const double               cycle = phase - std::floor(phase);
    const double               at    = cycle * tableSize;
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

void CSynth::AddTone(double start, double duration, double frequency, double amplitude, int harmonics,
                     double brightness, double attack, double release, double decay) {
    const int first = Index(start), last = Index(start + duration);
    for (int i = first; i < last; ++i) {
        const double t = Seconds(i - first);
        const double level =
            amplitude * Envelope(t, duration, attack, release) * (decay > 0.0 ? std::exp(-t / decay) : 1.0);
        double value = 0.0, partial = 1.0;
        for (int h = 1; h <= harmonics; ++h) {
            value += partial / h * Sine(frequency * h * t);
            partial *= brightness;
        }
        samples[i] += level * value;
    }
}

void CSynth::AddGlide(double start, double duration, double from, double to, double amplitude, double decay) {
    const int    first = Index(start), last = Index(start + duration);
    double       phase = 0.0;
    const double ratio = std::log(to / from) / std::max(duration, 1e-6);
    for (int i = first; i < last; ++i) {
        const double t = Seconds(i - first);
        phase += from * std::exp(ratio * t) / sampleRate;
        samples[i] += amplitude * std::exp(-t / decay) * Envelope(t, duration, 0.002, 0.01) * Sine(phase);
    }
}

void CSynth::AddNoise(CRandom& random, double start, double duration, double cutoff, double amplitude, double decay,
                      double attack) {
    const int    first = Index(start), last = Index(start + duration);
    const double alpha = 1.0 - std::exp(-2.0 * pi * cutoff / sampleRate);
    double       state = 0.0;
    for (int i = first; i < last; ++i) {
        const double t = Seconds(i - first);
        state += alpha * (random.Range(-1.0, 1.0) - state);
        samples[i] += amplitude * std::exp(-t / decay) * Envelope(t, duration, attack, 0.01) * state;
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
