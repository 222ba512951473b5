#pragma once

#include <cstddef>
#include <vector>

#include "ui/Font.h"

// The 2D fonts of the heads-up display.
enum class HudFont { regular, head, finish };

// One thing the heads-up display draws in window pixels: a quad in a colour
// (corners in drawing order) or a text whose baseline starts at (x, y).
struct CHudDrawItem {
    enum Kind { quadItem, textItem };

    Kind    kind = quadItem;
    CColour colour;
    int     corners[4][2]                = {};
    HudFont font                         = HudFont::regular;
    int     x                            = 0;
    int     y                            = 0;
    char    text[CFont::printBufferSize] = {};
};

// What one frame of the display draws, in order. The items are kept between
// frames, so filling the list again allocates nothing.
class CHudDrawList {
public:
    void Clear() { count = 0; }

    void AddQuad(const CColour& colour, const int (&corners)[4][2]);
    // Formats into the item's 256-character buffer (longer texts are cut).
    void AddText(HudFont font, const CColour& colour, int x, int y, const char* format, ...)
        __attribute__((format(printf, 6, 7)));

    size_t              GetCount() const { return count; }
    const CHudDrawItem& GetItem(size_t index) const { return items[index]; }

private:
    CHudDrawItem& Next();

    std::vector<CHudDrawItem> items;
    size_t                    count = 0;
};
