#include <atomic>
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
#include "audio/AudioTools.h"
#include "platform/SoundLibrary.h"

namespace {

using audio_tools::WriteTone;

constexpr int mixRate       = 44100;
constexpr int channelCount  = 32;
constexpr int musicChannel  = 31;
constexpr int moveChannel   = 0;
constexpr int bytesPerFrame = 4; // what the device writes: 16-bit stereo

// A library that mixes into "mixed.raw" in a temporary folder, at the pace
// of a real device.
class SoundLibraryTest : public ::testing::Test {
protected:
    // Waits until `done` holds or the device has mixed `seconds` more of
    // sound, and tells whether `done` holds. The mixed sound is the clock:
    // on a loaded machine the mixer falls behind the wall clock as much as
    // the threads under test do. Only a stalled mixer ends the wait on the
    // wall clock, after a minute.
    bool MixUntil(double seconds, const std::function<bool()>& done) {
        const long mixed  = audio_tools::MixedBytes(dir.Path()) + static_cast<long>(seconds * mixRate) * bytesPerFrame;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!done() && audio_tools::MixedBytes(dir.Path()) < mixed && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return done();
    }
    void Wait(double seconds) {
        MixUntil(seconds, [] { return false; });
    }

    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/mixed.raw").c_str(), 1);
        ASSERT_TRUE(sound.Init(mixRate, channelCount)) << "the disk audio driver should always open";
    }

    CTempWorkDir  dir;
    CSoundLibrary sound;
};

TEST_F(SoundLibraryTest, AStreamThatEndedBeforeItsCallbackWasSetIsStillReported) {
    WriteTone("blip.wav", 0.03, 0.3);
    std::atomic<int>  notifications{0};
    const SoundStream stream = sound.OpenStream("blip.wav");
    sound.PlayStream(musicChannel, stream);
    Wait(0.3);
    sound.SetStreamEndCallback(
        stream,
        [](SoundStream, void*, int, void* userData) {
            ++*static_cast<std::atomic<int>*>(userData);
            return true;
        },
        &notifications);
    MixUntil(1.0, [&] { return notifications > 0; });
    Wait(0.1);
    EXPECT_EQ(notifications.load(), 1);
}

// Every unit loads its samples: each damaged sound is named once however
// often it is loaded. A header that claims gigabytes is cut to the file.
TEST_F(SoundLibraryTest, DamagedSamplesAreNamedOnceAndHeadersBoundedByTheFile) {
    MakeFolders("sounds");
    WriteFile("garbage.wav", "RIFF\x10\x00\x00\x00WAVEjunk");
    WriteTone("sounds/lying.wav", 0.2, 0.3);
    std::string  lying = ReadFile("sounds/lying.wav");
    const size_t data  = lying.find("data") + 4;
    lying.replace(data, 4, "\xF0\xFF\xFF\x7F"); // about two gigabytes of sound claimed
    WriteFile("sounds/lying.wav", lying);
    WriteFile("sounds/cut.wav", ReadFile("sounds/lying.wav").substr(0, lying.size() / 2));
    const struct {
        const char* path;
        bool        loads;
        const char* line;
    } cases[] = {
        {"sounds\\missing.wav", false, "cannot find sounds\\missing.wav"},
        {"gone\\shot.wav", false, "the sound folder gone is missing"},
        {"gone\\move.wav", false, "the sound folder gone is missing"},
        {"garbage.wav", false, "garbage.wav is no sound the mixer reads"},
        {"sounds\\lying.wav", true, "sounds\\lying.wav is cut short or claims more"},
        {"sounds\\cut.wav", true, "sounds\\cut.wav is cut short or claims more"},
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& damaged : cases) {
            EXPECT_EQ(sound.LoadSample(damaged.path) != noSound, damaged.loads) << damaged.path;
        }
    }
    const std::string log = ReadFile("log_error.txt");
    for (const auto& damaged : cases) {
        EXPECT_EQ(CountLinesWith(log, damaged.line), 1) << log;
    }
}

// Missing files give no handles, and no handle plays; after Close every
// call fails harmlessly, also with handles from before it.
TEST_F(SoundLibraryTest, AfterCloseEveryCallFailsHarmlessly) {
    EXPECT_EQ(sound.OpenStream("music\\missing.ogg"), noSound);
    EXPECT_EQ(sound.PlaySound(moveChannel, noSound), -1);
    EXPECT_EQ(sound.PlayStream(musicChannel, noSound), -1);
    WriteTone("tone.wav", 0.2, 0.3);
    const SoundSample sample = sound.LoadSample("tone.wav");
    const SoundStream stream = sound.OpenStream("tone.wav");
    ASSERT_NE(sample, noSound);
    ASSERT_NE(stream, noSound);
    sound.PlayStream(musicChannel, stream);
    sound.PlaySound(moveChannel, sample);
    sound.Close();

    const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
        {"IsOpen", [&] { return sound.IsOpen(); }},
        {"GetCpuUsage", [&] { return sound.GetCpuUsage() != 0.0f; }},
        {"OpenStream", [&] { return sound.OpenStream("tone.wav") != noSound; }},
        {"PlayStream", [&] { return sound.PlayStream(musicChannel, stream) != -1; }},
        {"SetStreamEndCallback", [&] { return sound.SetStreamEndCallback(stream, nullptr, nullptr); }},
        {"SetVolume", [&] { return sound.SetVolume(musicChannel, 150); }},
        {"StopStream", [&] { return sound.StopStream(stream); }},
        {"CloseStream", [&] { return sound.CloseStream(stream); }},
        {"LoadSample", [&] { return sound.LoadSample("tone.wav") != noSound; }},
        {"PlaySound", [&] { return sound.PlaySound(moveChannel, sample) != -1; }},
        {"PlaySoundFree", [&] { return sound.PlaySound(CSoundLibrary::anyFreeChannel, sample) != -1; }},
        {"StopSound", [&] { return sound.StopSound(moveChannel); }},
        {"SetLoopMode", [&] { return sound.SetLoopMode(moveChannel, CSoundLibrary::loopNormal); }},
        {"IsPlaying", [&] { return sound.IsPlaying(musicChannel); }},
        {"FreeSample", [&] { return sound.FreeSample(sample); }},
    };
    for (const auto& call : calls) {
        EXPECT_FALSE(call.second()) << call.first << " succeeded after Close";
    }
    sound.Close();
}

// No device, or absurd numbers: no sound, no device opened.
TEST(SoundLibraryInit, FailsWithoutADeviceOrWithAbsurdNumbersAndStaysSilent) {
    const struct {
        const char* driver;
        int         rate, channels;
    } cases[] = {{"no-such-audio-driver", mixRate, channelCount},
                 {"disk", 0, channelCount},
                 {"disk", 1 << 30, channelCount},
                 {"disk", mixRate, 0},
                 {"disk", mixRate, 100000}};
    for (const auto& test : cases) {
        CTempWorkDir dir;
        setenv("SDL_AUDIODRIVER", test.driver, 1);
        setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/mixed.raw").c_str(), 1);
        CSoundLibrary sound;
        EXPECT_FALSE(sound.Init(test.rate, test.channels)) << test.rate << " " << test.channels;
        EXPECT_FALSE(sound.IsOpen());
        WriteTone("tone.wav", 0.1, 0.3);
        EXPECT_EQ(sound.LoadSample("tone.wav"), noSound);
        EXPECT_EQ(sound.PlayStream(musicChannel, sound.OpenStream("tone.wav")), -1);
        EXPECT_FALSE(FileExists("mixed.raw")) << "no device may have been opened";
    }
}

} // namespace
