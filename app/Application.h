#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The graphics and render options. Capability flags (read from
// "gfxconfig.ini" and cleared when their extension is missing) decide at
// creation time which GPU objects exist; render options are read at the
// moment of use and switched live with the function keys.
struct CAppOptions {
    bool fullscreen          = false;
    bool textureCompression  = false;
    bool sgiMipmap           = false;
    bool vertexBufferObjects = false;
    bool vertexShader        = false;
    bool displayLists        = true;
    bool multitexture        = false;
    bool showFramerate       = false;
    bool debugInfo           = false;
    bool showRenderInfo      = true;
    bool editorMode          = false;
    bool sound               = false;
    bool wireframe           = false;
    bool levelOfDetail       = true;
    int  mipmapMode          = 3; // 1 off, 2 bilinear, 3 trilinear
    int  textureFilter       = 2; // 1 nearest, 2 linear
    int  renderMode          = 2; // 1 buffer objects, 2 vertex arrays, 3 immediate mode
    bool frustumCulling      = true;
    bool transparency        = true;
};

// Mouse buttons as bits of CMouseState::buttons.
enum MouseButtonBit {
    mouseLeft         = 1,
    mouseRight        = 2,
    mouseMiddle       = 4,
    mouseWheelForward = 8,
    mouseWheelBack    = 16,
};

// Cursor positions are window pixels with the origin at the top left; -1
// until the first event.
struct CMouseState {
    int buttons   = 0;
    int previousX = -1;
    int previousY = -1;
    int currentX  = -1;
    int currentY  = -1;
};

// The frame clock: counter ticks of a monotonic clock.
struct CFrameTimer {
    float   fps       = 0.0f;
    int64_t frequency = 0;
    int64_t lastCount = 0;
    int64_t lastDelta = 0;
};

// The one application object, reached with GetApp().
class CApplication {
public:
    enum State { stateStarting = 0, stateRunning = 1, stateQuitting = 2 };

    static constexpr size_t debugLineSize = 512;

    // Seconds of the last frame; 0 during the first frame.
    float GetFrameTime() const;
    // Records one overlay line for this frame, only with debug info or editor mode on.
    void                            AddDebugLine(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::vector<std::string>& GetDebugLines() const { return debugLines; }
    void                            ClearDebugLines() { debugLines.clear(); }
    // True when `name` is one of the words of the GL extension string.
    static bool IsExtensionSupported(const char* name);
    static bool IsWordInList(const char* list, const char* name);

    int GetWindowWidth() const { return windowWidth; }
    int GetWindowHeight() const { return windowHeight; }

    CAppOptions options;
    CMouseState mouse;

private:
    friend CApplication* GetApp();
    CApplication();

    int                      state        = stateStarting;
    int                      windowWidth  = 0;
    int                      windowHeight = 0;
    bool                     firstFrame   = true;
    std::vector<std::string> debugLines;
    CFrameTimer              frameTimer;
};

CApplication* GetApp();
