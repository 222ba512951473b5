#include "ui/HudDrawList.h"

#include <cstdarg>
#include <cstdio>

CHudDrawItem& CHudDrawList::Next() {
    if (count == items.size()) {
        items.emplace_back();
    }
    return items[count++];
}

void CHudDrawList::AddQuad(const CColour& colour, const int (&corners)[4][2]) {
    CHudDrawItem& item = Next();
    item.kind          = CHudDrawItem::quadItem;
    item.colour        = colour;
    for (int corner = 0; corner < 4; ++corner) {
        item.corners[corner][0] = corners[corner][0];
        item.corners[corner][1] = corners[corner][1];
    }
}

void CHudDrawList::AddText(HudFont font, const CColour& colour, int x, int y, const char* format, ...) {
    CHudDrawItem& item = Next();
    item.kind          = CHudDrawItem::textItem;
    item.colour        = colour;
    item.font          = font;
    item.x             = x;
    item.y             = y;
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(item.text, sizeof item.text, format, arguments);
    va_end(arguments);
}
