#include "rules/GridManager.h"

#include <algorithm>
#include <cmath>

#include "core/Logger.h"
#include "core/XmlFile.h"
#include "core/Heightmap.h"

namespace {

const CBoardTile outsideTile{};

// 90 / 255 as a float: a slope of 255 is 90 degrees.
constexpr float degreesPerSlopeUnit = 0.3529412f;

} // namespace

CGridManager::CGridManager(const char* path, const CHeightmap* heightmapPointer) {
    Init(heightmapPointer, path);
}

void CGridManager::Init(const CHeightmap* heightmapPointer, const char* path) {
    heightmap = heightmapPointer;
    fileName  = path != nullptr ? path : "";
    if (heightmap == nullptr) {
        GetLogger()->LogError("CGridManager: Pointer to Heightmap is NULL");
    }
    LoadTiles();
    CalcSlopes();
    CalcHeights();
}

void CGridManager::LoadTiles() {
    CXmlFile xml;
    if (!xml.Open(fileName.c_str(), CXmlFile::modeReading)) {
        GetLogger()->LogError("CGridManager::LoadTiles: Couldn't load tile file %s", fileName.c_str());
        return;
    }
    int number = 0;
    if (xml.EnterElement("tiles")) {
        for (; xml.EnterSubElement(number); ++number) {
            int        usable      = 0;
            int        terrainType = -1;
            const bool complete    = xml.ReadInt("usable", usable) && xml.ReadInt("terrainID", terrainType);
            xml.LeaveSubElement();
            if (!complete) {
                break;
            }
            if (number < tileCount) {
                CBoardTile& tile = tiles[number];
                tile.terrainType = terrainType;
                tile.usable      = usable != 0;
            }
        }
        xml.LeaveElement();
    }
    xml.Close();
    if (number < tileCount) {
        GetLogger()->LogError("CGridManager::LoadTiles: %s sets %d of the %d tiles (a cut file?); the rest cannot be "
                              "entered",
                              fileName.c_str(), number, tileCount);
    }
}

int CGridManager::StepsPerTile() const {
    return (heightmap->GetWidth() - 1) / gridSize;
}

void CGridManager::CalcSlopes() {
    if (heightmap == nullptr || heightmap->IsEmpty()) {
        return;
    }
    const int steps   = StepsPerTile();
    const int samples = heightmap->GetWidth();
    for (int y = 0; y < gridSize; ++y) {
        for (int x = 0; x < gridSize; ++x) {
            float sum = 0.0f;
            for (int row = y * steps; row <= y * steps + steps; ++row) {
                for (int column = x * steps; column <= x * steps + steps; ++column) {
                    if (column >= samples || row >= samples) {
                        GetLogger()->LogError("CalcSlopes: invalid position x: %d y: %d", column, row);
                        continue;
                    }
                    sum += std::fabs(heightmap->SlopeAt(column, row));
                }
            }
            CBoardTile& tile  = tiles[y * gridSize + x];
            tile.slope        = sum / static_cast<float>((steps + 1) * (steps + 1));
            tile.slopeDegrees = static_cast<int>(std::floor(tile.slope * degreesPerSlopeUnit + 0.5f));
        }
    }
}

void CGridManager::CalcHeights() {
    if (heightmap == nullptr || heightmap->IsEmpty()) {
        return;
    }
    const int steps = StepsPerTile();
    for (int y = 0; y < gridSize; ++y) {
        for (int x = 0; x < gridSize; ++x) {
            // The sample at the tile centre; GetSample clamps to the map.
            const int row    = (2 * y + 1) * steps / 2;
            const int column = (2 * x + 1) * steps / 2;
            tiles[y * gridSize + x].height =
                heightmap->GetHeightScale() * static_cast<float>(heightmap->GetSample(column, row));
        }
    }
}

bool CGridManager::SaveTiles() const {
    CXmlFile xml;
    if (!xml.Open(fileName.c_str(), CXmlFile::modeWriting)) {
        return false;
    }
    xml.BeginWriteElement("tiles");
    for (int number = 0; number < tileCount; ++number) {
        xml.BeginWriteSubElement(number);
        xml.WriteInt("usable", IsTileUsable(number % gridSize, number / gridSize) ? 1 : 0);
        xml.WriteInt("terrainID", tiles[number].terrainType);
        xml.EndWriteSubElement();
    }
    const bool ended = xml.EndWriteElement();
    // The old file is replaced only when every byte of the new one is on disk.
    return xml.Close() && ended;
}

const CBoardTile& CGridManager::GetTile(int x, int y) const {
    return IsInside(x, y) ? tiles[y * gridSize + x] : outsideTile;
}

CBoardTile* CGridManager::MutableTile(int x, int y) {
    return IsInside(x, y) ? &tiles[y * gridSize + x] : nullptr;
}

void CGridManager::SetTileUnit(int x, int y, int unit) {
    if (CBoardTile* tile = MutableTile(x, y)) {
        tile->unit = unit;
    }
}

void CGridManager::SetTileTerrainType(int x, int y, int terrainType) {
    if (CBoardTile* tile = MutableTile(x, y)) {
        tile->terrainType = terrainType;
    }
}

void CGridManager::SetTileUsable(int x, int y, bool usable) {
    if (CBoardTile* tile = MutableTile(x, y)) {
        tile->usable = usable;
    }
}

bool CGridManager::IsTileUsable(int x, int y) const {
    const CBoardTile& tile = GetTile(x, y);
    return tile.usable && tile.height > waterHeight;
}

float CGridManager::TileSizeFor(const CHeightmap* heightmap) {
    if (heightmap == nullptr || heightmap->IsEmpty()) {
        return 0.0f;
    }
    return static_cast<float>(heightmap->GetWidth() - 1) * heightmap->GetSpacing() / gridSize;
}

void CGridManager::TileCentreAt(float tileSize, int x, int y, float& worldX, float& worldZ) {
    worldX = (static_cast<float>(x) + 0.5f) * tileSize;
    worldZ = (static_cast<float>(y) + 0.5f) * tileSize;
}

void CGridManager::TileUnderPoint(float tileSize, float worldX, float worldZ, int& x, int& y) {
    x = y = 0;
    if (!(tileSize > 0.0f)) {
        return;
    }
    // Clamped in float first: far-off or non-finite positions must not overflow the int conversion.
    auto toTile = [tileSize](float coordinate) {
        const float tile = std::floor(coordinate / tileSize);
        if (!std::isfinite(tile)) {
            return 0;
        }
        return std::max(
            0, std::min(static_cast<int>(std::max(-1.0f, std::min(tile, static_cast<float>(gridSize)))), gridSize - 1));
    };
    x = toTile(worldX);
    y = toTile(worldZ);
}

void CGridManager::GetTileCentre(int x, int y, float& worldX, float& worldZ) const {
    TileCentreAt(GetTileSize(), x, y, worldX, worldZ);
}

void CGridManager::WorldToTile(float worldX, float worldZ, int& x, int& y) const {
    TileUnderPoint(GetTileSize(), worldX, worldZ, x, y);
}
