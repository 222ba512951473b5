#include "tools/LevelGenerator.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "core/XmlFile.h"
#include "core/Heightmap.h"
#include "tools/LevelLayout.h"
#include "tools/Noise.h"
#include "tools/Random.h"
#include "tools/TileMetrics.h"

namespace LevelGenerator {

using namespace LevelLayout;

namespace {

bool InArea(const Area& area, int x, int y) {
    return x >= area.x0 && x <= area.x1 && y >= area.y0 && y <= area.y1;
}

bool IsForest(const Design& design, int x, int y) {
    const Point mirrored = Mirror({x, y});
    for (const Area& area : design.forests()) {
        if (InArea(area, x, y) || InArea(area, mirrored.x, mirrored.y)) {
            return true;
        }
    }
    return false;
}

// Tiles of a polyline, stepping one edge neighbour at a time.
void RasteriseRoad(const std::vector<Point>& points, std::set<std::pair<int, int>>& tiles) {
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        Point       at = points[i];
        const Point to = points[i + 1];
        tiles.insert({at.x, at.y});
        while (at.x != to.x || at.y != to.y) {
            const int dx = to.x - at.x, dy = to.y - at.y;
            if (std::abs(dx) >= std::abs(dy)) {
                at.x += dx > 0 ? 1 : -1;
            } else {
                at.y += dy > 0 ? 1 : -1;
            }
            tiles.insert({at.x, at.y});
        }
    }
}

std::set<std::pair<int, int>> RoadTiles(const Design& design) {
    std::set<std::pair<int, int>> tiles;
    for (const std::vector<Point>& road : design.roads()) {
        RasteriseRoad(road, tiles);
    }
    std::set<std::pair<int, int>> both = tiles;
    for (const auto& tile : tiles) {
        const Point mirrored = Mirror({tile.first, tile.second});
        both.insert({mirrored.x, mirrored.y});
    }
    return both;
}

bool IsWaterSample(int sample) {
    return sample <= waterLevel + shoreMargin;
}

bool TouchesWater(const CHeightmap& heightmap, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx >= 0 && ny >= 0 && nx < tilesPerSide && ny < tilesPerSide &&
                IsWaterSample(TileMetrics::CentreSample(heightmap, nx, ny))) {
                return true;
            }
        }
    }
    return false;
}

int ClassifyTile(const Design& design, const CHeightmap& heightmap, const std::set<std::pair<int, int>>& roads, int x,
                 int y) {
    const int slope = TileMetrics::SlopeDegrees(heightmap, x, y);
    if (IsWaterSample(TileMetrics::CentreSample(heightmap, x, y))) {
        return water;
    }
    if (slope >= cliffSlope) {
        return rock;
    }
    if (roads.count({x, y}) != 0) {
        return road;
    }
    if (TouchesWater(heightmap, x, y)) {
        return sand;
    }
    if (IsForest(design, x, y)) {
        return forest;
    }
    return slope >= roughSlope ? rough : grass;
}

bool IsUnitStart(const Design& design, int x, int y) {
    for (const UnitStart& start : design.roster()) {
        const Point mirrored = Mirror(start.tile);
        if ((start.tile.x == x && start.tile.y == y) || (mirrored.x == x && mirrored.y == y)) {
            return true;
        }
    }
    return false;
}

struct PlacedObject {
    std::string fileName;
    float       x, z, rotation, scale;
};

void PlaceInTile(CRandom& random, int x, int y, const char* const* models, int modelCount, int count, double scaleLow,
                 double scaleHigh, std::vector<PlacedObject>& placed) {
    const double tileSize = maxWidth / tilesPerSide;
    for (int i = 0; i < count; ++i) {
        PlacedObject object;
        object.fileName = models[random.Below(modelCount)];
        object.x        = static_cast<float>((x + random.Range(0.18, 0.82)) * tileSize);
        object.z        = static_cast<float>((y + random.Range(0.18, 0.82)) * tileSize);
        // The objects file's rotation turns about the world z axis, which in
        // the y-up world tips a model over; objects stand upright at 0.
        random.Next();
        object.rotation = 0.0f;
        object.scale    = static_cast<float>(random.Range(scaleLow, scaleHigh));
        placed.push_back(object);
    }
}

bool NextToRoad(const std::vector<TileInfo>& tiles, int x, int y) {
    const int offsets[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& offset : offsets) {
        const int nx = x + offset[0], ny = y + offset[1];
        if (nx >= 0 && ny >= 0 && nx < tilesPerSide && ny < tilesPerSide &&
            tiles[ny * tilesPerSide + nx].terrainId == road) {
            return true;
        }
    }
    return false;
}

std::vector<PlacedObject> PlaceObjects(const Design& design, const std::vector<TileInfo>& tiles) {
    static const char* const  trees[]  = {"pine.3ds", "oak.3ds"};
    static const char* const  houses[] = {"house.3ds"};
    static const char* const  rocks[]  = {"rock.3ds"};
    CRandom                   random(design.objectSeed);
    std::vector<PlacedObject> placed;
    for (int y = 0; y < tilesPerSide; ++y) {
        for (int x = 0; x < tilesPerSide; ++x) {
            const int terrain = tiles[y * tilesPerSide + x].terrainId;
            const int roll    = random.Below(100);
            if (IsUnitStart(design, x, y)) {
                continue;
            }
            if (terrain == forest) {
                PlaceInTile(random, x, y, trees, 2, 2 + random.Below(2), 1.6, 2.4, placed);
            } else if (terrain == grass && NextToRoad(tiles, x, y) && roll < 22) {
                PlaceInTile(random, x, y, houses, 1, 1, 2.2, 2.6, placed);
            } else if ((terrain == rough || terrain == rock) && roll < 45) {
                PlaceInTile(random, x, y, rocks, 1, 1 + random.Below(2), 1.5, 3.0, placed);
            } else if (terrain == grass && roll < 6) {
                PlaceInTile(random, x, y, trees, 2, 1, 1.6, 2.2, placed);
            }
        }
    }
    return placed;
}

} // namespace

std::vector<int> BuildHeightSamples(const Design& design) {
    const int        samplesPerSide = design.samplesPerSide;
    const double     samplesPerTile = design.SamplesPerTile();
    const CNoise     noise(design.terrainSeed);
    std::vector<int> samples(static_cast<size_t>(samplesPerSide) * samplesPerSide);
    for (int row = 0; row < samplesPerSide; ++row) {
        for (int column = 0; column < samplesPerSide; ++column) {
            const double u      = static_cast<double>(column) / samplesPerTile;
            const double v      = static_cast<double>(row) / samplesPerTile;
            const double height = design.sampleHeight(noise, u, v);
            samples[static_cast<size_t>(row) * samplesPerSide + column] =
                std::clamp(static_cast<int>(std::lround(height)), 0, 255);
        }
    }
    // Rounding may break the exact point symmetry by one unit; copy the
    // southern half from the northern one.
    for (int row = 0; row < samplesPerSide; ++row) {
        for (int column = 0; column < samplesPerSide; ++column) {
            const int mirrorRow = samplesPerSide - 1 - row, mirrorColumn = samplesPerSide - 1 - column;
            if (row > mirrorRow || (row == mirrorRow && column > mirrorColumn)) {
                samples[static_cast<size_t>(row) * samplesPerSide + column] =
                    samples[static_cast<size_t>(mirrorRow) * samplesPerSide + mirrorColumn];
            }
        }
    }
    return samples;
}

std::vector<TileInfo> ClassifyTiles(const Design& design, const CHeightmap& heightmap) {
    const std::set<std::pair<int, int>> roads = RoadTiles(design);
    std::vector<TileInfo>               tiles(tilesPerSide * tilesPerSide);
    for (int y = 0; y < tilesPerSide; ++y) {
        for (int x = 0; x < tilesPerSide; ++x) {
            TileInfo& tile = tiles[y * tilesPerSide + x];
            tile.terrainId = ClassifyTile(design, heightmap, roads, x, y);
            tile.usable    = tile.terrainId != water && tile.terrainId != rock;
        }
    }
    return tiles;
}

bool WriteTerrainFile(CXmlFile& file, const std::vector<TileInfo>& tiles) {
    bool ok = file.BeginWriteElement("tiles");
    for (size_t n = 0; n < tiles.size(); ++n) {
        ok = ok && file.BeginWriteSubElement(static_cast<int>(n));
        ok = ok && file.WriteInt("usable", tiles[n].usable ? 1 : 0);
        ok = ok && file.WriteInt("terrainID", tiles[n].terrainId);
        ok = ok && file.EndWriteSubElement();
    }
    return ok && file.EndWriteElement();
}

std::vector<TileInfo> ReadTerrainFile(const std::string& path) {
    std::vector<TileInfo> tiles(tilesPerSide * tilesPerSide);
    CXmlFile              file;
    if (!file.Open(path.c_str(), 0) || !file.EnterElement("tiles")) {
        return tiles;
    }
    for (int n = 0; n < tilesPerSide * tilesPerSide && file.EnterSubElement(n); ++n) {
        int usable = 0, terrainId = 0;
        if (!file.ReadInt("usable", usable) || !file.ReadInt("terrainID", terrainId)) {
            break;
        }
        tiles[n].usable    = usable != 0;
        tiles[n].terrainId = terrainId;
        file.LeaveSubElement();
    }
    return tiles;
}

bool WriteTeamFile(const Design& design, CXmlFile& file, int team) {
    const int lookY = team == 1 ? 1 : -1;
    bool      ok    = file.WriteString("effectSpecial", team == 1 ? "special_team1.xml" : "special_team2.xml");
    ok              = ok && file.BeginWriteElement("units");
    int n           = 0;
    for (const UnitStart& start : design.roster()) {
        const Point tile = team == 1 ? start.tile : Mirror(start.tile);
        ok               = ok && file.BeginWriteSubElement(n++);
        ok               = ok && file.WriteString("filename", start.fileName.c_str());
        ok               = ok && file.WriteInt("positionX", tile.x);
        ok               = ok && file.WriteInt("positionY", tile.y);
        ok               = ok && file.WriteInt("lookX", 0);
        ok               = ok && file.WriteInt("lookY", lookY);
        ok               = ok && file.EndWriteSubElement();
    }
    return ok && file.EndWriteElement();
}

bool WriteObjectsFile(const Design& design, CXmlFile& file, const std::vector<TileInfo>& tiles) {
    bool ok = file.BeginWriteElement("objects");
    int  n  = 0;
    for (const PlacedObject& object : PlaceObjects(design, tiles)) {
        ok = ok && file.BeginWriteSubElement(n++);
        ok = ok && file.WriteString("filename", object.fileName.c_str());
        ok = ok && file.WriteFloat("positionX", object.x);
        ok = ok && file.WriteFloat("positionY", object.z);
        ok = ok && file.WriteFloat("rotation", object.rotation);
        ok = ok && file.WriteFloat("scale", object.scale);
        ok = ok && file.EndWriteSubElement();
    }
    return ok && file.EndWriteElement();
}

} // namespace LevelGenerator
