#pragma once

#include <string>
#include <vector>

// The debug overlay: the frame's collected lines, top down from the window's
// top left corner, in the window library's bitmap font and the current
// colour, over whatever the scene drew.
class CDebugOverlay {
public:
    static constexpr int   margin       = 10; // pixels from the left and the top edge
    static constexpr int   lineHeight   = 20; // pixels from one line's baseline to the next
    static constexpr int   backingPad   = 4;  // pixels of backing left and right of a line's text
    static constexpr int   backingBelow = 6;  // pixels of backing below a line's baseline
    static constexpr float backingAlpha = 0.55f;

    static void Draw(const std::vector<std::string>& lines, int windowWidth, int windowHeight);
    // A line's text as characters of the bitmap fonts (Latin-1): UTF-8
    // sequences are decoded, characters beyond Latin-1 become '?', and bytes
    // that are not UTF-8 are taken as Latin-1 themselves.
    static std::vector<int> ToBitmapCharacters(const std::string& text);

private:
    static void DrawBacking(const std::vector<std::vector<int>>& texts, int windowHeight);
};
