#pragma once

// The level's terrain parameters ("ter_params.ini" of its terrain folder):
// the terrain's world width ("maxwidth") and the world height of sample value
// 255 ("maxheight"). A level cannot be drawn without both: a width or height
// of zero gives a terrain of no size or no relief, a value that is not a
// finite number or is absurdly large turns every vertex, the camera and the
// tile geometry into infinities.
class CTerrainParams {
public:
    // Largest accepted values, in world units: far beyond any level (the
    // shipped one is 2048 wide and 400 high, and the view reaches 8000).
    static constexpr float maxWidthLimit  = 100000.0f;
    static constexpr float maxHeightLimit = 100000.0f;

    // Reads and checks the file; false, with a line in the error log naming
    // the file and the reason, when it is missing or unreadable, lacks a key,
    // or a value is not a number in (0, limit]. A missing file is not created.
    bool Load(const char* path);

    float GetMaxWidth() const { return maxWidth; }
    float GetMaxHeight() const { return maxHeight; }

private:
    float maxWidth  = 0.0f;
    float maxHeight = 0.0f;
};
