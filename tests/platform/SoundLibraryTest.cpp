#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "audio/AudioTools.h"
#include "platform/SoundLibrary.h"

namespace {

using namespace audio_tools;

constexpr int channelCount = 32;
constexpr int musicChannel = 31;
constexpr int moveChannel  = 0;

using SoundLibraryTest = CDiskAudioTest; // 32 channels

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
    MixFor(dir.Path(), 1.0, [&] { return notifications > 0; });
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
    const std::tuple<const char*, bool, const char*> cases[] = {
        // path, loads, the line logged
        {"sounds\\missing.wav", false, "cannot find sounds\\missing.wav"},
        {"gone\\shot.wav", false, "the sound folder gone is missing"},
        {"gone\\move.wav", false, "the sound folder gone is missing"},
        {"garbage.wav", false, "garbage.wav is no sound the mixer reads"},
        {"sounds\\lying.wav", true, "sounds\\lying.wav is cut short or claims more"},
        {"sounds\\cut.wav", true, "sounds\\cut.wav is cut short or claims more"},
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [path, loads, line] : cases) {
            EXPECT_EQ(sound.LoadSample(path) != noSound, loads) << path;
        }
    }
    const std::string log = ReadFile("log_error.txt");
    for (const auto& [path, loads, line] : cases) {
        EXPECT_EQ(CountLinesWith(log, line), 1) << log;
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
        {"OpenStream", [&] { return sound.OpenStream("tone.wav") != noSound; }},
        {"PlayStream", [&] { return sound.PlayStream(musicChannel, stream) != -1; }},
        {"SetStreamEndCallback", [&] { return sound.SetStreamEndCallback(stream, nullptr, nullptr); }},
        {"StopStream", [&] { return sound.StopStream(stream); }},
        {"CloseStream", [&] { return sound.CloseStream(stream); }},
        {"LoadSample", [&] { return sound.LoadSample("tone.wav") != noSound; }},
        {"PlaySound", [&] { return sound.PlaySound(moveChannel, sample) != -1; }},
        {"FreeSample", [&] { return sound.FreeSample(sample); }},
    };
    for (const auto& call : calls) {
        EXPECT_FALSE(call.second()) << call.first << " succeeded after Close";
    }
    sound.Close();
}

// No device, or absurd numbers: no sound, no device opened.
TEST(SoundLibraryInit, FailsWithoutADeviceOrWithAbsurdNumbersAndStaysSilent) {
    const std::tuple<const char*, int, int> cases[] = {{"no-such-audio-driver", mixRate, channelCount},
                                                       {"disk", 0, channelCount},
                                                       {"disk", 1 << 30, channelCount},
                                                       {"disk", mixRate, 0},
                                                       {"disk", mixRate, 100000}};
    for (const auto& [driver, rate, channels] : cases) {
        CTempWorkDir dir;
        UseDiskAudio(dir.Path());
        setenv("SDL_AUDIODRIVER", driver, 1);
        CSoundLibrary sound;
        EXPECT_FALSE(sound.Init(rate, channels)) << rate << " " << channels;
        EXPECT_FALSE(sound.IsOpen());
        WriteTone("tone.wav", 0.1, 0.3);
        EXPECT_EQ(sound.LoadSample("tone.wav"), noSound);
        EXPECT_EQ(sound.PlayStream(musicChannel, sound.OpenStream("tone.wav")), -1);
        EXPECT_FALSE(FileExists("mixed.raw")) << "no device may have been opened";
    }
}

} // namespace
