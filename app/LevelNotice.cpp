#include "app/LevelNotice.h"

#include <GL/freeglut.h>
#include <unistd.h>

#include "core/Logger.h"
#include "render/GlState.h"

namespace {

void* const   noticeFont         = GLUT_BITMAP_HELVETICA_18;
constexpr int noticeLineHeight   = 28; // pixels
constexpr int noticeBottomMargin = 40; // pixels below the last line's baseline

} // namespace

std::vector<std::string> CLevelNotice::GetLines(const std::string& levelName) {
    char        folder[4096];
    std::string logPath = CLogger::errorFileName;
    if (getcwd(folder, sizeof folder) != nullptr) {
        logPath = std::string(folder) + "/" + logPath;
    }
    return {"The level \"" + levelName + "\" could not be loaded.", "The reason is written in " + logPath + ".",
            "Press Escape to leave."};
}

void CLevelNotice::Draw(const std::string& levelName, int windowWidth, int windowHeight) {
    const std::vector<std::string> lines = GetLines(levelName);
    const CWindowProjectionScope   windowPixels(windowWidth, windowHeight);
    glColor3f(1.0f, 1.0f, 1.0f);
    // Low in the window, clear of the debug overlay that runs down from the top.
    const int top = noticeBottomMargin + noticeLineHeight * (static_cast<int>(lines.size()) - 1);
    for (size_t index = 0; index < lines.size(); ++index) {
        const unsigned char* text  = reinterpret_cast<const unsigned char*>(lines[index].c_str());
        const int            width = glutBitmapLength(noticeFont, text);
        // A line wider than the window starts at its left edge rather than
        // outside it, where the whole line would be clipped away.
        const int x = width < windowWidth ? (windowWidth - width) / 2 : 0;
        glRasterPos2i(x, top - noticeLineHeight * static_cast<int>(index));
        glutBitmapString(noticeFont, text);
    }
}
