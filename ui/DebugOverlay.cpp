#include "ui/DebugOverlay.h"

#include <GL/freeglut.h>

#include "render/GlState.h"

namespace {

void* const    overlayFont      = GLUT_BITMAP_TIMES_ROMAN_10;
constexpr char unknownCharacter = '?';
constexpr int  latin1Last       = 0xFF;

} // namespace

void CDebugOverlay::Draw(const std::vector<std::string>& lines, int windowWidth, int windowHeight) {
    // The text lies over the scene whatever the scene left in the depth
    // buffer, in the current colour whatever texture or light is on, over a
    // dark backing so that it stays readable over light ground and sky.
    const CWindowProjectionScope windowPixels(windowWidth, windowHeight);
    GLfloat                      colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    std::vector<std::vector<int>> texts;
    for (const std::string& line : lines) {
        texts.push_back(ToBitmapCharacters(line));
    }
    DrawBacking(texts, windowHeight);
    glColor4fv(colour);
    for (size_t index = 0; index < texts.size(); ++index) {
        glRasterPos2i(margin, windowHeight - margin - lineHeight * static_cast<int>(index));
        for (const int character : texts[index]) {
            glutBitmapCharacter(overlayFont, character);
        }
    }
}

// One translucent dark band behind each line that holds text.
void CDebugOverlay::DrawBacking(const std::vector<std::vector<int>>& texts, int windowHeight) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, backingAlpha);
    glBegin(GL_QUADS);
    for (size_t index = 0; index < texts.size(); ++index) {
        int width = 0;
        for (const int character : texts[index]) {
            width += glutBitmapWidth(overlayFont, character);
        }
        if (width == 0) {
            continue;
        }
        const int baseline = windowHeight - margin - lineHeight * static_cast<int>(index);
        const int bottom   = baseline - backingBelow;
        const int top      = baseline + lineHeight - backingBelow;
        glVertex2i(margin - backingPad, bottom);
        glVertex2i(margin + width + backingPad, bottom);
        glVertex2i(margin + width + backingPad, top);
        glVertex2i(margin - backingPad, top);
    }
    glEnd();
}

std::vector<int> CDebugOverlay::ToBitmapCharacters(const std::string& text) {
    std::vector<int> characters;
    for (size_t index = 0; index < text.size();) {
        const unsigned char lead      = static_cast<unsigned char>(text[index]);
        size_t              length    = 1;
        int                 codePoint = lead;
        if (lead >= 0xC0 && lead < 0xF8) {
            length    = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            codePoint = lead & (0x3F >> (length - 1));
            for (size_t next = 1; next < length; ++next) {
                const unsigned char trail = index + next < text.size() ? text[index + next] : 0;
                if ((trail & 0xC0) != 0x80) {
                    length    = 1; // not UTF-8: the byte stands for itself
                    codePoint = lead;
                    break;
                }
                codePoint = (codePoint << 6) | (trail & 0x3F);
            }
        }
        characters.push_back(codePoint <= latin1Last ? codePoint : unknownCharacter);
        index += length;
    }
    return characters;
}
