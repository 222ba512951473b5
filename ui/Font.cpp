#include "ui/Font.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/Logger.h"

namespace {

// Said once per run: without any installed font no text can be drawn.
bool reportedNoFont = false;

// glBitmap needs a pointer even for an empty bitmap.
const GLubyte emptyBitmap[1] = {0};

CFontRequest RequestOf(const CFontDescription& description, int size) {
    CFontRequest request;
    request.name      = description.name.c_str();
    request.size      = size;
    request.bold      = description.bold;
    request.italic    = description.italic;
    request.underline = description.underline;
    return request;
}

// False, with the one log line, when no font at all is installed.
bool IsAnyFontInstalled(const CFontDescription& description) {
    CFontMatch match;
    if (CGlyphLists::FindFont(description.name.c_str(), description.bold, description.italic, match)) {
        return true;
    }
    if (!reportedNoFont) {
        reportedNoFont = true;
        GetLogger()->LogError("CFont: no installed font matches \"%s\" (no fonts installed?); text is not drawn",
                              description.name.c_str());
    }
    return false;
}

} // namespace

CFont::~CFont() {
    DeleteGlyphLists();
}

void CFont::SetDescription(const CFontDescription& newDescription) {
    DeleteGlyphLists();
    description = newDescription;
}

void CFont::DeleteGlyphLists() {
    if (listBase != 0) {
        glDeleteLists(listBase, listCount);
    }
    if (glyphTexture != 0) {
        glDeleteTextures(1, &glyphTexture);
    }
    listBase     = 0;
    listCount    = 0;
    glyphTexture = 0;
    std::fill(std::begin(bitmapGlyphs), std::end(bitmapGlyphs), CBitmapGlyph());
    std::fill(std::begin(glyphMetrics), std::end(glyphMetrics), CGlyphMetrics());
}

bool CFont::ReserveLists(int count) {
    DeleteGlyphLists();
    listBase = glGenLists(count);
    if (listBase == 0) {
        GetLogger()->LogError("CFont: no display lists left for \"%s\"", description.name.c_str());
        return false;
    }
    listCount = count;
    return true;
}

bool CFont::BuildBitmapFont() {
    DeleteGlyphLists();
    if (!IsAnyFontInstalled(description)) {
        return false;
    }
    const int size = std::clamp(description.size, CGlyphLists::minimumPixelSize, CGlyphLists::maximumPixelSize);
    if (size != description.size) {
        GetLogger()->LogError("CFont: size %d of \"%s\" lies outside %d..%d; using %d", description.size,
                              description.name.c_str(), CGlyphLists::minimumPixelSize, CGlyphLists::maximumPixelSize,
                              size);
    }
    if (!ReserveLists(bitmapListCount)) {
        return false;
    }
    if (!CGlyphLists::BuildBitmapLists(RequestOf(description, size), listBase, glyphTexture, bitmapGlyphs)) {
        GetLogger()->LogError("CFont: cannot make the glyphs of \"%s\"", description.name.c_str());
        DeleteGlyphLists();
        return false;
    }
    return true;
}

bool CFont::BuildOutlineFont(int screenWidth) {
    DeleteGlyphLists();
    if (!IsAnyFontInstalled(description)) {
        return false;
    }
    if (!ReserveLists(outlineListCount)) {
        return false;
    }
    if (!CGlyphLists::BuildOutlineLists(RequestOf(description, description.size), description.thickness, listBase,
                                        glyphMetrics)) {
        GetLogger()->LogError("CFont: cannot make the outline glyphs of \"%s\"", description.name.c_str());
        DeleteGlyphLists();
        return false;
    }
    // The file's width is kept, so building again does not scale twice.
    lineWidth = description.lineWidth * static_cast<float>(screenWidth) * lineWidthScale;
    return true;
}

void CFont::Print(const char* format, ...) const {
    if (format == nullptr) {
        return;
    }
    char    text[printBufferSize];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    DrawBitmapText(text);
}

// The glyph quads are laid out in window pixels from the raster position,
// at its depth and in its colour, as bitmaps would be; the raster position
// then moves on by the text's advance.
void CFont::DrawBitmapText(const char* text) const {
    if (listBase == 0 || listCount != bitmapListCount || *text == '\0') {
        return;
    }
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (valid == GL_FALSE) {
        return;
    }
    GLfloat position[4], colour[4];
    GLint   viewport[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
    glGetFloatv(GL_CURRENT_RASTER_COLOR, colour);
    glGetIntegerv(GL_VIEWPORT, viewport);

    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT | GL_COLOR_BUFFER_BIT |
                 GL_TRANSFORM_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindTexture(GL_TEXTURE_2D, glyphTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4fv(colour);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // Window z = -object z with near 0 and far 1.
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(std::floor(position[0] + 0.5f), std::floor(position[1] + 0.5f), -position[2]);

    int pen = 0;
    glBegin(GL_QUADS);
    for (const char* character = text; *character != '\0'; ++character) {
        const int code = static_cast<unsigned char>(*character);
        if (code < firstBitmapCode || code > lastBitmapCode) {
            continue;
        }
        const CBitmapGlyph& glyph = bitmapGlyphs[code - firstBitmapCode];
        for (int quad = 0; quad < glyph.quadCount; ++quad) {
            for (const CBitmapGlyph::CVertex& vertex : glyph.quads[quad]) {
                glTexCoord2f(vertex.s, vertex.t);
                glVertex2f(vertex.x + static_cast<float>(pen), vertex.y);
            }
        }
        pen += glyph.advance;
    }
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glPopAttrib();
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<float>(pen), 0.0f, emptyBitmap);
}

float CFont::TextWidth3D(const char* text) const {
    float width = 0.0f;
    for (const char* character = text; character != nullptr && *character != '\0'; ++character) {
        width += glyphMetrics[static_cast<unsigned char>(*character)].cellIncX;
    }
    return width;
}

void CFont::Print3D(const char* format, ...) const {
    if (format == nullptr) {
        return;
    }
    char    text[printBufferSize];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    DrawOutlineText(text);
}

void CFont::CallOutlineLists(const char* text, float width) const {
    glPushMatrix();
    glTranslatef(-width / 2.0f, 0.0f, 0.0f);
    glListBase(listBase);
    glCallLists(static_cast<GLsizei>(strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopMatrix();
}

// Two passes: the lit faces mark the stencil, then the outline (polygon
// edges drawn as wide lines) is drawn only where the stencil is unmarked,
// so it shows as a rim and never over a face.
void CFont::DrawOutlineText(const char* text) const {
    if (listBase == 0 || listCount != outlineListCount || *text == '\0') {
        return;
    }
    const float   width   = TextWidth3D(text);
    const GLfloat fill[4] = {description.fillColour.red, description.fillColour.green, description.fillColour.blue,
                             description.fillColour.alpha};
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, fill);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, fill);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    glStencilMask(0xFFFFFFFF);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFFFFFFFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    CallOutlineLists(text, width);

    glDisable(GL_LIGHTING);
    glColor4f(description.outlineColour.red, description.outlineColour.green, description.outlineColour.blue,
              description.outlineColour.alpha);
    glStencilFunc(GL_NOTEQUAL, 1, 0xFFFFFFFF);
    if (lineWidth > 0.0f) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glLineWidth(lineWidth);
        CallOutlineLists(text, width);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPopAttrib();
}
