#include <gtest/gtest.h>

#include <string>

#include "ParticleFiles.h"
#include "TestSupport.h"
#include "fx/ParticleSystem.h"

// The update rules, stepped by frame time without drawing (and without
// textures: the system is given no texture cache).
namespace {

const CVector3 origin(100.0f, 50.0f, 200.0f);

int CountLines(const std::string& text, const std::string& line) {
    int    count = 0;
    size_t at    = 0;
    while ((at = text.find(line + "\n", at)) != std::string::npos) {
        ++count;
        at += line.size();
    }
    return count;
}

int LivingParticles(const CParticleEmitter& emitter) {
    int living = 0;
    for (const CParticle& particle : emitter.particles) {
        living += particle.lifeLeft > 0.0f ? 1 : 0;
    }
    return living;
}

class ParticleSystemTest : public ::testing::Test {
protected:
    int Load(const CEffectText& text, const CVector3& position = origin) {
        text.Write("effect.xml");
        return particles.LoadEmitter("effect.xml", position);
    }

    void Step(float frameTime, int frames = 1) {
        for (int frame = 0; frame < frames; ++frame) {
            particles.Update(frameTime);
        }
    }

    CTempWorkDir    dir;
    CParticleSystem particles{nullptr};
};

// Count 0 and life 0 both give an emitter with nothing to show, which the
// next update deletes (a negative count is taken as 0).
TEST_F(ParticleSystemTest, EmittersWithoutLivingParticlesAreDeletedByTheNextUpdate) {
    const struct {
        const char* name;
        const char* count;
        const char* life;
        const char* size;
        int         particles;
    } cases[] = {{"count 0", "0", "1", "10", 0},
                 {"negative count", "-3", "1", "10", 0},
                 {"life 0", "5", "0", "10", 5},
                 {"size 0", "5", "1", "0", 5}};
    for (const auto& example : cases) {
        CEffectText text;
        text.count      = example.count;
        text.life[0]    = example.life;
        text.life[1]    = example.life;
        text.size       = example.size;
        text.startAgain = "1";
        const int id    = Load(text);
        ASSERT_GE(id, 0) << example.name;
        ASSERT_EQ(particles.GetEmitter(id)->count, example.particles) << example.name;
        EXPECT_EQ(LivingParticles(*particles.GetEmitter(id)), 0) << example.name << ": no particle may appear";
        Step(0.0f);
        EXPECT_TRUE(particles.GetEmitter(id)->deleted) << example.name;
        EXPECT_FALSE(particles.GetEmitter(id)->active) << example.name;
        EXPECT_TRUE(particles.GetEmitter(id)->particles.empty()) << example.name;
    }
}

// Without restart, the emitter goes on the first update after its last
// particle died, and says so once.
TEST_F(ParticleSystemTest, AFinishedEmitterIsDeletedOnceWithItsLogLine) {
    CEffectText text;
    text.life[0] = "0.5";
    text.life[1] = "0.5";
    Load(text); // id 0 stays alive longer
    text.life[0] = "1.5";
    text.life[1] = "1.5";
    Load(text);
    text.life[0] = "0.5";
    text.life[1] = "0.5";
    Load(text);

    Step(0.3f, 2); // the short-lived particles reach -0.1
    EXPECT_FALSE(particles.GetEmitter(0)->deleted);
    EXPECT_EQ(LivingParticles(*particles.GetEmitter(0)), 0);
    Step(0.3f);
    EXPECT_TRUE(particles.GetEmitter(0)->deleted);
    EXPECT_FALSE(particles.GetEmitter(1)->deleted);
    EXPECT_TRUE(particles.GetEmitter(2)->deleted);
    Step(0.3f, 10);
    EXPECT_TRUE(particles.GetEmitter(1)->deleted);
    EXPECT_EQ(particles.GetEmitterCount(), 3) << "slots are kept";

    const std::string log = ReadFile("log_info.txt");
    EXPECT_EQ(CountLines(log, "emitter 0 deleted"), 1) << log;
    EXPECT_EQ(CountLines(log, "emitter 1 deleted"), 1) << log;
    EXPECT_EQ(CountLines(log, "emitter 2 deleted"), 1) << log;
}

// A still particle drifts down at a constant speed, not an accelerating one.
TEST_F(ParticleSystemTest, AStillParticleSinksAtAConstantRate) {
    CEffectText text;
    text.count   = "1";
    text.life[0] = "100";
    text.life[1] = "100";
    const int id = Load(text);
    Step(0.0f); // the first frame has no time
    Step(0.25f, 4);
    const CParticle& after1s = particles.GetEmitter(id)->particles[0];
    EXPECT_NEAR(after1s.position.y, origin.y - 0.98100007f, 1e-4f);
    EXPECT_FLOAT_EQ(after1s.position.x, origin.x);
    Step(0.5f, 4);
    EXPECT_NEAR(particles.GetEmitter(id)->particles[0].position.y, origin.y - 3.0f * 0.98100007f, 1e-4f);
}

TEST_F(ParticleSystemTest, VelocityAngleAndWaitingFollowTheFrameTime) {
    CEffectText text;
    text.count   = "1";
    text.velX[0] = text.velX[1] = "10";
    text.velY[0] = text.velY[1] = "4";
    text.start[0] = text.start[1] = "0.5";
    text.life[0] = text.life[1] = "2";
    text.angle                  = "90";
    const int id                = Load(text);
    Step(0.25f, 2); // waits
    const CParticle& waited = particles.GetEmitter(id)->particles[0];
    EXPECT_FLOAT_EQ(waited.position.x, origin.x);
    EXPECT_FLOAT_EQ(waited.angle, 90.0f);
    EXPECT_FLOAT_EQ(waited.lifeLeft, 2.0f);
    Step(0.5f);
    const CParticle& flown = particles.GetEmitter(id)->particles[0];
    EXPECT_FLOAT_EQ(flown.position.x, origin.x + 5.0f);
    EXPECT_NEAR(flown.position.y, origin.y + 0.5f * (4.0f - 0.98100007f), 1e-4f);
    EXPECT_FLOAT_EQ(flown.angle, 135.0f);
    EXPECT_FLOAT_EQ(flown.lifeLeft, 1.5f);
}

// Moving an emitter does not move what flies; dead particles restart at the
// new point, and waiting ones go there at once.
TEST_F(ParticleSystemTest, AMovedEmitterRestartsItsParticlesAtTheNewPoint) {
    CEffectText text;
    text.count   = "2";
    text.velX[0] = text.velX[1] = "10";
    text.life[0] = text.life[1] = "1";
    text.startAgain             = "1";
    const int id                = Load(text);
    Step(0.5f);
    const CVector3 moved(500.0f, 60.0f, 700.0f);
    particles.SetEmitterPosition(id, moved.x, moved.y, moved.z);
    const CParticle& flying = particles.GetEmitter(id)->particles[0];
    EXPECT_FLOAT_EQ(flying.position.x, origin.x + 5.0f) << "a flying particle keeps its place";
    Step(0.5f); // both die in the same frame
    Step(0.5f); // and restart, rather than ending the emitter
    ASSERT_FALSE(particles.GetEmitter(id)->deleted) << "an emitter of restarting particles ended";
    const CParticle& restarted = particles.GetEmitter(id)->particles[0];
    EXPECT_TRUE(restarted.position == moved);
    EXPECT_FLOAT_EQ(restarted.lifeLeft, 1.0f);

    text.start[0] = text.start[1] = "5";
    const int waitingId           = Load(text);
    particles.SetEmitterPosition(waitingId, moved.x, moved.y, moved.z);
    EXPECT_TRUE(particles.GetEmitter(waitingId)->particles[1].position == moved) << "a waiting particle moves";
}

// StopRespawn lets flying particles finish and cancels those still waiting.
TEST_F(ParticleSystemTest, StopRespawnEndsAnEmitterThatWouldRunForever) {
    CEffectText text;
    text.count    = "4";
    text.start[0] = "0";
    text.start[1] = "3"; // some particles wait
    text.life[0] = text.life[1] = "1";
    text.startAgain             = "1";
    const int id                = Load(text);
    Step(0.5f, 40);
    EXPECT_FALSE(particles.GetEmitter(id)->deleted) << "restarting particles keep the emitter alive";
    particles.StopRespawn(id);
    Step(0.5f, 4);
    EXPECT_TRUE(particles.GetEmitter(id)->deleted);

    const int fresh = Load(text); // delays up to 3 s, life 1 s
    particles.StopRespawn(fresh);
    Step(0.5f, 3);
    EXPECT_TRUE(particles.GetEmitter(fresh)->deleted) << "waiting particles were cancelled";
}

// -1 is the id of no effect; it and ids past the list are ignored.
TEST_F(ParticleSystemTest, MissingOrIncompleteFilesGiveMinusOneWhichEveryCallIgnores) {
    EXPECT_EQ(particles.LoadEmitter("missing.xml", origin), -1);
    EXPECT_EQ(particles.LoadEmitter(nullptr, origin), -1);
    CEffectText text;
    text.missing = "type";
    EXPECT_EQ(Load(text), -1);
    EXPECT_EQ(particles.GetEmitterCount(), 0);
    for (const int id : {-1, 0, 7}) {
        particles.SetEmitterPosition(id, 1.0f, 2.0f, 3.0f);
        particles.StopRespawn(id);
        EXPECT_EQ(particles.GetEmitter(id), nullptr);
    }
    Step(0.1f);
    EXPECT_FALSE(FileExists("log_error.txt")) << "a missing effect is not an error of its own";
}

TEST_F(ParticleSystemTest, DestroyAllEmptiesTheList) {
    CEffectText text;
    text.startAgain = "1";
    Load(text);
    Load(text);
    particles.DestroyAll();
    EXPECT_EQ(particles.GetEmitterCount(), 0);
    EXPECT_EQ(Load(text), 0) << "ids start again from 0";
}

} // namespace
