#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "RulesBoard.h"
#include "audio/AudioTools.h"
#include "audio/UnitSounds.h"
#include "fx/ParticleFiles.h"
#include "fx/ParticleSystem.h"

// The units' effects and sounds as the game starts them: through the unit
// manager, with a real particle system (no textures, no drawing) and the
// real sound layer mixing into SDL's "disk" driver.
namespace {

using namespace RulesBoard;

void Wait(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// Channel 0 loops the move sound from the order to the arrival. A second
// unit's move takes the channel over, and the first one arriving does not
// silence it; only the last mover's arrival does.
TEST(UnitEffects, TheMoveLoopPlaysFromTheOrderToTheArrivalOfTheLastMover) {
    CSoundLibrary sound;
    CBoard        b(FlatGround, 1, nullptr, &sound);
    audio_tools::UseDiskAudio(b.folder.Path());
    ASSERT_TRUE(sound.Init(audio_tools::mixRate, 32));
    MakeFolders("sounds");
    // Engine beats with a pause in each loop, so that every beat is heard on its own.
    audio_tools::WriteTone("sounds/quiet.wav", 0.08, 0.2, 0.03);
    audio_tools::WriteTone("sounds/loud.wav", 0.08, 0.6, 0.03);
    UnitTraits quiet, loud;
    quiet.soundMove = "quiet.wav";
    loud.soundMove  = "loud.wav";
    const int near  = b.AddUnit(quiet, 1, 5, 5);
    const int far   = b.AddUnit(loud, 1, 5, 10);
    ASSERT_NE(b.Unit(near).soundMove, noSound);
    constexpr int moveChannel = CUnitSounds::moveChannel;

    ASSERT_TRUE(b.units->MoveUnit(near, 6, 5));
    EXPECT_TRUE(sound.IsPlaying(moveChannel)) << "the order starts the loop";
    Wait(0.2);
    ASSERT_TRUE(b.units->MoveUnit(far, 10, 10));
    Wait(0.2);
    for (int frame = 0; frame < 3; ++frame) {
        b.units->UpdateUnits(0.2f); // 100 units a frame: one tile takes three frames to come to rest
    }
    ASSERT_FALSE(b.units->IsMoving(near));
    ASSERT_TRUE(b.units->IsMoving(far));
    EXPECT_TRUE(sound.IsPlaying(moveChannel)) << "the first unit's arrival silenced the second one's loop";
    Wait(0.2);
    ASSERT_TRUE(b.Settle(0.2f));
    EXPECT_FALSE(sound.IsPlaying(moveChannel)) << "the last arrival stops the loop";
    Wait(0.1);

    // A move to the unit's own tile: the loop starts and the next frame stops it.
    ASSERT_TRUE(b.units->MoveUnit(far, 10, 10));
    EXPECT_TRUE(sound.IsPlaying(moveChannel));
    b.units->UpdateUnits(0.0f);
    EXPECT_FALSE(sound.IsPlaying(moveChannel));

    sound.Close();
    std::vector<int> heard =
        audio_tools::HeardSequence(ReadFile("mixed.raw"), {0.2 / std::sqrt(2.0), 0.6 / std::sqrt(2.0)});
    heard.erase(std::unique(heard.begin(), heard.end()), heard.end());
    EXPECT_EQ(heard, (std::vector<int>{0, 1})) << "the first unit's beats, then the second one's in their place";
}

// Emitters told apart by their particle counts; those that restart loop
// until stopped.
void WriteUnitEffects() {
    WriteEffect("w.xml", "count=5 startAgain=1 lifeFrom=0.5 lifeTo=0.5");
    WriteEffect("s.xml", "count=3 startAgain=1");
    WriteEffect("f.xml", "count=6 startAgain=1 type=FIRE");
    WriteEffect("a.xml", "count=1");
    WriteEffect("e.xml", "count=2 type=FIRE");
}

std::vector<int> EmitterCounts(const CParticleSystem& particles) {
    std::vector<int> counts;
    for (int id = 0; id < particles.GetEmitterCount(); ++id) {
        counts.push_back(particles.GetEmitter(id)->count);
    }
    return counts;
}

bool IsDeleted(const CParticleSystem& particles, int id) {
    return particles.GetEmitter(id) != nullptr && particles.GetEmitter(id)->deleted;
}

// The wheel dust starts with the move, restarts where the unit has got to
// and ends when it comes to rest.
TEST(UnitEffects, WheelDustFollowsTheUnitAndEndsOnArrival) {
    CParticleSystem particles(nullptr);
    CBoard          b(FlatGround, 1, &particles);
    WriteUnitEffects();
    const int unit = b.AddUnit(UnitTraits(), 1, 5, 5);
    ASSERT_TRUE(b.units->MoveUnit(unit, 8, 5));
    const int wheels = b.Unit(unit).wheelsEffect;
    ASSERT_EQ(EmitterCounts(particles), std::vector<int>{5});
    EXPECT_EQ(particles.GetEmitter(wheels)->particles[0].startPosition.x, 5.5f * tileSize);

    b.units->UpdateUnits(0.1f);
    EXPECT_EQ(particles.GetEmitter(wheels)->particles[0].startPosition.x, b.Unit(unit).worldX)
        << "the dust restarts under the unit";
    ASSERT_TRUE(b.Settle(0.1f));
    EXPECT_EQ(b.Unit(unit).wheelsEffect, -1);
    EXPECT_FALSE(particles.GetEmitter(wheels)->particles[0].startAgain);
    particles.Update(1.0f);
    particles.Update(0.0f);
    EXPECT_TRUE(IsDeleted(particles, wheels)) << "the last dust has settled";
}

// One shot that destroys the defender: both muzzle flashes, smoke on the
// damaged attacker, and on the defender smoke and fire that stop at once
// for its explosion. The attacker's smoke keeps going.
TEST(UnitEffects, AnAttackFlashesSmokesAndExplodesAndTheWreckStopsItsEmitters) {
    CParticleSystem particles(nullptr);
    CBoard          b(FlatGround, 1, &particles);
    WriteUnitEffects();
    UnitTraits attackerTraits, defenderTraits;
    attackerTraits.startEffectSmoke  = 2000; // any damage makes it smoke
    attackerTraits.startEffectAttack = 0;
    defenderTraits.hitpoints         = 50;
    defenderTraits.startEffectAttack = 0;
    const int attacker               = b.AddUnit(attackerTraits, 1, 5, 5);
    const int defender               = b.AddUnit(defenderTraits, 2, 6, 5);
    b.AddUnit(UnitTraits(), 2, 20, 20); // so that the game goes on

    b.Click(5, 5);
    b.Space();
    b.Click(6, 5);
    ASSERT_LE(b.units->GetHitpoints(defender), 0);
    ASSERT_GT(b.units->GetHitpoints(attacker), 0);
    // Flash of the attacker, of the defender; attacker's smoke; defender's
    // smoke, fire and explosion.
    ASSERT_EQ(EmitterCounts(particles), (std::vector<int>{1, 1, 3, 3, 6, 2}));
    EXPECT_EQ(b.Unit(attacker).smokeEffect, 2);
    EXPECT_EQ(b.Unit(defender).smokeEffect, -1);
    EXPECT_EQ(b.Unit(defender).fireEffect, -1);
    EXPECT_EQ(particles.GetEmitter(0)->particles[0].startPosition.x, 5.5f * tileSize) << "at the attacker";
    EXPECT_EQ(particles.GetEmitter(5)->particles[0].startPosition.x, 6.5f * tileSize) << "at the defender";

    particles.Update(1.5f);
    particles.Update(0.0f);
    for (int id : {0, 1, 3, 4, 5}) {
        EXPECT_TRUE(IsDeleted(particles, id)) << "emitter " << id << " should have ended";
    }
    EXPECT_FALSE(IsDeleted(particles, 2)) << "the attacker's smoke goes on";
}

} // namespace
