#pragma once

#include <GL/gl.h>

#include <string>

// Glyph display lists made from the installed fonts: face names are matched
// to font files by fontconfig, glyphs are rasterised by FreeType (2D) or
// extruded by FTGL (3D). Every function needs a current GL context except
// FindFont and UseFontFolder.

// What a font should look like.
struct CFontRequest {
    const char* name      = nullptr; // face name; unknown names map to an installed font
    int         size      = 0;       // em height in pixels (2D)
    bool        bold      = false;
    bool        italic    = false;
    bool        underline = false; // 2D only
};

// Per character code: black-box width and height, glyph origin x and y (left
// and top edge of the black box from the pen position), cell increment x and
// y. Outline glyphs measure in em units (one em is one unit).
struct CGlyphMetrics {
    float blackBoxX = 0.0f;
    float blackBoxY = 0.0f;
    float originX   = 0.0f;
    float originY   = 0.0f;
    float cellIncX  = 0.0f;
    float cellIncY  = 0.0f;
};

// One 2D glyph as its list draws it: up to two textured quads (the glyph,
// then its underline), corners counter-clockwise from the lower left in
// pixels from the pen on the baseline, with texture coordinates into the
// font's glyph texture; then the pen moves on by the advance.
struct CBitmapGlyph {
    struct CVertex {
        float x, y, s, t;
    };
    int     quadCount   = 0;
    CVertex quads[2][4] = {};
    int     advance     = 0;
};

// The font file that stands for a request, with what fontconfig asks to
// synthesise when the family lacks the style.
struct CFontMatch {
    std::string file;
    int         faceIndex = 0;
    bool        embolden  = false;
    bool        slant     = false; // an oblique shear is wanted
};

class CGlyphLists {
public:
    static constexpr int firstBitmapCode   = 32;
    static constexpr int bitmapListCount   = 96;  // codes 32..127
    static constexpr int outlineListCount  = 256; // lists for codes 0..255
    static constexpr int outlineGlyphCount = 255; // glyphs for codes 0..254
    static constexpr int minimumPixelSize  = 1;
    static constexpr int maximumPixelSize  = 256;

    // The installed font for a face name and style; false when no font is
    // installed at all.
    static bool FindFont(const char* name, bool bold, bool italic, CFontMatch& match);

    // From now on only the fonts in `folder` are matched (nullptr: the
    // system's fonts again). False when the folder cannot be used.
    static bool UseFontFolder(const char* folder);

    // Compiles bitmapListCount lists from listBase, one per code from 32. A
    // list draws its glyph as one textured quad (two with the underline) at
    // the modelview origin, one unit per pixel, baseline at y = 0, and then
    // translates by the glyph's advance. The quads sample `texture`, created
    // here: one alpha texture holding every glyph, mapped texel to pixel. The
    // caller binds it, enables 2D texturing and an alpha test, and sets a
    // projection in window pixels. Codes 127 and those without a glyph give
    // empty lists. glyphs[i] is what the list of code 32 + i draws, for
    // callers that lay out a whole string in one go. False (lists left
    // empty, no texture) when no font file can be read.
    static bool BuildBitmapLists(const CFontRequest& request, GLuint listBase, GLuint& texture,
                                 CBitmapGlyph (&glyphs)[bitmapListCount]);

    // Compiles outlineListCount lists from listBase: list listBase + code
    // draws the glyph of Windows-1252 code 0..254 extruded from z = 0 back to
    // z = -thickness, with normals, one unit per em, and then translates by
    // its cell increment. Control codes give empty lists with no advance.
    // Fills metrics[0..255] in em units. False when no font file can be read.
    static bool BuildOutlineLists(const CFontRequest& request, float thickness, GLuint listBase,
                                  CGlyphMetrics (&metrics)[outlineListCount]);

    // The Unicode character of a Windows-1252 code; 0 for codes that stand
    // for no printable character (controls and the table's holes).
    static wchar_t CodePageCharacter(unsigned char code);
};
