#include "ai/MixedPlayer.h"

namespace {

// How far from its unit a random move or shot aims, in tiles.
constexpr int randomReach = 6;

} // namespace

CMixedPlayer::CMixedPlayer(uint64_t seed, int randomShare) : state(seed), randomPercent(randomShare) {}

// SplitMix64: portable, so a seed means the same game everywhere.
uint64_t CMixedPlayer::Next() {
    uint64_t value = (state += 0x9E3779B97F4A7C15ULL);
    value          = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
    value          = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
    return value ^ (value >> 31);
}

CCommand CMixedPlayer::ChooseCommand(const CMatch& match) {
    if (Below(100) < randomPercent) {
        return RandomCommand(match);
    }
    return policy.ChooseCommand(match);
}

// A unit of any team (mostly the team to move) and a tile near it; the
// end of the turn rarely, so that games still end.
CCommand CMixedPlayer::RandomCommand(const CMatch& match) {
    const int unitCount = match.GetUnitCount();
    if (unitCount == 0 || Below(20) == 0) {
        return CCommand::EndTurn();
    }
    const int    unit  = match.GetMovedUnit() != -1 && Below(2) == 0 ? match.GetMovedUnit() : Below(unitCount);
    const CUnit& state = *match.GetUnit(unit);
    const int    x     = state.tileX + Below(2 * randomReach + 1) - randomReach;
    const int    y     = state.tileY + Below(2 * randomReach + 1) - randomReach;
    switch (Below(4)) {
    case 0:
        return CCommand::Move(unit, x, y);
    case 1:
        return CCommand::Undo(unit);
    case 2:
        return CCommand::Fire(unit, x, y);
    default:
        return CCommand::Finish(unit);
    }
}
