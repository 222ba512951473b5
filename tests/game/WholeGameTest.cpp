#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "data/DataFiles.h"
#include "TestSupport.h"
#include "core/PropertyFile.h"
#include "game/GameRules.h"
#include "game/GridManager.h"
#include "core/Heightmap.h"
#include "game/Level.h"
#include "game/TerrainTypes.h"
#include "game/UnitManager.h"

namespace {

constexpr int board = CGridManager::gridSize;

// A shipped level's rules, built as the level builds them but without a
// GL context: heightmap, grid (with the sea's water height), terrain types,
// units without models, the rules. The working directory is a temporary
// folder that links the data folders the rules read, so the logs stay out
// of data/.
class CShippedLevel {
public:
    CShippedLevel(const std::string& name, int firstTeam) {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        for (const std::string& folder : {name, std::string("Terrain"), std::string("units"), std::string("sounds")}) {
            const std::string target = DataFiles::Folder() + "/" + folder;
            if (symlink(target.c_str(), folder.c_str()) != 0) {
                ADD_FAILURE() << "cannot link " << target;
            }
        }
        CPropertyFile params((name + "\\Terrain\\ter_params.ini").c_str());
        map  = std::make_unique<CHeightmap>((name + "\\Terrain\\ter_heightmap.bmp").c_str(),
                                           params.GetFloatProperty("maxwidth"), params.GetFloatProperty("maxheight"));
        grid = std::make_unique<CGridManager>((name + "\\Terrain\\terrain.xml").c_str(), map.get());
        grid->SetWaterHeight(map->GetHeightScale() * CLevel::waterLevel);
        types = std::make_unique<CTerrainTypes>("Terrain\\terraintypes.xml");
        units = std::make_unique<CUnitManager>(nullptr, map.get(), grid.get(), types.get());
        rules = std::make_unique<CGameRules>(*grid, *units, firstTeam);
    }

    CTempWorkDir                   folder;
    std::unique_ptr<CHeightmap>    map;
    std::unique_ptr<CGridManager>  grid;
    std::unique_ptr<CTerrainTypes> types;
    std::unique_ptr<CUnitManager>  units;
    std::unique_ptr<CGameRules>    rules;
};

// A simple, deterministic player: the first ready unit moves to the tile of
// its move area that is closest (over ground it may cross) to a tile from
// which it could fire at an enemy, then fires at the weakest enemy in range,
// or ends its action.
class CPolicy {
public:
    explicit CPolicy(CShippedLevel& levelValue) : level(levelValue) {}

    // The next command for the current state.
    CCommand Next() {
        const CGameRules& rules    = *level.rules;
        const Selection&  selected = rules.GetSelection();
        if (selected.selectedUnit == -1) {
            moved          = false;
            const int unit = FirstReadyUnit();
            if (unit == -1) {
                return {CommandKind::fireMode, 0, 0}; // nothing to do: end the turn
            }
            return {CommandKind::click, level.units->GetUnitByIndex(unit)->tileX,
                    level.units->GetUnitByIndex(unit)->tileY};
        }
        if (rules.GetUnitMode() == CGameRules::unitModeMove) {
            if (!moved) {
                moved = true;
                int x = selected.currentX, y = selected.currentY;
                BestTile(selected, x, y);
                if (x != selected.currentX || y != selected.currentY) {
                    return {CommandKind::click, x, y};
                }
            }
            return {CommandKind::fireMode, 0, 0};
        }
        int target = -1;
        for (int i = 0; i < selected.fireArea.GetCount(); ++i) {
            const int unit = level.grid->GetTile(selected.fireArea.GetX(i), selected.fireArea.GetY(i)).unit;
            if (unit != -1 && level.units->GetTeam(unit) != rules.GetCurrentTeam() &&
                (target == -1 || level.units->GetHitpoints(unit) < level.units->GetHitpoints(target))) {
                target = unit;
            }
        }
        if (target == -1) {
            return {CommandKind::click, selected.currentX, selected.currentY}; // ends the action
        }
        ++attacks;
        return {CommandKind::click, level.units->GetUnitByIndex(target)->tileX,
                level.units->GetUnitByIndex(target)->tileY};
    }

    int attacks = 0;

private:
    int FirstReadyUnit() const {
        for (int unit = 0; unit < level.units->GetCount(); ++unit) {
            if (level.units->GetTeam(unit) == level.rules->GetCurrentTeam() && !level.units->IsDone(unit) &&
                level.units->GetHitpoints(unit) > 0 && !level.units->IsHeadquarter(unit)) {
                return unit;
            }
        }
        return -1;
    }

    bool Crossable(int unit, int x, int y) const {
        const Tile& tile = level.grid->GetTile(x, y);
        return level.grid->IsTileUsable(x, y) && level.types->IsPassable(tile.terrainType) &&
               level.units->CanUseTerrain(unit, tile.terrainType) &&
               level.units->GetSlopeMax(unit) >= tile.slopeDegrees;
    }

    // Steps over crossable ground from every tile that has an enemy in range.
    void DistanceToFiringTiles(int unit, int distance[board][board]) const {
        std::deque<std::pair<int, int>> queue;
        const CUnit&                    self = *level.units->GetUnitByIndex(unit);
        for (int y = 0; y < board; ++y) {
            for (int x = 0; x < board; ++x) {
                distance[y][x] = INT_MAX;
                for (int other = 0; other < level.units->GetCount(); ++other) {
                    const CUnit& enemy = *level.units->GetUnitByIndex(other);
                    if (enemy.team != self.team && enemy.hitpoints > 0 && Crossable(unit, x, y) &&
                        CTileArea::IsInFireRing(x, y, self.fireMin, level.units->GetEffectiveFireMax(unit), enemy.tileX,
                                                enemy.tileY)) {
                        distance[y][x] = 0;
                        queue.push_back({x, y});
                        break;
                    }
                }
            }
        }
        while (!queue.empty()) {
            const auto [x, y] = queue.front();
            queue.pop_front();
            const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
            for (const auto& step : steps) {
                const int nx = x + step[0], ny = y + step[1];
                if (CGridManager::IsInside(nx, ny) && distance[ny][nx] == INT_MAX && Crossable(unit, nx, ny)) {
                    distance[ny][nx] = distance[y][x] + 1;
                    queue.push_back({nx, ny});
                }
            }
        }
    }

    void BestTile(const Selection& selected, int& bestX, int& bestY) const {
        int distance[board][board];
        DistanceToFiringTiles(selected.selectedUnit, distance);
        int best = distance[selected.currentY][selected.currentX];
        for (int i = 0; i < selected.moveArea.GetCount(); ++i) {
            const int x = selected.moveArea.GetX(i), y = selected.moveArea.GetY(i);
            if (distance[y][x] < best) {
                best  = distance[y][x];
                bestX = x;
                bestY = y;
            }
        }
    }

    CShippedLevel& level;
    bool           moved = false;
};

// The info log holds one block of nine lines per attack, between the teams.
void ExpectWellFormedTrace(const std::string& log, int attacks) {
    const std::string number   = "[0-9]+\\.[0-9]{6}";
    const std::string hitpoint = "\\*\\*\\* unit ([0-9]+) has now (-?[0-9]+) hitpoints";
    const std::regex  block[9] = {
         std::regex("\\*{13} unit ([0-9]+) \\(team ([12]), hitpoints ([0-9]+)\\) attacks ([0-9]+) \\(team ([12]), "
                     "hitpoints ([0-9]+)\\) \\*{11}"),
         std::regex("\\*\\* slope \\(attacker->defender\\): -?" + number + ", bonus attacker: " + number +
                    ", bonus defender: " + number),
         std::regex("\\*\\* attacker attack: " + number),
         std::regex("\\*\\* defender attack: " + number),
         std::regex("\\*\\* attacker defend: " + number),
         std::regex("\\*\\* defender defend: " + number),
         std::regex(hitpoint),
         std::regex(hitpoint),
         std::regex("")};
    std::vector<std::string> lines;
    std::istringstream       text(log);
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(static_cast<int>(lines.size()), 9 * attacks);
    for (size_t start = 0; start < lines.size(); start += 9) {
        std::smatch match[9];
        for (int i = 0; i < 9; ++i) {
            ASSERT_TRUE(std::regex_match(lines[start + i], match[i], block[i])) << lines[start + i];
        }
        EXPECT_NE(match[0][2], match[0][5]) << "an attack is between the teams";
        EXPECT_EQ(match[6][1], match[0][1]);
        EXPECT_EQ(match[7][1], match[0][4]);
        EXPECT_LE(std::stoi(match[7][2]), std::stoi(match[0][6]) - 50) << "the attacker always reaches the defender";
    }
}

// Each shipped level, each team starting.
class WholeGame : public ::testing::TestWithParam<std::tuple<const char*, int>> {};

INSTANTIATE_TEST_SUITE_P(LevelsAndStartingTeams, WholeGame,
                         ::testing::Combine(::testing::Values("TestLevel", "Islands"), ::testing::Values(1, 2)));

TEST_P(WholeGame, TheShippedLevelIsPlayedToAWinnerByCommandsAlone) {
    const std::string name = std::get<0>(GetParam());
    CShippedLevel     level(name, std::get<1>(GetParam()));
    ASSERT_TRUE(level.rules->LoadTeams(name));
    ASSERT_GE(level.units->GetCount(), 10);
    ASSERT_FALSE(level.rules->StartGame().gameOver) << "both teams are complete";

    CPolicy   policy(level);
    const int maxCommands        = 20000;
    const int maxTurnsWithoutHit = 60;
    int       turns = 0, turnsWithoutHit = 0, attacksBefore = 0;
    int       commands = 0;
    for (; commands < maxCommands && !level.rules->IsGameOver(); ++commands) {
        // Frames of 1/30 s until every unit stands still.
        for (int frame = 0; frame < 3000; ++frame) {
            level.rules->Update(1.0f / 30.0f);
            bool moving = false;
            for (int unit = 0; unit < level.units->GetCount(); ++unit) {
                moving |= level.units->IsMoving(unit);
            }
            if (!moving) {
                break;
            }
            ASSERT_LT(frame, 2999) << "a unit never arrives";
        }
        const CCommandOutcome outcome = level.rules->Apply(policy.Next());
        if (outcome.turnStarted) {
            ++turns;
            turnsWithoutHit = policy.attacks == attacksBefore ? turnsWithoutHit + 1 : 0;
            attacksBefore   = policy.attacks;
            ASSERT_LT(turnsWithoutHit, maxTurnsWithoutHit) << "the teams never meet: a dead end";
        }
        // Every unit the grid names stands where it says, and lives.
        for (int y = 0; y < board; ++y) {
            for (int x = 0; x < board; ++x) {
                const int unit = level.grid->GetTile(x, y).unit;
                if (unit != -1) {
                    ASSERT_GT(level.units->GetHitpoints(unit), 0) << x << "," << y;
                }
            }
        }
    }
    ASSERT_TRUE(level.rules->IsGameOver()) << commands << " commands, " << turns << " turns";
    const int winner = level.rules->GetCurrentTeam();
    EXPECT_TRUE(level.units->HasTeamLost(CGameRules::OtherTeam(winner)));
    EXPECT_FALSE(level.units->HasTeamLost(winner));
    EXPECT_GT(policy.attacks, 10);
    ExpectWellFormedTrace(ReadFile("log_info.txt"), policy.attacks);
    std::printf("team %d won after %d turns, %d attacks, %d commands\n", winner, turns, policy.attacks, commands);
}

} // namespace
