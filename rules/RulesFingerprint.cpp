#include "rules/RulesFingerprint.h"

#include "rules/Combat.h"
#include "rules/PathFinder.h"
#include "rules/StateHash.h"
#include "rules/TileArea.h"

namespace {

// Heights are whole multiples of an awkward float step, as a heightmap's are.
constexpr float heightStep = 2.3529413f;
constexpr float tileSize   = 64.0f;

void AddExchanges(CStateHash& hash) {
    CFightParams fight;
    fight.attackBonus   = 1.25f;
    fight.attackFactor  = 0.9f;
    fight.maxAttack     = 1000.0f;
    fight.maxDefense    = 1000.0f;
    fight.maxSlopeBonus = 300.0f;
    for (int attack = 100; attack <= 700; attack += 150) {
        for (int rise = -40; rise <= 40; rise += 7) {
            CCombatSide a{attack, attack / 2, 300 + attack, heightStep * static_cast<float>(rise), 20.0f, true};
            CCombatSide d{500 - attack / 2, 250, 900 - attack, 0.0f, 45.5f, rise % 2 == 0};
            const CCombatExchange exchange = Combat::ResolveExchange(a, d, tileSize, fight);
            hash.Add(exchange.damageToAttacker);
            hash.Add(exchange.damageToDefender);
            hash.Add(static_cast<int64_t>(static_cast<double>(exchange.slope) * 1e6));
        }
    }
}

void AddArctangents(CStateHash& hash) {
    for (int step = -200; step <= 200; step += 3) {
        hash.Add(static_cast<int64_t>(Combat::Atan2(step * 0.37, 1.0 + step * step * 0.01) * 1e15));
    }
}

bool Blocked(int x, int y) {
    return (x * 7 + y * 13) % 5 == 0;
}

void AddAreas(CStateHash& hash) {
    CTileArea area;
    area.FillMoveArea(10, 12, 7, [](int x, int y) { return !Blocked(x, y); });
    for (int i = 0; i < area.GetCount(); ++i) {
        hash.Add(area.GetX(i) * 32 + area.GetY(i));
    }
    area.FillFireArea(3, 30, 2, 5);
    hash.Add(area.GetCount());
}

double ProbeCost(const CPathNode&, const CPathNode& candidate, void*) {
    return 1.0 + (candidate.x * 3 + candidate.y) % 4 * 0.5;
}

double ProbeHeuristic(const CPathNode& destination, const CPathNode& node, void*) {
    const int dx = node.x - destination.x, dy = node.y - destination.y;
    return static_cast<float>(dx * dx + dy * dy);
}

bool ProbeValid(const CPathNode&, const CPathNode& candidate, void*) {
    return !Blocked(candidate.x, candidate.y);
}

void AddPath(CStateHash& hash) {
    CPathFinder finder;
    finder.SetCallbacks(ProbeCost, ProbeHeuristic, ProbeValid, nullptr);
    hash.Add(finder.FindPath(2, 3, 21, 17) ? 1 : 0);
    for (const auto& tile : finder.GetPath()) {
        hash.Add(tile.first * 32 + tile.second);
    }
}

} // namespace

uint64_t ComputeRulesFingerprint() {
    CStateHash hash;
    hash.Add(rulesVersion);
    AddExchanges(hash);
    AddArctangents(hash);
    AddAreas(hash);
    AddPath(hash);
    return hash.Get();
}
