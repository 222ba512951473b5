#include "ai/TurnPlanner.h"

#include <algorithm>
#include <tuple>

namespace {

// After the enemy's reply this team moves next: its possible shots count
// for it at this share.
constexpr double replyThreat = 0.8;

// An order keeps the unit whose move is pending first (only it may act),
// then the headquarters (it only fires, and only while a fighting unit is
// still ready: the turn ends with the last of them).
int FixedRank(const CMatch& match, int unit) {
    const CUnit& state = *match.GetUnit(unit);
    return unit == match.GetMovedUnit() ? 0 : state.isHeadquarter ? 1 : 2;
}

} // namespace

CTurnPlanner::CTurnPlanner(const CMatch& match, const CPlannerSettings& settingsValue, uint64_t seed)
    : start(match), settings(settingsValue), random(seed), score(match, match.GetCurrentTeam(), settingsValue.weights),
      team(match.GetCurrentTeam()) {}

std::vector<int> CTurnPlanner::Actors() const {
    std::vector<int> actors;
    for (int unit = 0; unit < start.GetUnitCount(); ++unit) {
        const CUnit& state = *start.GetUnit(unit);
        if (state.team == team && state.hitpoints > 0 && !state.done) {
            actors.push_back(unit);
        }
    }
    return actors;
}

// Order 0: generals first (a boost helps the units after them), then the
// units nearest to a fight; order 1 the same with the generals last; the
// others shuffled.
std::vector<int> CTurnPlanner::Order(int index, const std::vector<int>& actors) {
    std::vector<int> order = actors;
    if (index >= 2) {
        for (int i = static_cast<int>(order.size()) - 1; i > 0; --i) {
            std::swap(order[static_cast<size_t>(i)], order[static_cast<size_t>(random.Below(i + 1))]);
        }
    }
    auto key = [this, index](int unit) {
        const CUnit& state   = *start.GetUnit(unit);
        const int    general = state.isGeneral ? (index == 1 ? 1 : -1) : 0;
        const int    steps   = score.StepsToEngage(unit, state.tileX, state.tileY);
        return index >= 2 ? std::make_tuple(FixedRank(start, unit), 0, 0, 0)
                          : std::make_tuple(FixedRank(start, unit), general, steps, unit);
    };
    std::stable_sort(order.begin(), order.end(), [&key](int a, int b) { return key(a) < key(b); });
    return order;
}

void CTurnPlanner::Plan(std::vector<CCommand>& commands, std::vector<uint64_t>& hashes) {
    commands.clear();
    hashes.clear();
    if (start.IsGameOver()) {
        return;
    }
    const std::vector<int> actors = Actors();
    CPlan                  best;
    for (int index = 0; index < std::max(1, settings.orders); ++index) {
        if (index > 0 && evaluations >= settings.evaluationBudget) {
            break;
        }
        CPlan plan = PlayOrder(Order(index, actors));
        if (settings.weighReply) {
            plan.score = ScoreAfterReply(*plan.end);
        }
        if (index == 0 || plan.score > best.score) {
            best = std::move(plan);
        }
    }
    commands = std::move(best.commands);
    hashes   = std::move(best.hashes);
}

CTurnPlanner::CPlan CTurnPlanner::PlayOrder(const std::vector<int>& order) {
    CPlan plan;
    plan.end      = std::make_unique<CMatch>(start);
    CMatch& match = *plan.end;
    match.SetTraceExchanges(false);
    for (const int unit : order) {
        if (match.IsGameOver() || match.GetCurrentTeam() != team) {
            break;
        }
        const CUnit& state = *match.GetUnit(unit);
        if (state.hitpoints <= 0 || state.done || (match.GetMovedUnit() != -1 && match.GetMovedUnit() != unit)) {
            continue;
        }
        for (const CAction& action : RankActions(match, unit)) {
            if (Carry(match, action, plan)) {
                break;
            }
        }
    }
    if (!match.IsGameOver() && match.GetCurrentTeam() == team) {
        Issue(match, CCommand::EndTurn(), plan);
    }
    plan.score = score.Score(match);
    ++evaluations;
    return plan;
}

// The enemy answers with the plan of a one-order planner with the same
// weights; the position after that is scored afresh for this team.
double CTurnPlanner::ScoreAfterReply(const CMatch& end) {
    if (end.IsGameOver()) {
        return score.Score(end);
    }
    CPlannerSettings replySettings = settings;
    replySettings.orders           = 1;
    replySettings.evaluationBudget = 0;
    replySettings.mistakeChance    = 0.0;
    replySettings.weighReply       = false;
    CTurnPlanner          reply(end, replySettings, random.Next());
    std::vector<CCommand> commands;
    std::vector<uint64_t> hashes;
    reply.Plan(commands, hashes);
    evaluations += reply.GetEvaluations();
    CMatch answered(end);
    answered.SetTraceExchanges(false);
    for (const CCommand& command : commands) {
        answered.Apply(command);
    }
    ++evaluations;
    CScoreWeights weights = settings.weights;
    weights.threat        = replyThreat;
    return CPositionScore(answered, team, weights).Score(answered);
}

// Every action of the unit, best first. A unit with a pending move, and a
// headquarters, act where they stand.
std::vector<CTurnPlanner::CAction> CTurnPlanner::RankActions(const CMatch& match, int unit) {
    const CUnit&         state = *match.GetUnit(unit);
    std::vector<CAction> actions;
    CTileArea            area;
    if (state.isHeadquarter || unit == match.GetMovedUnit()) {
        actions.push_back({unit, state.tileX, state.tileY});
    } else {
        match.FillMoveArea(unit, area);
        for (int i = 0; i < area.GetCount(); ++i) {
            actions.push_back({unit, area.GetX(i), area.GetY(i)});
        }
    }
    for (CAction& action : actions) {
        action.score = score.Score(match, unit, action.x, action.y);
        ++evaluations;
    }
    AddFireActions(match, unit, actions);
    std::stable_sort(actions.begin(), actions.end(),
                     [](const CAction& a, const CAction& b) { return a.score > b.score; });
    if (!actions.empty() && random.Fraction() < settings.mistakeChance) {
        std::swap(actions.front(), actions[static_cast<size_t>(random.Below(static_cast<int>(actions.size())))]);
    }
    return actions;
}

// For each tile of the drive actions from which some unit lies in the fire
// ring: the unit drives there on a copy, and each shot it could fire from
// there is carried out on a copy of that and scored.
void CTurnPlanner::AddFireActions(const CMatch& match, int unit, std::vector<CAction>& actions) {
    const CUnit& state  = *match.GetUnit(unit);
    const size_t drives = actions.size();
    for (size_t i = 0; i < drives; ++i) {
        const int x = actions[i].x, y = actions[i].y;
        auto      inRing = [&](const CUnit& other) {
            return other.hitpoints > 0 && &other != &state && (other.team != team || state.isGeneral) &&
                   CTileArea::IsInFireRing(x, y, state.fireMin, match.GetEffectiveFireMax(unit), other.tileX,
                                                other.tileY);
        };
        if (std::none_of(match.GetUnits().begin(), match.GetUnits().end(), inRing)) {
            continue;
        }
        CMatch driven(match);
        if ((x != state.tileX || y != state.tileY) && !driven.Apply(CCommand::Move(unit, x, y)).Accepted()) {
            continue;
        }
        for (const CUnit& other : match.GetUnits()) {
            if (!inRing(other)) {
                continue;
            }
            const CShotPreview preview = driven.PreviewShot(unit, other.tileX, other.tileY);
            if (preview.kind == CShotPreview::none ||
                (settings.avoidSuicide && preview.kind == CShotPreview::attack && preview.shooterHitpointsAfter <= 0 &&
                 preview.targetHitpointsAfter > 0)) {
                continue;
            }
            CMatch fired(driven);
            fired.Apply(CCommand::Fire(unit, other.tileX, other.tileY));
            actions.push_back({unit, x, y, true, other.tileX, other.tileY, score.Score(fired)});
            ++evaluations;
        }
    }
}

// Carries the action out on the plan's match; false (nothing changed) when
// the rules refuse its drive.
bool CTurnPlanner::Carry(CMatch& match, const CAction& action, CPlan& plan) const {
    const CUnit& state  = *match.GetUnit(action.unit);
    const bool   drives = action.x != state.tileX || action.y != state.tileY;
    if (drives && match.Check(CCommand::Move(action.unit, action.x, action.y)) != Refusal::none) {
        return false;
    }
    if (drives) {
        Issue(match, CCommand::Move(action.unit, action.x, action.y), plan);
    }
    const CCommand fire = CCommand::Fire(action.unit, action.targetX, action.targetY);
    if (action.fires && match.Check(fire) == Refusal::none) {
        Issue(match, fire, plan);
    } else if (action.unit == match.GetMovedUnit()) {
        Issue(match, CCommand::Finish(action.unit), plan);
    }
    return true;
}

void CTurnPlanner::Issue(CMatch& match, const CCommand& command, CPlan& plan) {
    plan.hashes.push_back(match.StateHash());
    plan.commands.push_back(command);
    match.Apply(command);
}
