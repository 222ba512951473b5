#pragma once

#include <string>
#include <vector>

// The height samples of a level (the red channel of "ter_heightmap.bmp",
// values 0..255) and the terrain's scale. Sample access is by (column, row),
// row 0 being the top row of the picture, with every index clamped to
// 0..width-1 (the terrain is square). World x runs along columns, world z
// along rows.
class CHeightmap {
public:
    CHeightmap(const char* path, float maxWidth, float maxHeight);
    // A heightmap from samples in memory (row-major, size × size values).
    CHeightmap(int size, const std::vector<int>& samples, float maxWidth, float maxHeight);

    // World distance between neighbouring samples.
    float GetSpacing() const { return spacing; }
    // World height of one sample unit (maxHeight / 255).
    float              GetHeightScale() const { return heightScale; }
    float              GetMaxWidth() const { return maxWidth; }
    float              GetMaxHeight() const { return maxHeight; }
    int                GetWidth() const { return width; }
    int                GetHeight() const { return height; }
    bool               IsEmpty() const { return width <= 0 || height <= 0; }
    const std::string& GetFileName() const { return fileName; }

    int  GetSample(int column, int row) const;
    void SetSample(int column, int row, int value);

    // 0..255: steepness from the larger central difference of raw samples.
    float SlopeAt(int column, int row) const;
    // World height at a world position, interpolated on the sample triangles.
    float HeightAt(float worldX, float worldZ) const;

private:
    void SetScale();
    int  Clamp(int index) const;

    float            spacing     = 0.0f;
    float            heightScale = 0.0f;
    float            maxWidth    = 0.0f;
    float            maxHeight   = 0.0f;
    int              width       = 0;
    int              height      = 0;
    std::vector<int> samples; // row-major, height rows of width values
    std::string      fileName;
};
