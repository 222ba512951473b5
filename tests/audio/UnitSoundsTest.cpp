#include <gtest/gtest.h>

#include "AudioTools.h"
#include "TestSupport.h"
#include "audio/UnitSounds.h"

namespace {

using namespace audio_tools;
using UnitSoundsTest = CDiskAudioTest;

// The move loop holds channel 0 from the start of a move to its arrival; a new move takes it over and the unit
// that lost it cannot stop the newcomer. Shots and explosions play beside it on free channels.
TEST_F(UnitSoundsTest, TheMoveLoopBelongsToTheLastUnitThatStartedMoving) {
    CUnitSounds sounds(sound);
    MakeFolders("sounds");
    WriteTone("sounds/quiet.wav", 0.05, 0.2);
    WriteTone("sounds/loud.wav", 0.05, 0.6);
    const SoundSample quiet = sounds.LoadSample("quiet.wav"), loud = sounds.LoadSample("loud.wav");
    ASSERT_NE(quiet, noSound);
    EXPECT_EQ(sounds.LoadSample("missing.wav"), noSound);

    sounds.StartMove(3, quiet);
    Wait(0.2);
    EXPECT_TRUE(sound.IsPlaying(CUnitSounds::moveChannel)) << "the 50 ms sound loops while the unit drives";
    sounds.StopMove(3);
    EXPECT_FALSE(sound.IsPlaying(CUnitSounds::moveChannel)) << "arriving stops the loop";
    Wait(0.1);
    sounds.StartMove(3, quiet);
    sounds.StartMove(5, loud);
    sounds.StopMove(3);
    Wait(0.2);
    EXPECT_TRUE(sound.IsPlaying(CUnitSounds::moveChannel)) << "unit 3 arriving silenced unit 5";
    sounds.PlayAttack(quiet);
    sounds.PlayExplosion(noSound);
    EXPECT_TRUE(sound.IsPlaying(1)) << "the shot plays on the first free channel";
    sounds.StopMove(5);
    EXPECT_FALSE(sound.IsPlaying(CUnitSounds::moveChannel));
    Wait(0.1);

    sound.Close();
    const std::vector<int> heard = HeardSequence(ReadFile("mixed.raw"), {0.2 / std::sqrt(2.0), 0.6 / std::sqrt(2.0)});
    EXPECT_EQ(heard, (std::vector<int>{0, 1})) << "the quiet loop, then the loud one alone";
}

} // namespace
