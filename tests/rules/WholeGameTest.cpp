#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "ai/ComputerPlayer.h"
#include "ai/NearestAttackPlayer.h"
#include "rules/RulesBoard.h"
#include "data/DataFiles.h"
#include "rules/Match.h"
#include "rules/UnitFile.h"

namespace {

constexpr int board = CGridManager::gridSize;

using DataFiles::CShippedLevel;

// Whether the unit may stand on the tile, written again from the rule itself.
bool ReferencePassable(const CMatch& match, int unit, int x, int y) {
    const CUnit&            state     = *match.GetUnit(unit);
    const CBoardTile&       tile      = match.GetBoard().GetTile(x, y); // outside the board: a blank tile
    const std::vector<int>& forbidden = state.notUsable;
    return CGridManager::IsInside(x, y) && tile.usable && tile.height > match.GetBoard().GetWaterHeight() &&
           match.GetTerrainTypes().IsValid(tile.terrainType) &&
           std::find(forbidden.begin(), forbidden.end(), tile.terrainType) == forbidden.end() &&
           state.slopeMax >= tile.slopeDegrees && (tile.unit == -1 || tile.unit == unit);
}

// The move area by a breadth-first search over edge neighbours within the diamond.
std::set<std::pair<int, int>> ReferenceMoveArea(const CMatch& match, int unit) {
    const auto [originX, originY]         = match.GetOrigin(unit);
    const int                       range = match.GetEffectiveMovement(unit);
    std::set<std::pair<int, int>>   area;
    std::deque<std::pair<int, int>> queue;
    if (ReferencePassable(match, unit, originX, originY)) {
        area.insert({originX, originY});
        queue.push_back({originX, originY});
    }
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
            const int nx = x + dx, ny = y + dy;
            if (std::abs(nx - originX) + std::abs(ny - originY) <= range && area.count({nx, ny}) == 0 &&
                ReferencePassable(match, unit, nx, ny)) {
                area.insert({nx, ny});
                queue.push_back({nx, ny});
            }
        }
    }
    return area;
}

// After every command: the board names each living unit once, at its origin; hit points never
// rise; move areas match the independent search; a game over names a winner whose opponent lost.
void ExpectInvariants(const CMatch& match, const std::vector<int>& hitpointsBefore) {
    std::vector<int> seen(match.GetUnitCount(), 0);
    for (int n = 0; n < CGridManager::tileCount; ++n) {
        const int x = n % board, y = n / board, unit = match.GetBoard().GetTile(x, y).unit;
        if (unit != -1) {
            ASSERT_TRUE(match.IsAlive(unit)) << "a destroyed unit on tile " << x << "," << y;
            ASSERT_EQ(match.GetOrigin(unit), std::make_pair(x, y)) << "unit " << unit;
            ++seen[unit];
        }
    }
    for (int unit = 0; unit < match.GetUnitCount(); ++unit) {
        ASSERT_EQ(seen[unit], match.IsAlive(unit) ? 1 : 0) << "unit " << unit;
        ASSERT_LE(match.GetUnit(unit)->hitpoints, hitpointsBefore[unit]) << "unit " << unit;
        if (match.Check(CCommand::Finish(unit)) == Refusal::none) {
            CTileArea area;
            match.FillMoveArea(unit, area);
            std::set<std::pair<int, int>> tiles;
            for (int i = 0; i < area.GetCount(); ++i) {
                tiles.insert({area.GetX(i), area.GetY(i)});
            }
            ASSERT_EQ(static_cast<int>(tiles.size()), area.GetCount()) << "a tile twice";
            ASSERT_EQ(tiles, ReferenceMoveArea(match, unit)) << "unit " << unit;
        }
    }
    if (match.IsGameOver()) {
        ASSERT_TRUE(match.HasTeamLost(CMatch::OtherTeam(match.GetWinner())));
    }
}

// Applies a command and checks what follows: a shot's preview is its result; the turn passes
// exactly when ended or no unit is ready, taking back an unfinished move.
CApplyResult ApplyChecked(CMatch& match, const CCommand& command) {
    const int          team = match.GetCurrentTeam();
    const CShotPreview preview =
        command.kind == CCommand::fire ? match.PreviewShot(command.unit, command.x, command.y) : CShotPreview();
    std::vector<int> before;
    for (const CUnit& unit : match.GetUnits()) {
        before.push_back(unit.hitpoints);
    }
    const CApplyResult result = match.Apply(command);
    if (preview.kind == CShotPreview::attack) {
        EXPECT_EQ(match.GetUnit(preview.shooter)->hitpoints, preview.shooterHitpointsAfter);
        EXPECT_EQ(match.GetUnit(preview.target)->hitpoints, preview.targetHitpointsAfter);
    }
    const bool turnStarted = RulesBoard::Has(result, CMatchEvent::turnStarted);
    if (result.Accepted() && !match.IsGameOver() && command.kind != CCommand::endTurn) {
        EXPECT_EQ(turnStarted, match.CountReadyUnits(team) == 0 || match.GetCurrentTeam() != team) << command.ToText();
    }
    if (result.Accepted() && (command.kind == CCommand::move || command.kind == CCommand::undo)) {
        const CUnit& moved = *match.GetUnit(command.unit);
        const auto   there =
            command.kind == CCommand::move ? std::make_pair(command.x, command.y) : match.GetOrigin(command.unit);
        EXPECT_EQ(std::make_pair(moved.tileX, moved.tileY), there) << command.ToText();
        EXPECT_EQ(result.events.front().path.back(), there) << "the figure walks there";
    }
    EXPECT_TRUE(!result.Accepted() || command.kind != CCommand::finish || turnStarted ||
                match.GetUnit(command.unit)->done);
    for (int unit = 0; turnStarted && !match.IsGameOver() && unit < match.GetUnitCount(); ++unit) {
        const CUnit& state = *match.GetUnit(unit);
        EXPECT_EQ(std::make_pair(state.tileX, state.tileY), match.GetOrigin(unit)) << command.ToText();
        EXPECT_FALSE(state.team == match.GetCurrentTeam() && state.done) << "unit " << unit;
    }
    ExpectInvariants(match, before);
    return result;
}

// A command near where the team's units stand, valid or not.
CCommand RandomCommand(const CMatch& match, std::mt19937& random) {
    const int      unit  = static_cast<int>(random() % static_cast<unsigned>(match.GetUnitCount()));
    const CUnit&   state = *match.GetUnit(unit);
    const int      x     = state.tileX + static_cast<int>(random() % 13) - 6;
    const int      y     = state.tileY + static_cast<int>(random() % 13) - 6;
    const unsigned kind  = random() % 12; // end 1, finish 2, undo 1, fire 3, move 5 in 12
    return kind == 0   ? CCommand::EndTurn()
           : kind < 3  ? CCommand::Finish(unit)
           : kind == 3 ? CCommand::Undo(unit)
           : kind < 7  ? CCommand::Fire(unit, x, y)
                       : CCommand::Move(unit, x, y);
}

// The info log holds one block of nine lines per attack, between the teams.
void ExpectWellFormedTrace(const std::string& log, int attacks) {
    const std::string number = "[0-9]+\\.[0-9]{6}", hitpoint = "\\*\\*\\* unit ([0-9]+) has now (-?[0-9]+) hitpoints";
    std::vector<std::regex> block = {
        std::regex("\\*{13} unit ([0-9]+) \\(team ([12]), hitpoints ([0-9]+)\\) attacks ([0-9]+) \\(team ([12]), "
                   "hitpoints ([0-9]+)\\) \\*{11}"),
        std::regex("\\*\\* slope \\(attacker->defender\\): -?" + number + ", bonus attacker: " + number +
                   ", bonus defender: " + number)};
    for (const char* value : {"attacker attack", "defender attack", "attacker defend", "defender defend"}) {
        block.push_back(std::regex(std::string("\\*\\* ") + value + ": " + number));
    }
    block.insert(block.end(), {std::regex(hitpoint), std::regex(hitpoint), std::regex("")});
    std::istringstream text(log);
    std::string        lines[9];
    std::smatch        match[9];
    int                count = 0;
    for (; std::getline(text, lines[count % 9]); ++count) {
        const int i = count % 9;
        ASSERT_TRUE(std::regex_match(lines[i], match[i], block[i])) << lines[i];
        if (i == 8) {
            EXPECT_NE(match[0][2], match[0][5]) << "an attack is between the teams";
            EXPECT_EQ(match[6][1], match[0][1]);
            EXPECT_EQ(match[7][1], match[0][4]);
        }
    }
    EXPECT_EQ(count, 9 * attacks);
}

class WholeGame : public ::testing::TestWithParam<std::tuple<const char*, uint64_t>> {};

INSTANTIATE_TEST_SUITE_P(LevelsAndSeeds, WholeGame,
                         ::testing::Combine(::testing::Values("TestLevel", "Islands"), ::testing::Values(0u, 1u)));

TEST_P(WholeGame, TheBaselinePlayerPlaysTheShippedLevelToAWinner) {
    CShippedLevel           level(std::get<0>(GetParam()));
    std::unique_ptr<CMatch> match = level.NewMatch(std::get<1>(GetParam()), true);
    ASSERT_TRUE(match);
    ASSERT_GE(match->GetUnitCount(), 10);
    ASSERT_FALSE(match->Start().events.size()) << "both teams are complete";
    const CNearestAttackPlayer player;
    int                        attacks = 0;
    for (int commands = 0; commands < 5000 && !match->IsGameOver(); ++commands) {
        const CCommand     command = player.ChooseCommand(*match);
        const CApplyResult result  = ApplyChecked(*match, command);
        ASSERT_TRUE(result.Accepted()) << command.ToText() << ": " << RefusalText(result.refusal);
        attacks += command.kind == CCommand::fire && match->GetUnit(command.unit)->team != 0 &&
                   result.events.front().kind == CMatchEvent::attacked;
    }
    ASSERT_TRUE(match->IsGameOver());
    EXPECT_GT(attacks, 10);
    ExpectWellFormedTrace(ReadFile("log_info.txt"), attacks);
}

// Random commands, refused ones included, mixed with the baseline player's (so that games end): the
// invariants hold after each; a copy taken midway goes on alike. (The game log's test replays such games.)
TEST(WholeGames, SeededRandomCommandsKeepTheInvariantsAndACopyGoesOnAlike) {
    CShippedLevel level;
    int           accepted = 0, refused = 0, finished = 0;
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        std::unique_ptr<CMatch> match = level.NewMatch(seed);
        ASSERT_TRUE(match);
        match->Start();
        std::mt19937               random(seed);
        const CNearestAttackPlayer player;
        std::vector<CCommand>      commands;
        std::unique_ptr<CMatch>    copy;
        size_t                     copiedAt = 0;
        for (int step = 0; step < 3000 && !match->IsGameOver(); ++step) {
            const CCommand command = random() % 3 == 0 ? player.ChooseCommand(*match) : RandomCommand(*match, random);
            if (ApplyChecked(*match, command).Accepted()) {
                commands.push_back(command);
            } else {
                ++refused;
            }
            if (step == 1000) {
                copy     = std::make_unique<CMatch>(*match);
                copiedAt = commands.size();
            }
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
        accepted += static_cast<int>(commands.size());
        finished += match->IsGameOver();
        for (size_t i = copiedAt; copy && i < commands.size(); ++i) {
            ASSERT_TRUE(copy->Apply(commands[i]).Accepted());
        }
        EXPECT_EQ(copy ? copy->StateHash() : match->StateHash(), match->StateHash()) << "a copy goes on alike";
    }
    EXPECT_GT(accepted, 2000);
    EXPECT_GT(refused, 2000);
    EXPECT_GT(finished, 20);
}

// Computer against computer (the hard level against the baseline): every command accepted, the
// game ends; two new players with one seed give the same rest of a turn; a replay ends alike.
struct ComputerPairing {
    CComputerPlayer::Level red;
    CComputerPlayer::Level blue; // its level, or the baseline when red is hard
    uint64_t               seed;
};

class ComputerGame : public ::testing::TestWithParam<ComputerPairing> {};

INSTANTIATE_TEST_SUITE_P(
    Pairings, ComputerGame,
    ::testing::Values(ComputerPairing{CComputerPlayer::Level::normal, CComputerPlayer::Level::easy, 3},
                      ComputerPairing{CComputerPlayer::Level::hard, CComputerPlayer::Level::hard, 4}));

std::vector<CCommand> RestOfTurn(const CMatch& position, CComputerPlayer::Level level, uint64_t seed) {
    CMatch                match(position);
    CComputerPlayer       player(level, seed);
    std::vector<CCommand> commands;
    for (const int team = match.GetCurrentTeam(); !match.IsGameOver() && match.GetCurrentTeam() == team;) {
        commands.push_back(player.ChooseCommand(match));
        if (!match.Apply(commands.back()).Accepted()) {
            break;
        }
    }
    return commands;
}

uint64_t PlayComputerGame(const CShippedLevel& level, const ComputerPairing& pairing, bool sample) {
    std::unique_ptr<CMatch> match = level.NewMatch(pairing.seed);
    match->Start();
    CComputerPlayer      red(pairing.red, 1), blue(pairing.blue, 2);
    CNearestAttackPlayer baseline;
    const bool           againstBaseline = pairing.red == CComputerPlayer::Level::hard;
    for (int commands = 0; commands < 6000 && !match->IsGameOver(); ++commands) {
        if (sample && commands % 23 == 0) {
            const CComputerPlayer::Level level = match->GetCurrentTeam() == 1 ? pairing.red : pairing.blue;
            EXPECT_EQ(RestOfTurn(*match, level, 7), RestOfTurn(*match, level, 7)) << "at command " << commands;
        }
        const CCommand     command = match->GetCurrentTeam() == 1 ? red.ChooseCommand(*match)
                                     : againstBaseline            ? baseline.ChooseCommand(*match)
                                                                  : blue.ChooseCommand(*match);
        const CApplyResult result  = ApplyChecked(*match, command);
        EXPECT_TRUE(result.Accepted()) << command.ToText() << ": " << RefusalText(result.refusal);
        if (::testing::Test::HasFailure()) {
            return 0;
        }
    }
    EXPECT_TRUE(match->IsGameOver());
    return match->StateHash();
}

TEST_P(ComputerGame, PlaysToAWinnerTheSameWayTwice) {
    CShippedLevel  level;
    const uint64_t first = PlayComputerGame(level, GetParam(), true);
    EXPECT_EQ(first, PlayComputerGame(level, GetParam(), false));
}

// Positions with little to do: the computer never fires a shot that destroys only the shooter; its turn ends.
TEST(ComputerPlayer, EndsItsTurnInOddPositions) {
    using RulesBoard::Traits, RulesBoard::UnitTraits;
    const UnitTraits immobile = Traits([](UnitTraits& t) { t.movement = 0; });
    const UnitTraits weak     = Traits([](UnitTraits& t) { t.hitpoints = 60, t.movement = 0; });
    const UnitTraits strong   = Traits([](UnitTraits& t) { t.hitpoints = 5000; });
    const struct {
        const char* name;
        UnitTraits  own; // team 1's one fighting unit, at (4, 4)
        int         enemyX, enemyY;
        UnitTraits  enemy; // team 2's one fighting unit
    } positions[] = {
        {"no enemy in reach", UnitTraits(), 27, 27, UnitTraits()},
        {"a unit that cannot move", immobile, 27, 27, UnitTraits()},
        {"only a suicidal shot", weak, 5, 4, strong},
        {"an enemy at the headquarters", immobile, 3, 2, strong},
    };
    for (const auto& position : positions) {
        for (const auto level :
             {CComputerPlayer::Level::easy, CComputerPlayer::Level::normal, CComputerPlayer::Level::hard}) {
            RulesBoard::CBoard board;
            board.AddUnit(Traits([](UnitTraits& t) { t.hq = true; }), 1, 2, 2);
            board.AddUnit(position.own, 1, 4, 4);
            board.AddUnit(Traits([](UnitTraits& t) { t.hq = true; }), 2, 29, 29);
            board.AddUnit(position.enemy, 2, position.enemyX, position.enemyY);
            board.match->SetTraceExchanges(false);
            board.match->Start();
            CComputerPlayer player(level, 5);
            for (int commands = 0; commands < 40 && board.match->GetCurrentTeam() == 1; ++commands) {
                const CCommand     command = player.ChooseCommand(*board.match);
                const CShotPreview shot    = command.kind == CCommand::fire
                                                 ? board.match->PreviewShot(command.unit, command.x, command.y)
                                                 : CShotPreview();
                EXPECT_FALSE(level != CComputerPlayer::Level::easy && shot.kind == CShotPreview::attack &&
                             shot.shooterHitpointsAfter <= 0 && shot.targetHitpointsAfter > 0)
                    << position.name << ": " << command.ToText();
                ASSERT_TRUE(board.match->Apply(command).Accepted()) << position.name << ": " << command.ToText();
            }
            EXPECT_TRUE(board.match->GetCurrentTeam() == 2 || board.match->IsGameOver())
                << position.name << " at level " << CComputerPlayer::LevelName(level);
        }
    }
}

} // namespace
