#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "TestSupport.h"

// Sound files and measurements for tests that mix through SDL's "disk"
// audio driver (16-bit stereo at 44100 Hz, in real time).
namespace audio_tools {

constexpr int    mixRate       = 44100;
constexpr double windowSeconds = 0.01;
// RMS below this (of full scale) counts as silence.
constexpr double silence = 0.01;

// A mono 16-bit WAV file: a sine tone, then silence.
inline void WriteTone(const std::string& name, double toneSeconds, double amplitude, double silenceSeconds = 0.0) {
    const int   toneFrames = static_cast<int>(toneSeconds * mixRate);
    const int   frames     = toneFrames + static_cast<int>(silenceSeconds * mixRate);
    std::string data;
    for (int frame = 0; frame < frames; ++frame) {
        const double  value  = frame < toneFrames ? amplitude * std::sin(2.0 * M_PI * 440.0 * frame / mixRate) : 0.0;
        const int16_t sample = static_cast<int16_t>(std::lround(value * 32767.0));
        data += static_cast<char>(sample & 0xFF);
        data += static_cast<char>((sample >> 8) & 0xFF);
    }
    auto word = [](uint32_t value, int bytes) {
        std::string text;
        for (int index = 0; index < bytes; ++index) {
            text += static_cast<char>((value >> (8 * index)) & 0xFF);
        }
        return text;
    };
    const std::string header = "RIFF" + word(36 + data.size(), 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
                               word(mixRate, 4) + word(mixRate * 2, 4) + word(2, 2) + word(16, 2) + "data" +
                               word(data.size(), 4);
    WriteFile(name, header + data);
}

// RMS of each 10 ms of what the disk device wrote.
inline std::vector<double> WindowLevels(const std::string& raw) {
    const size_t        frameBytes   = 4;
    const size_t        windowFrames = static_cast<size_t>(windowSeconds * mixRate);
    std::vector<double> levels;
    for (size_t start = 0; start + windowFrames * frameBytes <= raw.size(); start += windowFrames * frameBytes) {
        double sum = 0.0;
        for (size_t frame = 0; frame < windowFrames; ++frame) {
            const size_t  at = start + frame * frameBytes;
            const int16_t sample =
                static_cast<int16_t>(static_cast<uint8_t>(raw[at]) | (static_cast<uint8_t>(raw[at + 1]) << 8));
            sum += (sample / 32768.0) * (sample / 32768.0);
        }
        levels.push_back(std::sqrt(sum / windowFrames));
    }
    return levels;
}

inline int LoudWindows(const std::vector<double>& levels, size_t from = 0) {
    int loud = 0;
    for (size_t index = from; index < levels.size(); ++index) {
        loud += levels[index] > silence ? 1 : 0;
    }
    return loud;
}

// The sounds heard one after another, each run of loud windows (at least
// `minimumWindows` long) named by the index of the nearest expected level.
inline std::vector<int> HeardSequence(const std::vector<double>& levels, const std::vector<double>& expected,
                                      int minimumWindows = 5) {
    std::vector<int> sequence;
    size_t           index = 0;
    while (index < levels.size()) {
        if (levels[index] <= silence) {
            ++index;
            continue;
        }
        std::vector<double> run;
        while (index < levels.size() && levels[index] > silence) {
            run.push_back(levels[index++]);
        }
        if (static_cast<int>(run.size()) < minimumWindows) {
            continue;
        }
        const double level   = run[run.size() / 2];
        int          nearest = 0;
        for (size_t candidate = 1; candidate < expected.size(); ++candidate) {
            if (std::fabs(expected[candidate] - level) < std::fabs(expected[nearest] - level)) {
                nearest = static_cast<int>(candidate);
            }
        }
        sequence.push_back(nearest);
    }
    return sequence;
}

} // namespace audio_tools
