#pragma once

#include <cstdint>

#include "ai/NearestAttackPlayer.h"

// A seeded player that mixes the nearest-attack policy with random
// commands of every kind (many of them refused), for games that wander
// through the rules: tests, benchmarks and the headless match. The same
// seed and match give the same commands on every machine.
class CMixedPlayer {
public:
    // randomPercent of the commands are random ones.
    CMixedPlayer(uint64_t seed, int randomPercent);

    CCommand ChooseCommand(const CMatch& match);

private:
    uint64_t Next();
    int      Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }
    CCommand RandomCommand(const CMatch& match);

    CNearestAttackPlayer policy;
    uint64_t             state;
    int                  randomPercent;
};
