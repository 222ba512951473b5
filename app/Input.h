#pragma once

#include <functional>

#include "app/Application.h"

class CCamera;

// What the input calls in the rest of the program. The level and the editor
// set these once they exist; an unset operation is skipped.
struct CInputCommands {
    std::function<void(int x, int y)> pointerMoved; // level: hover and tile pick
    std::function<void()>             click;        // level: left button
    std::function<void()>             cancel;       // level: right button
    std::function<void()>             fireMode;     // level: Space
    std::function<void()>             finishUnit;   // level: Enter
    std::function<void()>             teamView;     // level: C or Home, the camera back to the team's view
    std::function<void()>             help;         // level: H or '?', the help panel on and off
    // Editor mode: the world (x, z) where the cursor ray meets the terrain.
    std::function<bool(float& x, float& z)> pickPoint;
    std::function<void(float x, float z)>   placeObject;
    std::function<void()>                   paintTile;
    std::function<void(float x, float z)>   removeObjectsNear;
    // Moves the system cursor (screen pixels); glutWarpPointer in the program.
    std::function<void(int x, int y)> warpPointer;
};

// What one frame tells the input about the program.
struct CInputFrame {
    bool  firstFrame   = false;
    bool  editorMode   = false;
    float frameTime    = 0.0f; // seconds
    int   windowWidth  = 0;
    int   windowHeight = 0;
};

// Turns the window library's mouse callbacks into the mouse state and, once
// per frame, mouse and polled keys into camera moves and commands.
class CInput {
public:
    // Edge scrolling starts this many pixels from a window edge.
    static constexpr int scrollMargin = 50;
    // Turning and tilting: ticks per second of key hold (0.05° each, so 250°/s).
    static constexpr float keyTicksPerSecond = 2500.0f * 2.0f;
    // A middle-button drag of one pixel turns by this many ticks (0.75°).
    static constexpr int   dragTicksPerPixel = 15;
    static constexpr float keyAmount         = 4.0f;
    static constexpr float wheelAmount       = 40.0f;
    // Edge scrolling keeps the eye within this share of the terrain beyond its border.
    static constexpr float scrollOverhang = 0.2f;

    // Both are borrowed; the camera may be null until it exists.
    CInput(CMouseState& mouse, CCamera* camera) : mouse(mouse), camera(camera) {}

    void            SetCamera(CCamera* value) { camera = value; }
    CInputCommands& Commands() { return commands; }

    void OnMouse(int button, int buttonState, int x, int y);
    void OnMotion(int x, int y, bool firstFrame);
    // Keys that act once a press, as the window library reports them.
    void OnCharacter(unsigned char key);
    void OnSpecialKey(int key);
    void ProcessInput(const CInputFrame& frame);

private:
    void CentreCursor(const CInputFrame& frame);
    void ProcessButtons(bool editorMode);
    void ProcessMouseCamera(const CInputFrame& frame);
    void ScrollAtEdges(const CInputFrame& frame);
    void ProcessKeys(const CInputFrame& frame);
    void ProcessCameraKeys(float frameTime);
    // True exactly on the first frame `down` is seen after being up.
    static bool IsNewPress(bool down, bool& handled);

    CMouseState&   mouse;
    CCamera*       camera;
    CInputCommands commands;
    bool           pickValid         = false;
    float          pickX             = 0.0f;
    float          pickZ             = 0.0f;
    int            pressedSinceFrame = 0; // left and right presses since the last frame
    bool           leftHandled       = false;
    bool           rightHandled      = false;
    bool           spaceHandled      = false;
    bool           enterHandled      = false;
};
