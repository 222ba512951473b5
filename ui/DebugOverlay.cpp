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
    // buffer, in the current colour whatever texture or light is on.
    const CWindowProjectionScope windowPixels(windowWidth, windowHeight);
    for (size_t index = 0; index < lines.size(); ++index) {
        glRasterPos2i(margin, windowHeight - margin - lineHeight * static_cast<int>(index));
        for (const int character : ToBitmapCharacters(lines[index])) {
            glutBitmapCharacter(overlayFont, character);
        }
    }
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
