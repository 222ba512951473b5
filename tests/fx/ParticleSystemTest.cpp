#include <gtest/gtest.h>

#include <string>

#include "ParticleFiles.h"
#include "TestSupport.h"
#include "fx/ParticleSystem.h"

// The update rules, stepped by frame time without drawing or textures.
namespace {

const CVector3 origin(100.0f, 50.0f, 200.0f);

class ParticleSystemTest : public ::testing::Test {
protected:
    int Load(const std::string& changes, const CVector3& position = origin) {
        WriteEffect("effect.xml", changes);
        return particles.LoadEmitter("effect.xml", position);
    }
    void Step(float frameTime, int frames = 1) {
        for (int frame = 0; frame < frames; ++frame) {
            particles.Update(frameTime);
        }
    }
    bool             Deleted(int id) const { return particles.GetEmitter(id)->deleted; }
    const CParticle& First(int id) const { return particles.GetEmitter(id)->particles.at(0); }

    CParticleSystem particles{nullptr};
};

// Emitters with nothing to show go at the next update; others on the update after their last particle died for
// good, with one log line each.
TEST_F(ParticleSystemTest, EmittersAreDeletedOnceWhenNothingIsLeftToShow) {
    for (const char* empty : {"count=0", "count=-3", "lifeFrom=0 lifeTo=0 startAgain=1", "size=0 startAgain=1"}) {
        const int id = Load(empty);
        Step(0.0f);
        EXPECT_TRUE(Deleted(id)) << empty;
    }
    const int early = Load("lifeFrom=0.5 lifeTo=0.5");
    const int later = Load("lifeFrom=1.5 lifeTo=1.5");
    Step(0.3f, 2); // the short-lived particles reach -0.1
    EXPECT_FALSE(Deleted(early));
    Step(0.3f);
    EXPECT_TRUE(Deleted(early) && particles.GetEmitter(early)->particles.empty() && !Deleted(later));
    Step(0.3f, 10);
    EXPECT_TRUE(Deleted(later));
    EXPECT_EQ(particles.GetEmitterCount(), 6) << "slots are kept";
    const std::string log = ReadFile("log_info.txt");
    for (int id = 0; id < 6; ++id) {
        const std::string line = "emitter " + std::to_string(id) + " deleted\n";
        EXPECT_NE(log.find(line), std::string::npos) << line;
        EXPECT_EQ(log.find(line), log.rfind(line)) << line << "written twice";
    }
}

// Still particles sink at a constant rate (not an acceleration); moving, turning and waiting follow the frame time.
TEST_F(ParticleSystemTest, ParticlesSinkFlyTurnAndWaitByFrameTime) {
    const int still = Load("count=1 lifeFrom=100 lifeTo=100");
    const int flier = Load("count=1 velXfrom=10 velXto=10 startFrom=0.5 startTo=0.5 lifeFrom=2 lifeTo=2 angle=90");
    Step(0.0f);
    Step(0.25f, 2);
    EXPECT_NEAR(First(still).position.y, origin.y - 0.5f * 0.98100007f, 1e-4f);
    EXPECT_TRUE(First(flier).position == origin) << "a waiting particle does not move";
    Step(0.5f, 4);
    EXPECT_NEAR(First(still).position.y, origin.y - 2.5f * 0.98100007f, 1e-4f);
    EXPECT_FLOAT_EQ(First(flier).position.x, origin.x + 20.0f);
    EXPECT_FLOAT_EQ(First(flier).angle, 270.0f);
    EXPECT_FLOAT_EQ(First(flier).lifeLeft, 0.0f);
}

// A moved emitter leaves its flying particles where they are; they restart at the new point, even when all of
// them die in the same frame.
TEST_F(ParticleSystemTest, AMovedEmitterRestartsItsParticlesAtTheNewPoint) {
    const int      id      = Load("count=2 velXfrom=10 velXto=10 startAgain=1");
    const int      waiting = Load("count=2 startFrom=5 startTo=5 startAgain=1");
    const CVector3 moved(500.0f, 60.0f, 700.0f);
    Step(0.5f);
    particles.SetEmitterPosition(id, moved.x, moved.y, moved.z);
    particles.SetEmitterPosition(waiting, moved.x, moved.y, moved.z);
    EXPECT_FLOAT_EQ(First(id).position.x, origin.x + 5.0f);
    EXPECT_TRUE(First(waiting).position == moved) << "a waiting particle moves at once";
    Step(0.5f, 2);
    ASSERT_FALSE(Deleted(id)) << "an emitter of restarting particles ended";
    EXPECT_TRUE(First(id).position == moved);
    EXPECT_FLOAT_EQ(First(id).lifeLeft, 1.0f);
}

// StopRespawn cancels waiting particles and lets flying ones finish.
TEST_F(ParticleSystemTest, StopRespawnEndsAnEmitterThatWouldRunForever) {
    const int running = Load("startTo=3 startAgain=1");
    Step(0.5f, 40);
    EXPECT_FALSE(Deleted(running));
    const int fresh = Load("startTo=3 startAgain=1");
    particles.StopRespawn(running);
    particles.StopRespawn(fresh);
    Step(0.5f, 3);
    EXPECT_TRUE(Deleted(running));
    EXPECT_TRUE(Deleted(fresh)) << "waiting particles were not cancelled";
}

// -1 is the id of no effect; it and ids past the list are ignored.
TEST_F(ParticleSystemTest, MissingOrIncompleteFilesGiveMinusOneWhichEveryCallIgnores) {
    EXPECT_EQ(particles.LoadEmitter("missing.xml", origin), -1);
    EXPECT_EQ(Load("type="), -1);
    EXPECT_EQ(Load("count="), -1);
    for (const int id : {-1, 0, 7}) {
        particles.SetEmitterPosition(id, 1.0f, 2.0f, 3.0f);
        particles.StopRespawn(id);
        EXPECT_EQ(particles.GetEmitter(id), nullptr);
    }
    Step(0.1f);
    EXPECT_EQ(particles.GetEmitterCount(), 0);
}

} // namespace
