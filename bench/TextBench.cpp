// Text benchmark: what 2D text costs per character, for the glyph lists the
// heads-up display uses (textured quads from one glyph texture) against the
// window library's bitmap characters (glBitmap), and what one whole frame of
// the heads-up display costs with the shipped layout.
//
// Usage (working directory data/): ridgeline-textbench [--seconds S]
// Prints one line per measurement:
//   text=lists|bitmap chars=N ms=F chars_per_ms=F
//   hud frame_ms=F texts=N

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "render/GlState.h"
#include "ui/Font.h"
#include "ui/Interface.h"

namespace {

constexpr int windowWidth   = 1024;
constexpr int windowHeight  = 768;
constexpr int linesPerFrame = 20; // a HUD-sized frame of text
constexpr int lineLength    = 40;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Milliseconds per frame of `draw`, the fastest of several rounds, each
// ending with glFinish so the rasteriser's work is counted.
double TimeFrames(const std::function<void()>& draw, double seconds) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        int          frames = 0;
        const double start  = Now();
        do {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            draw();
            glFinish();
            ++frames;
        } while (Now() - start < seconds / 5 || frames < 3);
        best = std::min(best, (Now() - start) * 1000.0 / frames);
    }
    return best;
}

std::string Line(int index) {
    char line[lineLength + 1];
    snprintf(line, sizeof line, "Line %02d: Attack 7 + 2, Defence 5 (Red)..", index);
    return line;
}

void Report(const char* kind, double ms) {
    const int characters = linesPerFrame * lineLength;
    printf("text=%s chars=%d ms=%.3f chars_per_ms=%.1f\n", kind, characters, ms, characters / ms);
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 1.0;
    for (int index = 1; index + 1 < argc; ++index) {
        if (strcmp(argv[index], "--seconds") == 0) {
            seconds = atof(argv[index + 1]);
        }
    }
    glutInit(&argc, argv);
    glutInitDisplayString("rgb double depth stencil");
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("text benchmark");
    glutDisplayFunc([] {});
    glViewport(0, 0, windowWidth, windowHeight);

    CFontDescription description;
    description.name = "DejaVu Sans";
    description.size = 13;
    CFont font;
    font.SetDescription(description);
    if (!font.BuildBitmapFont()) {
        fprintf(stderr, "no font\n");
        return 1;
    }
    std::string lines[linesPerFrame];
    for (int index = 0; index < linesPerFrame; ++index) {
        lines[index] = Line(index);
    }
    const double lists = TimeFrames(
        [&] {
            const CWindowProjectionScope pixels(windowWidth, windowHeight);
            glColor3f(1.0f, 1.0f, 1.0f);
            for (int index = 0; index < linesPerFrame; ++index) {
                glRasterPos2i(20, windowHeight - 20 - index * 17);
                font.Print("%s", lines[index].c_str());
            }
        },
        seconds);
    Report("lists", lists);
    const double bitmaps = TimeFrames(
        [&] {
            const CWindowProjectionScope pixels(windowWidth, windowHeight);
            glColor3f(1.0f, 1.0f, 1.0f);
            for (int index = 0; index < linesPerFrame; ++index) {
                glRasterPos2i(20, windowHeight - 20 - index * 17);
                glutBitmapString(GLUT_BITMAP_HELVETICA_12,
                                 reinterpret_cast<const unsigned char*>(lines[index].c_str()));
            }
        },
        seconds);
    Report("bitmap", bitmaps);
    const double nothing = TimeFrames([] {}, seconds);
    printf("empty frame_ms=%.3f\n", nothing);

    CInterface hud("Interface\\interface.xml", windowWidth, windowHeight);
    CHudState  state;
    state.activeTile.terrainName = "Grass";
    state.options.showFramerate  = true;
    state.framesPerSecond        = 60.0f;
    CHudDrawList list;
    hud.BuildDrawList(state, list);
    int texts = 0, characters = 0;
    for (size_t index = 0; index < list.GetCount(); ++index) {
        if (list.GetItem(index).kind == CHudDrawItem::textItem) {
            ++texts;
            characters += static_cast<int>(strlen(list.GetItem(index).text));
        }
    }
    const double frame = TimeFrames([&] { hud.Draw(state); }, seconds);
    printf("hud frame_ms=%.3f texts=%d chars=%d\n", frame - nothing, texts, characters);
    return 0;
}
