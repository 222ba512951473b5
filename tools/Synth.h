#pragma once

#include <cstdint>
#include <vector>

class CRandom;

// A mono sample buffer at a fixed rate with the few instruments that the
// generator's sounds and music are made of. Everything adds into the
// buffer; Finish normalises the peak and converts to 16-bit samples.
class CSynth {
public:
    static constexpr int sampleRate = 22050;

    explicit CSynth(double seconds);

    int    GetLength() const { return static_cast<int>(samples.size()); }
    double Seconds(int sampleIndex) const { return static_cast<double>(sampleIndex) / sampleRate; }

    // A note of `harmonics` partials with amplitudes 1, 1/2, 1/3 ... times
    // `brightness` per step, with attack and release in seconds and an
    // exponential decay (0: sustained).
    void AddTone(double start, double duration, double frequency, double amplitude, int harmonics, double brightness,
                 double attack, double release, double decay = 0.0);
    // A sine whose frequency glides exponentially from `from` to `to`.
    void AddGlide(double start, double duration, double from, double to, double amplitude, double decay);
    // Noise through a one-pole low-pass (cutoff in Hz), decaying exponentially.
    void AddNoise(CRandom& random, double start, double duration, double cutoff, double amplitude, double decay,
                  double attack = 0.002);

    void FadeIn(double seconds);
    void FadeOut(double seconds);
    // Makes the end join the start: the last `seconds` are cross-faded into
    // the beginning and cut off, for sounds played in a loop.
    void MakeLoop(double seconds);

    std::vector<int16_t> Finish(double peak) const;

private:
    int Index(double seconds) const;

    std::vector<double> samples;
};

// A 16-bit PCM mono WAV file (RIFF, "fmt " and "data" chunks).
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int sampleRate);
