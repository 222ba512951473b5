#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "DataFiles.h"
#include "core/XmlFile.h"
#include "core/Heightmap.h"
#include "rules/Combat.h"
#include "tools/TileMetrics.h"

// The shipped content read the way the game reads it: every file that a
// data file names exists, units stand where the rules let them stand, both
// teams can reach each other, and every interface and particle file has
// every key its loader requires.
namespace {

using DataFiles::Text;

constexpr int tiles        = 32;
constexpr int waterLevel   = 45; // samples; the sea's water level
constexpr int cliffDegrees = 50; // no usable tile is steeper than this

struct Unit {
    std::string      file;
    int              team = 0, x = 0, y = 0, lookX = 0, lookY = 0;
    int              fireMin = 0, fireMax = 0, slopeMax = 0, movement = 0, defense = 0, attack = 0, hitpoints = 0;
    int              bonusAttack = 0, bonusDefense = 0, bonusMovement = 0, bonusFirerange = 0;
    bool             general = false, headquarters = false;
    std::vector<int> notUsable;
    std::string      model, effects[5], sounds[3];
};

bool ReadUnitFile(Unit& unit) {
    CXmlFile file;
    if (!DataFiles::OpenXml(file, "units\\" + unit.file)) {
        return false;
    }
    int general = 0, headquarters = 0;
    unit.model                = Text(file, "filename");
    const char* effectKeys[5] = {"effectWheels", "effectSmoke", "effectFire", "effectAttack", "effectExplosion"};
    const char* soundKeys[3]  = {"soundMove", "soundAttack", "soundExplosion"};
    for (int i = 0; i < 5; ++i) {
        unit.effects[i] = Text(file, effectKeys[i]);
    }
    for (int i = 0; i < 3; ++i) {
        unit.sounds[i] = Text(file, soundKeys[i]);
    }
    bool ok = file.ReadInt("fireMin", unit.fireMin) && file.ReadInt("fireMax", unit.fireMax) &&
              file.ReadInt("slopeMax", unit.slopeMax) && file.ReadInt("movement", unit.movement) &&
              file.ReadInt("defense", unit.defense) && file.ReadInt("isGeneral", general) &&
              file.ReadInt("isHeadquarter", headquarters) && file.ReadInt("attack", unit.attack) &&
              file.ReadInt("hitpoints", unit.hitpoints) && file.ReadInt("bonusAttack", unit.bonusAttack) &&
              file.ReadInt("bonusDefense", unit.bonusDefense) && file.ReadInt("bonusMovement", unit.bonusMovement) &&
              file.ReadInt("bonusFirerange", unit.bonusFirerange);
    unit.general      = general != 0;
    unit.headquarters = headquarters != 0;
    if (file.EnterElement("notusable")) {
        for (int n = 0; file.EnterSubElement(n); ++n) {
            int terrainId = -1;
            ok            = file.ReadInt("terrainid", terrainId) && ok;
            unit.notUsable.push_back(terrainId);
            file.LeaveSubElement();
        }
        file.LeaveElement();
    }
    return ok;
}

// Both teams with their unit files, in file order.
std::vector<Unit> LoadTeams(const std::string& levelName) {
    std::vector<Unit> units;
    for (int team = 1; team <= 2; ++team) {
        CXmlFile file;
        if (!DataFiles::OpenXml(file, levelName + "\\team" + std::to_string(team) + ".xml") ||
            !file.EnterElement("units")) {
            continue;
        }
        for (int n = 0; file.EnterSubElement(n); ++n) {
            Unit unit;
            unit.team = team;
            unit.file = Text(file, "filename");
            if (!file.ReadInt("positionX", unit.x) || !file.ReadInt("positionY", unit.y) ||
                !file.ReadInt("lookX", unit.lookX) || !file.ReadInt("lookY", unit.lookY)) {
                break;
            }
            ReadUnitFile(unit);
            units.push_back(unit);
            file.LeaveSubElement();
        }
    }
    return units;
}

CHeightmap ShippedHeightmap(const std::string& levelName) {
    const DataFiles::CInDataFolder inData;
    return CHeightmap((levelName + "\\Terrain\\ter_heightmap.bmp").c_str(), 2048.0f, 400.0f);
}

struct Level {
    CHeightmap       heightmap;
    std::vector<int> terrain, usable;
    int              terrainTypes = 0;

    explicit Level(const std::string& levelName) : heightmap(ShippedHeightmap(levelName)) {
        CXmlFile file;
        if (DataFiles::OpenXml(file, levelName + "\\Terrain\\terrain.xml") && file.EnterElement("tiles")) {
            for (int n = 0; n < tiles * tiles && file.EnterSubElement(n); ++n) {
                int type = -1, flag = 0;
                if (!file.ReadInt("terrainID", type) || !file.ReadInt("usable", flag)) {
                    break;
                }
                terrain.push_back(type);
                usable.push_back(flag);
                file.LeaveSubElement();
            }
        }
        CXmlFile types;
        if (DataFiles::OpenXml(types, "Terrain\\terraintypes.xml") && types.EnterElement("terraintypes")) {
            float value = 0;
            while (types.EnterSubElement(terrainTypes) && types.ReadFloat("defense", value) &&
                   types.ReadFloat("movement", value)) {
                types.LeaveSubElement();
                ++terrainTypes;
            }
        }
    }

    bool Complete() const { return terrain.size() == tiles * tiles && !heightmap.IsEmpty(); }
    int  Terrain(int x, int y) const { return terrain[y * tiles + x]; }
    bool AboveWater(int x, int y) const { return TileMetrics::CentreSample(heightmap, x, y) > waterLevel; }
    int  Slope(int x, int y) const { return TileMetrics::SlopeDegrees(heightmap, x, y); }

    // The rules' passability for a unit: usable, above the water, a terrain
    // type it may enter and not steeper than it can climb.
    bool Passable(const Unit& unit, int x, int y) const {
        const int type = Terrain(x, y);
        return usable[y * tiles + x] != 0 && AboveWater(x, y) && type >= 0 && type < terrainTypes &&
               std::find(unit.notUsable.begin(), unit.notUsable.end(), type) == unit.notUsable.end() &&
               Slope(x, y) <= unit.slopeMax;
    }
};

// Each shipped level, loaded once.
class ContentTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(TheLevel().Complete())
            << "heightmap or terrain.xml of " << GetParam() << " missing or short in " << DataFiles::Folder();
        units = LoadTeams(GetParam());
        ASSERT_FALSE(units.empty()) << "no units in the team files";
    }
    const Level& TheLevel() const {
        static std::map<std::string, std::unique_ptr<Level>> levels;
        std::unique_ptr<Level>&                              level = levels[GetParam()];
        if (!level) {
            level = std::make_unique<Level>(GetParam());
        }
        return *level;
    }

    std::vector<Unit> units;
};

INSTANTIATE_TEST_SUITE_P(ShippedLevels, ContentTest, ::testing::Values("TestLevel", "Islands"));

TEST_P(ContentTest, EveryUnitStandsOnATileItMayEnter) {
    const Level&                  level = TheLevel();
    std::set<std::pair<int, int>> taken;
    for (const Unit& unit : units) {
        SCOPED_TRACE("team " + std::to_string(unit.team) + " " + unit.file + " at " + std::to_string(unit.x) + "," +
                     std::to_string(unit.y));
        ASSERT_TRUE(unit.x >= 0 && unit.x < tiles && unit.y >= 0 && unit.y < tiles);
        EXPECT_TRUE(level.usable[unit.y * tiles + unit.x] != 0) << "tile not usable";
        EXPECT_TRUE(level.AboveWater(unit.x, unit.y)) << "tile at or below the water height";
        EXPECT_TRUE(level.Passable(unit, unit.x, unit.y))
            << "terrain type " << level.Terrain(unit.x, unit.y) << " or slope " << level.Slope(unit.x, unit.y)
            << " forbidden to the unit";
        EXPECT_TRUE(taken.insert({unit.x, unit.y}).second) << "two units share the tile";
        // Team 1 starts in the north (small rows) and looks south, team 2 the other way.
        EXPECT_EQ(unit.lookY, unit.team == 1 ? 1 : -1) << "not facing the enemy";
    }
}

TEST_P(ContentTest, TeamsAreMirroredThroughTheCentre) {
    std::vector<const Unit*> first, second;
    for (const Unit& unit : units) {
        (unit.team == 1 ? first : second).push_back(&unit);
    }
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i]->file, second[i]->file);
        EXPECT_EQ(second[i]->x, tiles - 1 - first[i]->x) << first[i]->file;
        EXPECT_EQ(second[i]->y, tiles - 1 - first[i]->y) << first[i]->file;
    }
    const Level& level = TheLevel();
    for (int y = 0; y < tiles; ++y) {
        for (int x = 0; x < tiles; ++x) {
            ASSERT_EQ(level.Terrain(x, y), level.Terrain(tiles - 1 - x, tiles - 1 - y)) << "tile " << x << "," << y;
            ASSERT_EQ(level.Slope(x, y), level.Slope(tiles - 1 - x, tiles - 1 - y)) << "tile " << x << "," << y;
        }
    }
}

TEST_P(ContentTest, EachTeamHasHeadquartersGeneralAndThreeFightingKinds) {
    for (int team = 1; team <= 2; ++team) {
        int                   headquarters = 0, generals = 0, fighters = 0;
        std::set<std::string> kinds;
        std::set<int>         movements, ranges, armours, slopes;
        for (const Unit& unit : units) {
            if (unit.team != team) {
                continue;
            }
            headquarters += unit.headquarters ? 1 : 0;
            generals += unit.general ? 1 : 0;
            if (!unit.headquarters && !unit.general) {
                ++fighters;
                kinds.insert(unit.file);
                movements.insert(unit.movement);
                ranges.insert(unit.fireMax);
                armours.insert(unit.defense);
                slopes.insert(unit.slopeMax);
            }
            EXPECT_LE(unit.fireMin, unit.fireMax) << unit.file;
        }
        EXPECT_EQ(headquarters, 1) << "team " << team;
        EXPECT_EQ(generals, 1) << "team " << team;
        EXPECT_GE(fighters, 5) << "team " << team;
        EXPECT_GE(kinds.size(), 3u) << "team " << team;
        // The kinds differ in what matters on this map.
        EXPECT_GE(movements.size(), 3u);
        EXPECT_GE(ranges.size(), 3u);
        EXPECT_GE(armours.size(), 3u);
        EXPECT_GE(slopes.size(), 3u);
    }
}

// `unit` (with its bonus values when boosted) fires at `enemy` on open
// level ground, both at full strength and in range.
CombatExchange Fire(const Unit& unit, const Unit& enemy, bool boosted, const FightParams& fight) {
    const int b = boosted ? 1 : 0;
    return Combat::ResolveExchange(
        {unit.attack + b * unit.bonusAttack, unit.defense + b * unit.bonusDefense, unit.hitpoints, 0.0f, 0.0f, true},
        {enemy.attack, enemy.defense, enemy.hitpoints, 0.0f, 0.0f, true}, 64.0f, fight);
}

// The boost costs the general's action, so against some enemy kind the
// boosted unit's margin (dealt minus taken) must gain more than the
// general's own shot would deal.
TEST_P(ContentTest, AGeneralsBoostIsWorthItsAction) {
    FightParams fight;
    CXmlFile    file;
    ASSERT_TRUE(DataFiles::OpenXml(file, std::string(GetParam()) + "\\fight.xml") &&
                file.ReadFloat("attackBonus", fight.attackBonus) && file.ReadFloat("maxAttack", fight.maxAttack) &&
                file.ReadFloat("maxDefense", fight.maxDefense));
    const Unit& general = *std::find_if(units.begin(), units.end(), [](const Unit& unit) { return unit.general; });
    for (const Unit& unit : units) {
        int best = INT_MIN;
        for (const Unit& enemy : units) {
            if (!unit.general && unit.team == general.team && enemy.team != unit.team && !enemy.headquarters) {
                const CombatExchange with = Fire(unit, enemy, true, fight), without = Fire(unit, enemy, false, fight);
                best =
                    std::max(best, with.damageToDefender - with.damageToAttacker - without.damageToDefender +
                                       without.damageToAttacker - Fire(general, enemy, false, fight).damageToDefender);
            }
        }
        EXPECT_TRUE(best == INT_MIN || best > 0) << unit.file << ": a boost gains " << best << " less than nothing";
    }
}

// Breadth-first search over edge neighbours and passable tiles (other units
// block), from the unit's tile to any tile from which an enemy is within its
// fire ring. Turns do not matter: only whether the meeting is possible.
bool CanReachFireRange(const Level& level, const std::vector<Unit>& units, const Unit& unit) {
    std::set<std::pair<int, int>> blocked;
    for (const Unit& other : units) {
        if (&other != &unit) {
            blocked.insert({other.x, other.y});
        }
    }
    std::vector<bool>               seen(tiles * tiles, false);
    std::deque<std::pair<int, int>> queue = {{unit.x, unit.y}};
    seen[unit.y * tiles + unit.x]         = true;
    const int steps[4][2]                 = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        for (const Unit& enemy : units) {
            const int distance = std::abs(enemy.x - x) + std::abs(enemy.y - y);
            if (enemy.team != unit.team && distance >= std::max(unit.fireMin, 1) && distance <= unit.fireMax) {
                return true;
            }
        }
        for (const auto& step : steps) {
            const int nx = x + step[0], ny = y + step[1];
            if (nx < 0 || ny < 0 || nx >= tiles || ny >= tiles || seen[ny * tiles + nx] ||
                blocked.count({nx, ny}) != 0 || !level.Passable(unit, nx, ny)) {
                continue;
            }
            seen[ny * tiles + nx] = true;
            queue.push_back({nx, ny});
        }
    }
    return false;
}

TEST_P(ContentTest, EveryFightingUnitCanGetAnEnemyIntoItsFireRange) {
    int reaching[3] = {0, 0, 0};
    for (const Unit& unit : units) {
        if (unit.headquarters) {
            continue;
        }
        const bool reaches = CanReachFireRange(TheLevel(), units, unit);
        EXPECT_TRUE(reaches) << "team " << unit.team << " " << unit.file << " at " << unit.x << "," << unit.y
                             << " cannot reach any enemy";
        reaching[unit.team] += reaches ? 1 : 0;
    }
    EXPECT_GE(reaching[1], 1);
    EXPECT_GE(reaching[2], 1);
}

TEST_P(ContentTest, TileFileAgreesWithTheHeightmap) {
    const Level& level = TheLevel();
    ASSERT_GE(level.terrainTypes, 6) << "grass, forest, rough, sand, road and water at least";
    std::set<int> used;
    int           waterTiles = 0, steepTiles = 0;
    for (int y = 0; y < tiles; ++y) {
        for (int x = 0; x < tiles; ++x) {
            SCOPED_TRACE("tile " + std::to_string(x) + "," + std::to_string(y));
            const int type = level.Terrain(x, y);
            ASSERT_TRUE(type >= 0 && type < level.terrainTypes) << "terrainID " << type;
            used.insert(type);
            if (!level.AboveWater(x, y)) {
                ++waterTiles;
                EXPECT_EQ(level.usable[y * tiles + x], 0) << "water tile marked usable";
            }
            if (level.Slope(x, y) >= cliffDegrees) {
                ++steepTiles;
                EXPECT_EQ(level.usable[y * tiles + x], 0)
                    << "cliff of " << level.Slope(x, y) << " degrees marked usable";
            }
        }
    }
    EXPECT_GE(used.size(), 6u) << "the map uses too few terrain types";
    EXPECT_GT(waterTiles, 40) << "no river or lake below the water height";
    EXPECT_GT(steepTiles, 0) << "no cliffs";
}

// Trees stand on forest or open grass, houses on open ground, rocks on rough
// ground; none on a tile where a unit starts.
TEST_P(ContentTest, PlacedObjectsFitTheTerrainUnderThem) {
    const std::map<std::string, std::set<int>> allowed = {
        {"pine.3ds", {0, 1}}, {"oak.3ds", {0, 1}}, {"house.3ds", {0}}, {"rock.3ds", {2, 6}}};
    std::set<std::pair<int, int>> unitTiles;
    for (const Unit& unit : units) {
        unitTiles.insert({unit.x, unit.y});
    }
    CXmlFile file;
    ASSERT_TRUE(DataFiles::OpenXml(file, std::string(GetParam()) + "\\objects.xml") && file.EnterElement("objects"));
    int count = 0;
    for (; file.EnterSubElement(count); ++count) {
        const std::string name = Text(file, "filename");
        float             x = -1, z = -1, rotation = 0, scale = 0;
        ASSERT_TRUE(file.ReadFloat("positionX", x) && file.ReadFloat("positionY", z) &&
                    file.ReadFloat("rotation", rotation) && file.ReadFloat("scale", scale))
            << "object " << count;
        const int tileX = static_cast<int>(x / 64.0f), tileY = static_cast<int>(z / 64.0f);
        ASSERT_TRUE(tileX >= 0 && tileX < tiles && tileY >= 0 && tileY < tiles) << name << " outside the map";
        ASSERT_EQ(allowed.count(name), 1u) << "unexpected object model " << name;
        EXPECT_EQ(allowed.at(name).count(TheLevel().Terrain(tileX, tileY)), 1u)
            << name << " on terrain type " << TheLevel().Terrain(tileX, tileY) << " at tile " << tileX << "," << tileY;
        EXPECT_EQ(unitTiles.count({tileX, tileY}), 0u) << name << " on a unit's start tile";
        EXPECT_GT(scale, 0.0f);
        file.LeaveSubElement();
    }
    EXPECT_GT(count, 50) << "too few objects to make a landscape";
}

} // namespace
