#include "ai/RandomPlayer.h"

#include <vector>

CCommand CRandomPlayer::ChooseCommand(const CMatch& match) {
    if (match.GetMovedUnit() != -1) {
        return ActWhereItStands(match, match.GetMovedUnit());
    }
    std::vector<int> ready;
    for (int unit = 0; unit < match.GetUnitCount(); ++unit) {
        const CUnit& state = *match.GetUnit(unit);
        if (state.team == match.GetCurrentTeam() && state.hitpoints > 0 && !state.done && !state.isHeadquarter) {
            ready.push_back(unit);
        }
    }
    if (ready.empty()) {
        return CCommand::EndTurn();
    }
    const int unit = ready[static_cast<size_t>(random.Below(static_cast<int>(ready.size())))];
    CTileArea area;
    match.FillMoveArea(unit, area);
    const int      tile  = random.Below(area.GetCount());
    const CCommand drive = CCommand::Move(unit, area.GetX(tile), area.GetY(tile));
    return match.Check(drive) == Refusal::none ? drive : ActWhereItStands(match, unit);
}

CCommand CRandomPlayer::ActWhereItStands(const CMatch& match, int unit) {
    CTileArea ring;
    match.FillFireArea(unit, ring);
    std::vector<CCommand> shots;
    for (int i = 0; i < ring.GetCount(); ++i) {
        const CCommand fire = CCommand::Fire(unit, ring.GetX(i), ring.GetY(i));
        if (match.Check(fire) == Refusal::none) {
            shots.push_back(fire);
        }
    }
    return shots.empty() ? CCommand::Finish(unit)
                         : shots[static_cast<size_t>(random.Below(static_cast<int>(shots.size())))];
}
