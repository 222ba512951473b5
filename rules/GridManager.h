#pragma once

#include <limits>
#include <string>

class CHeightmap;

// One square of the game board.
struct CBoardTile {
    int   unit         = -1;   // index of the unit standing here, -1 none
    int   terrainType  = -1;   // index into CTerrainTypes, -1 none
    float slope        = 0.0f; // mean SlopeAt of the tile's samples, 0..255
    int   slopeDegrees = 0;    // 0..90
    float height       = 0.0f; // world height of the tile centre
    bool  usable       = false;
};

// The fixed 32 x 32 board over the level's heightmap. Tile (x, y) is column
// x, row y, record y * 32 + x; its centre lies at ((x + 0.5) * w, (y + 0.5) * w)
// in world x and z, w being the terrain width / 32.
class CGridManager {
public:
    static constexpr int gridSize  = 32;
    static constexpr int tileCount = gridSize * gridSize;
    // Until the level sets the sea's height nothing lies under water.
    static constexpr float noWater = -std::numeric_limits<float>::infinity();

    // heightmap is not owned and may be null (tiles then keep height and slope 0).
    CGridManager(const char* path, const CHeightmap* heightmap);

    // Keeps the heightmap, then reads the tile file and derives slopes and heights.
    void Init(const CHeightmap* heightmap, const char* path);
    void LoadTiles();
    void CalcSlopes();
    void CalcHeights();
    // Writes the tile file back; tiles at or below the water are written
    // unusable. False (the old file kept) when it could not be written whole.
    bool SaveTiles() const;

    // The sea's height in world units; tiles at or below it are not usable.
    void  SetWaterHeight(float height) { waterHeight = height; }
    float GetWaterHeight() const { return waterHeight; }

    static bool IsInside(int x, int y) { return x >= 0 && y >= 0 && x < gridSize && y < gridSize; }

    // The tile geometry, shared by the rules, the terrain's pick and the tile
    // overlay. A tile is the terrain width / gridSize wide, the terrain width
    // being (samples per side - 1) x sample spacing; 0 without a heightmap.
    static float TileSizeFor(const CHeightmap* heightmap);
    // The centre of tile (x, y) in world x and z.
    static void TileCentreAt(float tileSize, int x, int y, float& worldX, float& worldZ);
    // The tile under a world point, clamped to the board; (0, 0) when the
    // tile size is not positive, and 0 for a coordinate that is not finite.
    static void TileUnderPoint(float tileSize, float worldX, float worldZ, int& x, int& y);
    // The same over this grid's heightmap.
    float GetTileSize() const { return TileSizeFor(heightmap); }
    void  GetTileCentre(int x, int y, float& worldX, float& worldZ) const;
    void  WorldToTile(float worldX, float worldZ, int& x, int& y) const;

    // Outside the board: a tile with the initial values (unusable, no unit).
    const CBoardTile& GetTile(int x, int y) const;
    // The setters ignore positions outside the board.
    void SetTileUnit(int x, int y, int unit);
    void SetTileTerrainType(int x, int y, int terrainType);
    void SetTileUsable(int x, int y, bool usable);
    // Usable flag set and centre strictly above the water.
    bool IsTileUsable(int x, int y) const;

    const std::string& GetFileName() const { return fileName; }

private:
    CBoardTile* MutableTile(int x, int y);
    // Sample steps per tile side: (heightmap width - 1) div 32.
    int StepsPerTile() const;

    CBoardTile        tiles[tileCount];
    const CHeightmap* heightmap = nullptr;
    std::string       fileName;
    float             waterHeight = noWater;
};
