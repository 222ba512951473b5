#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "AudioTools.h"
#include "TestSupport.h"
#include "audio/UnitSounds.h"

namespace {

using namespace audio_tools;

void Wait(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

class UnitSoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/mixed.raw").c_str(), 1);
        ASSERT_TRUE(sound.Init(mixRate, 32));
        MakeFolders("sounds");
        WriteTone("sounds/engine1.wav", 0.05, 0.2);
        WriteTone("sounds/engine2.wav", 0.05, 0.6);
        WriteTone("sounds/shot.wav", 0.3, 0.3);
    }

    CTempWorkDir  dir;
    CSoundLibrary sound;
    CUnitSounds   sounds{sound};
};

// The move loop holds channel 0 from the start of a move to its end; a new
// move takes it over, and the unit that lost it cannot stop the newcomer.
TEST_F(UnitSoundsTest, TheMoveLoopBelongsToTheLastUnitThatStartedMoving) {
    const SoundSample engine1 = sounds.LoadSample("engine1.wav");
    const SoundSample engine2 = sounds.LoadSample("engine2.wav");
    ASSERT_NE(engine1, noSound);
    ASSERT_NE(engine2, noSound);

    sounds.StartMove(3, engine1);
    Wait(0.2);
    EXPECT_TRUE(sound.IsPlaying(CUnitSounds::moveChannel)) << "the 50 ms sound loops while the unit drives";
    sounds.StopMove(3);
    EXPECT_FALSE(sound.IsPlaying(CUnitSounds::moveChannel)) << "arriving stops the loop";
    Wait(0.1);

    sounds.StartMove(3, engine1);
    sounds.StartMove(5, engine2);
    EXPECT_EQ(sounds.GetMovingUnit(), 5);
    sounds.StopMove(3);
    Wait(0.2);
    EXPECT_TRUE(sound.IsPlaying(CUnitSounds::moveChannel)) << "unit 3 arriving silenced unit 5";
    sounds.StopMove(5);
    EXPECT_FALSE(sound.IsPlaying(CUnitSounds::moveChannel));
    Wait(0.1);

    // What was heard: the quiet loop, then the loud one alone (not both).
    sound.Close();
    const std::vector<double> levels = WindowLevels(ReadFile("mixed.raw"));
    const std::vector<int>    heard  = HeardSequence(levels, {0.2 / std::sqrt(2.0), 0.6 / std::sqrt(2.0)});
    EXPECT_EQ(heard, (std::vector<int>{0, 1}));
}

TEST_F(UnitSoundsTest, ShotsPlayOnFreeChannelsBesideTheMoveLoop) {
    const SoundSample engine = sounds.LoadSample("engine1.wav");
    const SoundSample shot   = sounds.LoadSample("shot.wav");
    sounds.StartMove(0, engine);
    sounds.PlayAttack(shot);
    sounds.PlayExplosion(shot);
    EXPECT_TRUE(sound.IsPlaying(1));
    EXPECT_TRUE(sound.IsPlaying(2));
    EXPECT_TRUE(sound.IsPlaying(CUnitSounds::moveChannel)) << "a shot must not take the move channel";
}

// Missing files give no sample; playing none is harmless.
TEST_F(UnitSoundsTest, MissingSamplesPlayNothing) {
    EXPECT_EQ(sounds.LoadSample("missing.wav"), noSound);
    EXPECT_EQ(sounds.LoadSample(""), noSound);
    EXPECT_EQ(sounds.LoadSample(nullptr), noSound);
    sounds.StartMove(1, noSound);
    sounds.PlayAttack(noSound);
    sounds.PlayExplosion(noSound);
    EXPECT_FALSE(sound.IsPlaying(CUnitSounds::moveChannel));
    sounds.StopMove(1);
    sounds.FreeSample(noSound);
}

} // namespace
