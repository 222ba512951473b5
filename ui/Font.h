#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <string>

#include "platform/GlyphLists.h"

// A colour as the interface files give it: red, green, blue, alpha, each
// normally 0..1, passed to GL as it stands.
struct CColour {
    float red   = 0.0f;
    float green = 0.0f;
    float blue  = 0.0f;
    float alpha = 0.0f;
};

// A font as its file describes it. 2D fonts use colour; 3D fonts use the
// fill and outline colours, deviation, thickness and line width.
struct CFontDescription {
    static constexpr size_t maxNameLength = 127;

    std::string name;           // face name
    int         size       = 0; // em height in pixels
    int         lineHeight = 0; // pixels from one text line to the next
    bool        bold       = false;
    bool        italic     = false;
    bool        underline  = false;
    CColour     colour;
    CColour     fillColour;
    CColour     outlineColour;
    float       deviation = 0.0f; // chordal deviation of the outlines
    float       thickness = 0.0f; // extrusion depth in em units
    float       lineWidth = 0.0f; // outline width in pixels on a screen 640 pixels wide
};

// One font of glyph display lists. A 2D font has 96 lists, list
// listBase + (code - 32) for codes 32..127, drawn at the raster position; a
// 3D font has 256 lists, listBase + code, drawn in model space. Until built
// (and after DeleteGlyphLists) listBase is 0 and printing draws nothing.
class CFont {
public:
    static constexpr size_t printBufferSize  = 256;           // at most 255 characters are drawn
    static constexpr float  lineWidthScale   = 1.0f / 640.0f; // outline width per pixel of screen width
    static constexpr int    bitmapListCount  = CGlyphLists::bitmapListCount;
    static constexpr int    outlineListCount = CGlyphLists::outlineListCount;
    static constexpr int    firstBitmapCode  = CGlyphLists::firstBitmapCode;
    static constexpr int    lastBitmapCode   = firstBitmapCode + bitmapListCount - 1;

    CFont() = default;
    ~CFont();
    CFont(const CFont&)            = delete;
    CFont& operator=(const CFont&) = delete;

    // Replaces the description; the glyph lists of the old one are deleted.
    void                    SetDescription(const CFontDescription& newDescription);
    const CFontDescription& GetDescription() const { return description; }

    // Makes the 2D glyph lists from the description; false (and no lists)
    // when no font can be made, with a line in the error log.
    bool BuildBitmapFont();
    // Makes the 3D glyph lists and metrics, and scales the outline width to
    // the screen width.
    bool BuildOutlineFont(int screenWidth);
    void DeleteGlyphLists();

    // Formats printf-style into a 256-character buffer and draws the text at
    // the current raster position in the current raster colour, moving the
    // raster position on by the text's advance. Codes outside 32..127 have
    // no glyph and are skipped. The string's glyphs go out as one batch of
    // the quads their lists hold (one draw instead of one per character,
    // which is what text costs on a software rasteriser).
    void Print(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    // Formats like Print and draws the text with the 3D lists, centred
    // horizontally on the modelview origin: lit faces in the fill colour and
    // a rim in the outline colour where no face lies (stencil-masked).
    void Print3D(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    // Sum of the cell increments of a text's characters (3D units).
    float TextWidth3D(const char* text) const;

    GLuint               GetListBase() const { return listBase; }
    GLuint               GetGlyphTexture() const { return glyphTexture; }
    int                  GetListCount() const { return listCount; }
    float                GetLineWidth() const { return lineWidth; }
    const CGlyphMetrics& GetGlyphMetrics(unsigned char code) const { return glyphMetrics[code]; }

private:
    bool ReserveLists(int count);
    void DrawBitmapText(const char* text) const;
    void DrawOutlineText(const char* text) const;
    void CallOutlineLists(const char* text, float width) const;

    CFontDescription description;
    GLuint           listBase     = 0;
    int              listCount    = 0;
    GLuint           glyphTexture = 0;              // the 2D glyphs' texture
    float            lineWidth    = 0.0f;           // outline width for the present screen
    CBitmapGlyph     bitmapGlyphs[bitmapListCount]; // what each 2D list draws
    CGlyphMetrics    glyphMetrics[outlineListCount];
};
