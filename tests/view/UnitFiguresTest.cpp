#include <gtest/gtest.h>

#include <vector>

#include "rules/RulesBoard.h"
#include "fx/ParticleFiles.h"
#include "fx/ParticleSystem.h"
#include "ai/NearestAttackPlayer.h"
#include "view/UnitFigures.h"

// The units' figures: walks and effects after what the match reports, with a
// real particle system (no textures, no drawing).
namespace {

using namespace RulesBoard;

// A match on the made-up board with figures for its units (and no sound).
class CFiguredBoard : public CBoard {
public:
    explicit CFiguredBoard(CParticleSystem* particles = nullptr) : particleSystem(particles) {}

    int Add(const UnitTraits& traits, int team, int x, int y, const CUnitMedia& media) {
        const int unit = AddUnit(traits, team, x, y);
        setups.push_back({media, 1, 0, ""});
        return unit;
    }
    void Show() {
        figures = std::make_unique<CUnitFigures>(*match, nullptr, map.get(), particleSystem, nullptr);
        figures->AddFigures(setups);
    }
    void Play(const CCommand& command) {
        for (const CMatchEvent& event : match->Apply(command).events) {
            if (event.kind == CMatchEvent::moved) {
                figures->StartWalk(event.unit, event.path);
            } else if (event.kind == CMatchEvent::attacked) {
                figures->ShowAttack(event.unit, event.target, event.exchange);
            } else if (event.kind == CMatchEvent::destroyed) {
                figures->ShowDestroyed(event.unit);
            }
        }
    }
    bool Settle(float frameTime) {
        for (int frame = 0; frame < 100000 && figures->IsAnyWalking(); ++frame) {
            figures->Update(frameTime);
        }
        return !figures->IsAnyWalking();
    }

    std::unique_ptr<CUnitFigures> figures;

private:
    CParticleSystem*        particleSystem;
    std::vector<CUnitSetup> setups;
};

// Smoke below 600 hit points, fire below 300, the attack's effect for damage above 50.
CUnitMedia Media() {
    return {"", "w.xml", "f.xml", "s.xml", "a.xml", "e.xml", "", "", "", 1.0f, 600, 300, 50};
}

// Emitters told apart by their particle counts; those that restart loop until stopped.
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

// A shot that destroys the defender: both muzzle flashes, smoke on the damaged
// attacker; the defender's smoke and fire stop at once for its explosion.
TEST(UnitEffects, AnAttackFlashesSmokesAndExplodesAndTheWreckStopsItsEmitters) {
    CParticleSystem particles(nullptr);
    CFiguredBoard   b(&particles);
    WriteUnitEffects();
    CUnitMedia attackerMedia = Media(), defenderMedia = Media();
    attackerMedia.startEffectSmoke  = 2000; // any damage makes it smoke
    attackerMedia.startEffectAttack = defenderMedia.startEffectAttack = 0;
    UnitTraits weak;
    weak.hitpoints     = 50;
    const int attacker = b.Add(UnitTraits(), 1, 5, 5, attackerMedia);
    const int defender = b.Add(weak, 2, 6, 5, defenderMedia);
    b.AddUnit(UnitTraits(), 2, 20, 20); // so that the game goes on
    b.Show();

    b.Play(CCommand::Fire(attacker, 6, 5));
    ASSERT_LE(b.Unit(defender).hitpoints, 0);
    ASSERT_GT(b.Unit(attacker).hitpoints, 0);
    // Both flashes; attacker's smoke; defender's smoke, fire and explosion.
    ASSERT_EQ(EmitterCounts(particles), (std::vector<int>{1, 1, 3, 3, 6, 2}));
    EXPECT_EQ(particles.GetEmitter(0)->particles[0].startPosition.x, 5.5f * tileSize) << "at the attacker";
    EXPECT_EQ(particles.GetEmitter(5)->particles[0].startPosition.x, 6.5f * tileSize) << "at the defender";

    particles.Update(1.5f);
    particles.Update(0.0f);
    for (int id : {0, 1, 3, 4, 5}) {
        EXPECT_TRUE(IsDeleted(particles, id)) << "emitter " << id << " should have ended";
    }
    EXPECT_FALSE(IsDeleted(particles, 2)) << "the attacker's smoke goes on";
}

// The view animates what the match decided: with frames of 1, 16 and 250 ms,
// waiting for walks to end as the player's input does, the hashes agree.
TEST(UnitFigures, FrameTimeChangesNothingOfTheMatch) {
    std::vector<std::vector<uint64_t>> runs;
    for (const float frameTime : {0.001f, 0.016f, 0.25f}) {
        CFiguredBoard b;
        UnitTraits    hq, tank;
        hq.hq       = true;
        tank.attack = 300;
        for (int team = 1; team <= 2; ++team) {
            b.Add(hq, team, team == 1 ? 0 : 31, team == 1 ? 0 : 31, Media());
            for (int i = 0; i < 3; ++i) {
                b.Add(tank, team, team == 1 ? 4 + 3 * i : 25 - 3 * i, team == 1 ? 6 : 25, Media());
            }
        }
        b.Show();
        const CNearestAttackPlayer player;
        std::vector<uint64_t>      hashes;
        for (int command = 0; command < 400 && !b.match->IsGameOver(); ++command) {
            ASSERT_TRUE(b.Settle(frameTime));
            b.Play(player.ChooseCommand(*b.match));
            hashes.push_back(b.match->StateHash());
        }
        ASSERT_TRUE(b.match->IsGameOver());
        runs.push_back(hashes);
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_EQ(runs[0], runs[2]);
}

} // namespace
