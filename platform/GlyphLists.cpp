#include "platform/GlyphLists.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include <FTGL/ftgl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// The fonts matched instead of the system's, or null for the system's.
FcConfig* fontFolderConfig = nullptr;

// Outline glyphs are extruded at this pixel size and scaled down to one em.
constexpr unsigned outlineFaceSize = 64;
// Shear of a synthesised oblique outline (x += slant * y), as FreeType's.
constexpr float syntheticSlant = 0.2f;

// Windows-1252 0x80..0x9F; 0 marks the table's holes.
constexpr wchar_t codePage80[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Owns a FreeType library and one face of it.
class CFreeTypeFace {
public:
    CFreeTypeFace(const CFontMatch& match) {
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            return;
        }
        if (FT_New_Face(library, match.file.c_str(), match.faceIndex, &face) != 0) {
            face = nullptr;
        }
    }
    ~CFreeTypeFace() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
    CFreeTypeFace(const CFreeTypeFace&)            = delete;
    CFreeTypeFace& operator=(const CFreeTypeFace&) = delete;

    FT_Face Get() const { return face; }

private:
    FT_Library library = nullptr;
    FT_Face    face    = nullptr;
};

// A glyph rasterised to one alpha byte per pixel, rows bottom up, placed
// relative to the pen on the baseline.
struct CRasterGlyph {
    int                        left    = 0;
    int                        top     = 0;
    int                        width   = 0;
    int                        rows    = 0;
    int                        advance = 0;
    std::vector<unsigned char> alpha;
    int                        atlasX = 0;
    int                        atlasY = 0;
};

CRasterGlyph RasteriseGlyph(FT_Face face, unsigned code, const CFontMatch& match) {
    CRasterGlyph glyph;
    if (code == 127 || FT_Load_Char(face, code, FT_LOAD_TARGET_MONO) != 0) {
        return glyph;
    }
    FT_GlyphSlot slot = face->glyph;
    if (match.slant) {
        FT_GlyphSlot_Oblique(slot);
    }
    if (match.embolden) {
        FT_GlyphSlot_Embolden(slot);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
        return glyph;
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.advance           = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.left              = slot->bitmap_left;
    glyph.top               = slot->bitmap_top;
    glyph.width             = static_cast<int>(bitmap.width);
    glyph.rows              = static_cast<int>(bitmap.rows);
    glyph.alpha.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
    const int pitch = bitmap.pitch;
    for (int row = 0; row < glyph.rows; ++row) {
        // FreeType rows run top down (a negative pitch stores them bottom up).
        const unsigned char* source =
            pitch >= 0 ? bitmap.buffer + row * pitch : bitmap.buffer + (glyph.rows - 1 - row) * -pitch;
        unsigned char* target = &glyph.alpha[static_cast<size_t>(glyph.rows - 1 - row) * glyph.width];
        for (int column = 0; column < glyph.width; ++column) {
            const bool set = (source[column >> 3] & (0x80 >> (column & 7))) != 0;
            target[column] = set ? 255 : 0;
        }
    }
    if (glyph.width == 0 || glyph.rows == 0) {
        glyph.width = glyph.rows = 0;
        glyph.alpha.clear();
    }
    return glyph;
}

// Shelf packing with a one-texel gap; the texel (0, 0) is kept solid for the
// underline. Returns the atlas height used for a given width, or -1 when a
// glyph is wider than the atlas.
int PackGlyphs(std::vector<CRasterGlyph>& glyphs, int atlasWidth) {
    int x = 2, y = 0, shelfHeight = 1;
    for (CRasterGlyph& glyph : glyphs) {
        if (glyph.width == 0) {
            continue;
        }
        if (glyph.width + 1 > atlasWidth) {
            return -1;
        }
        if (x + glyph.width + 1 > atlasWidth) {
            x = 0;
            y += shelfHeight + 1;
            shelfHeight = 0;
        }
        glyph.atlasX = x;
        glyph.atlasY = y;
        x += glyph.width + 1;
        shelfHeight = std::max(shelfHeight, glyph.rows);
    }
    return y + shelfHeight;
}

int NextPowerOfTwo(int value) {
    int power = 1;
    while (power < value) {
        power *= 2;
    }
    return power;
}

// The smallest square-ish power-of-two atlas that holds every glyph; false
// when even the largest texture the driver allows is too small.
bool ChooseAtlas(std::vector<CRasterGlyph>& glyphs, int& width, int& height) {
    GLint maximum = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maximum);
    for (width = 64; width <= maximum; width *= 2) {
        const int used = PackGlyphs(glyphs, width);
        if (used >= 0 && NextPowerOfTwo(used) <= width) {
            height = NextPowerOfTwo(std::max(used, 1));
            return true;
        }
    }
    return false;
}

GLuint UploadAtlas(const std::vector<CRasterGlyph>& glyphs, int width, int height) {
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height, 0);
    texels[0] = 255;
    for (const CRasterGlyph& glyph : glyphs) {
        for (int row = 0; row < glyph.rows; ++row) {
            std::copy_n(&glyph.alpha[static_cast<size_t>(row) * glyph.width], glyph.width,
                        &texels[static_cast<size_t>(glyph.atlasY + row) * width + glyph.atlasX]);
        }
    }
    GLuint texture = 0;
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, texels.data());
    glPopClientAttrib();
    glPopAttrib();
    return texture;
}

// The underline's rows relative to the baseline, from the face's metrics.
void UnderlineRows(FT_Face face, int& bottom, int& top) {
    const double position  = FT_MulFix(face->underline_position, face->size->metrics.y_scale) / 64.0;
    const double thickness = FT_MulFix(face->underline_thickness, face->size->metrics.y_scale) / 64.0;
    const int    rows      = std::max(1, static_cast<int>(std::lround(thickness)));
    top                    = static_cast<int>(std::lround(position + rows / 2.0));
    bottom                 = top - rows;
}

// The quads of a rasterised glyph, sampling its texels one to one.
CBitmapGlyph MakeBitmapGlyph(const CRasterGlyph& raster, float atlasWidth, float atlasHeight, bool underline,
                             int underlineBottom, int underlineTop) {
    using CVertex = CBitmapGlyph::CVertex;
    CBitmapGlyph glyph;
    glyph.advance = raster.advance;
    if (raster.width > 0) {
        const float   s0 = raster.atlasX / atlasWidth, s1 = (raster.atlasX + raster.width) / atlasWidth;
        const float   t0 = raster.atlasY / atlasHeight, t1 = (raster.atlasY + raster.rows) / atlasHeight;
        const float   x0 = static_cast<float>(raster.left), x1 = static_cast<float>(raster.left + raster.width);
        const float   y0 = static_cast<float>(raster.top - raster.rows), y1 = static_cast<float>(raster.top);
        const CVertex quad[4] = {{x0, y0, s0, t0}, {x1, y0, s1, t0}, {x1, y1, s1, t1}, {x0, y1, s0, t1}};
        std::copy(std::begin(quad), std::end(quad), glyph.quads[glyph.quadCount++]);
    }
    if (underline && raster.advance > 0) {
        // Every corner samples the centre of the solid texel.
        const float   s = 0.5f / atlasWidth, t = 0.5f / atlasHeight;
        const float   x1 = static_cast<float>(raster.advance);
        const float   y0 = static_cast<float>(underlineBottom), y1 = static_cast<float>(underlineTop);
        const CVertex quad[4] = {{0.0f, y0, s, t}, {x1, y0, s, t}, {x1, y1, s, t}, {0.0f, y1, s, t}};
        std::copy(std::begin(quad), std::end(quad), glyph.quads[glyph.quadCount++]);
    }
    return glyph;
}

void CompileBitmapList(GLuint list, const CBitmapGlyph& glyph) {
    glNewList(list, GL_COMPILE);
    if (glyph.quadCount > 0) {
        glBegin(GL_QUADS);
        for (int quad = 0; quad < glyph.quadCount; ++quad) {
            for (const CBitmapGlyph::CVertex& vertex : glyph.quads[quad]) {
                glTexCoord2f(vertex.s, vertex.t);
                glVertex2f(vertex.x, vertex.y);
            }
        }
        glEnd();
    }
    glTranslatef(static_cast<float>(glyph.advance), 0.0f, 0.0f);
    glEndList();
}

void LoadOutlineMetrics(FT_Face face, unsigned code, CGlyphMetrics& metrics) {
    metrics                 = CGlyphMetrics();
    const wchar_t character = CGlyphLists::CodePageCharacter(static_cast<unsigned char>(code));
    if (character == 0 || face->units_per_EM == 0 || FT_Load_Char(face, character, FT_LOAD_NO_SCALE) != 0) {
        return;
    }
    const float             em    = static_cast<float>(face->units_per_EM);
    const FT_Glyph_Metrics& glyph = face->glyph->metrics;
    metrics.blackBoxX             = glyph.width / em;
    metrics.blackBoxY             = glyph.height / em;
    metrics.originX               = glyph.horiBearingX / em;
    metrics.originY               = glyph.horiBearingY / em;
    metrics.cellIncX              = glyph.horiAdvance / em;
    metrics.cellIncY              = 0.0f;
}

void CompileOutlineList(GLuint list, FTFont& font, wchar_t character, bool slant, const CGlyphMetrics& metrics) {
    glNewList(list, GL_COMPILE);
    if (character != 0) {
        glPushMatrix();
        if (slant) {
            const GLfloat shear[16] = {1, 0, 0, 0, syntheticSlant, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
            glMultMatrixf(shear);
        }
        const float scale = 1.0f / outlineFaceSize;
        glScalef(scale, scale, scale);
        const wchar_t text[2] = {character, 0};
        font.Render(text);
        glPopMatrix();
        glTranslatef(metrics.cellIncX, 0.0f, 0.0f);
    }
    glEndList();
}

} // namespace

wchar_t CGlyphLists::CodePageCharacter(unsigned char code) {
    if (code < 32 || code == 127) {
        return 0;
    }
    if (code >= 0x80 && code < 0xA0) {
        return codePage80[code - 0x80];
    }
    return static_cast<wchar_t>(code);
}

bool CGlyphLists::UseFontFolder(const char* folder) {
    if (fontFolderConfig != nullptr) {
        FcConfigDestroy(fontFolderConfig);
        fontFolderConfig = nullptr;
    }
    if (folder == nullptr) {
        return true;
    }
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) {
        return false;
    }
    if (!FcConfigAppFontAddDir(config, reinterpret_cast<const FcChar8*>(folder))) {
        FcConfigDestroy(config);
        return false;
    }
    fontFolderConfig = config;
    return true;
}

// fontconfig picks the closest installed face (an unknown family falls back
// to the configured default). When the face found lacks the style asked
// for, the glyphs are slanted or emboldened instead.
bool CGlyphLists::FindFont(const char* name, bool bold, bool italic, CFontMatch& match) {
    if (fontFolderConfig == nullptr && !FcInit()) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name != nullptr ? name : ""));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(fontFolderConfig, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult   result = FcResultNoMatch;
    FcPattern* found  = FcFontMatch(fontFolderConfig, pattern, &result);
    FcPatternDestroy(pattern);
    if (found == nullptr) {
        return false;
    }
    FcChar8*   file    = nullptr;
    int        index   = 0;
    int        weight  = FC_WEIGHT_REGULAR;
    int        slant   = FC_SLANT_ROMAN;
    const bool hasFile = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (hasFile) {
        match.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(found, FC_SLANT, 0, &slant);
        match.faceIndex = index;
        match.embolden  = bold && weight < FC_WEIGHT_DEMIBOLD;
        match.slant     = italic && slant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(found);
    return hasFile;
}

bool CGlyphLists::BuildBitmapLists(const CFontRequest& request, GLuint listBase, GLuint& texture,
                                   CBitmapGlyph (&glyphs)[bitmapListCount]) {
    texture = 0;
    std::fill(std::begin(glyphs), std::end(glyphs), CBitmapGlyph());
    CFontMatch match;
    if (!FindFont(request.name, request.bold, request.italic, match)) {
        return false;
    }
    CFreeTypeFace face(match);
    const int     pixelSize = std::clamp(request.size, minimumPixelSize, maximumPixelSize);
    if (face.Get() == nullptr || FT_Set_Pixel_Sizes(face.Get(), 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        return false;
    }
    std::vector<CRasterGlyph> rasters;
    rasters.reserve(bitmapListCount);
    for (int code = firstBitmapCode; code < firstBitmapCode + bitmapListCount; ++code) {
        rasters.push_back(RasteriseGlyph(face.Get(), static_cast<unsigned>(code), match));
    }
    int atlasWidth = 0, atlasHeight = 0;
    if (!ChooseAtlas(rasters, atlasWidth, atlasHeight)) {
        return false;
    }
    int        underlineBottom = 0, underlineTop = 0;
    const bool underline = request.underline && FT_IS_SCALABLE(face.Get());
    if (underline) {
        UnderlineRows(face.Get(), underlineBottom, underlineTop);
    }
    texture = UploadAtlas(rasters, atlasWidth, atlasHeight);
    for (int index = 0; index < bitmapListCount; ++index) {
        glyphs[index] = MakeBitmapGlyph(rasters[index], static_cast<float>(atlasWidth), static_cast<float>(atlasHeight),
                                        underline, underlineBottom, underlineTop);
        CompileBitmapList(listBase + index, glyphs[index]);
    }
    return true;
}

bool CGlyphLists::BuildOutlineLists(const CFontRequest& request, float thickness, GLuint listBase,
                                    CGlyphMetrics (&metrics)[outlineListCount]) {
    std::fill(std::begin(metrics), std::end(metrics), CGlyphMetrics());
    CFontMatch match;
    if (!FindFont(request.name, request.bold, request.italic, match)) {
        return false;
    }
    CFreeTypeFace face(match);
    FTExtrudeFont font(match.file.c_str());
    if (face.Get() == nullptr || face.Get()->units_per_EM == 0 || font.Error() != 0 ||
        !font.FaceSize(outlineFaceSize)) {
        return false;
    }
    // FTGL's own lists would nest inside ours.
    font.UseDisplayList(false);
    font.CharMap(FT_ENCODING_UNICODE);
    font.Depth(thickness * outlineFaceSize);
    for (int code = 0; code < outlineListCount; ++code) {
        if (code < outlineGlyphCount) {
            LoadOutlineMetrics(face.Get(), static_cast<unsigned>(code), metrics[code]);
        }
        const wchar_t character =
            code < outlineGlyphCount ? CodePageCharacter(static_cast<unsigned char>(code)) : wchar_t(0);
        CompileOutlineList(listBase + code, font, character, match.slant, metrics[code]);
    }
    return true;
}
