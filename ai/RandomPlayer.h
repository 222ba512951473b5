#pragma once

#include <cstdint>

#include "ai/SeededRandom.h"
#include "rules/Match.h"

// A seeded player that gives random commands the rules accept: a random
// ready unit drives to a random tile of its move area (or stays), then
// fires at a random unit in its ring or ends its action; with no ready unit
// left it ends the turn. A yardstick for the computer's levels.
class CRandomPlayer {
public:
    explicit CRandomPlayer(uint64_t seed) : random(seed) {}

    CCommand ChooseCommand(const CMatch& match);

private:
    CCommand ActWhereItStands(const CMatch& match, int unit);

    CSeededRandom random;
};
