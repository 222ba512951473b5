#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/SoundLibrary.h"

// Sounds and measurements for tests that mix through SDL's "disk" driver (16-bit stereo, 44100 Hz, real time).
namespace audio_tools {

constexpr int mixRate = 44100;

// Makes the next library opened in this process mix into <dir>/mixed.raw.
inline void UseDiskAudio(const std::string& dir) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir + "/mixed.raw").c_str(), 1);
}

inline long MixedBytes(const std::string& dir) {
    struct stat status;
    return stat((dir + "/mixed.raw").c_str(), &status) == 0 ? static_cast<long>(status.st_size) : 0;
}

// Waits until `done` holds or the device has mixed `seconds` more of sound, and tells whether `done` holds. The
// driver writes at a device's pace however late a loaded machine runs the threads, so the mixed sound is the clock;
// only a stalled mixer ends the wait on the wall clock, after a minute.
inline bool MixFor(
    const std::string& dir, double seconds, const std::function<bool()>& done = [] { return false; }) {
    const long target = MixedBytes(dir) + static_cast<long>(seconds * mixRate) * 4;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done() && MixedBytes(dir) < target && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

// A test whose library mixes through the disk driver into mixed.raw of the test's own folder.
class CDiskAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseDiskAudio(dir.Path());
        ASSERT_TRUE(sound.Init(mixRate, 32)) << "the disk audio driver should always open";
    }
    void Wait(double seconds) { MixFor(dir.Path(), seconds); }

    CTempWorkDir  dir;
    CSoundLibrary sound;
};

// A mono 16-bit WAV file: a 440 Hz tone, then silence.
inline void WriteTone(const std::string& name, double toneSeconds, double amplitude, double silenceSeconds = 0.0) {
    const int   toneFrames = static_cast<int>(toneSeconds * mixRate);
    const int   frames     = toneFrames + static_cast<int>(silenceSeconds * mixRate);
    std::string data;
    for (int frame = 0; frame < frames; ++frame) {
        const double value  = frame < toneFrames ? amplitude * std::sin(2.0 * M_PI * 440.0 * frame / mixRate) : 0.0;
        const auto   sample = static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32767.0)));
        data += {static_cast<char>(sample & 0xFF), static_cast<char>(sample >> 8)};
    }
    const auto word = [](size_t value, int bytes) {
        std::string text(static_cast<size_t>(bytes), '\0');
        PutLittleEndian(text, 0, static_cast<uint32_t>(value), bytes);
        return text;
    };
    WriteFile(name, "RIFF" + word(36 + data.size(), 4) + "WAVEfmt " + word(16, 4) + word(1, 2) + word(1, 2) +
                        word(mixRate, 4) + word(mixRate * 2, 4) + word(2, 2) + word(16, 2) + "data" +
                        word(data.size(), 4) + data);
}

// What was heard, in order: each run of at least 50 ms louder than silence (RMS of 10 ms windows of the left
// channel), named by the index of the nearest of the expected RMS levels.
inline std::vector<int> HeardSequence(const std::string& raw, const std::vector<double>& expected) {
    constexpr size_t    windowBytes = mixRate / 100 * 4, minimumWindows = 5;
    constexpr double    silence = 0.01;
    std::vector<int>    heard;
    std::vector<double> run;
    // One window past the end, silent, closes the last run.
    for (size_t start = 0; start <= raw.size(); start += windowBytes) {
        double sum = 0.0;
        for (size_t at = start; at < start + windowBytes && at + 1 < raw.size(); at += 4) {
            const int16_t sample =
                static_cast<int16_t>(static_cast<uint8_t>(raw[at]) | (static_cast<uint8_t>(raw[at + 1]) << 8));
            sum += (sample / 32768.0) * (sample / 32768.0);
        }
        const double level = std::sqrt(sum / (windowBytes / 4));
        if (level > silence) {
            run.push_back(level);
            continue;
        }
        if (run.size() >= minimumWindows) {
            const double middle = run[run.size() / 2];
            heard.push_back(static_cast<int>(
                std::min_element(expected.begin(), expected.end(),
                                 [&](double a, double b) { return std::fabs(a - middle) < std::fabs(b - middle); }) -
                expected.begin()));
        }
        run.clear();
    }
    return heard;
}

} // namespace audio_tools
