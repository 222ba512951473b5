#pragma once

// The up/down state of the keys that the frame loop polls, tracked from the
// window library's key-down and key-up callbacks (with key repeat ignored).
// A key pressed and released between two polls still reads as down until
// the poll ends with EndFrame, so a quick tap at a low frame rate is seen.
enum class PolledKey { W, S, A, D, R, F, Space, Enter, Delete, Left, Right, Up, Down, Count };

class CKeyState {
public:
    // Character keys as GLUT reports them (letters in either case, or as
    // control codes while Ctrl is held).
    static void OnCharacter(unsigned char key, bool down);
    // GLUT special keys (GLUT_KEY_LEFT and so on).
    static void OnSpecial(int key, bool down);
    // Held now, or pressed since the last EndFrame.
    static bool IsDown(PolledKey key);
    // The frame's poll is over: forgets the taps already released.
    static void EndFrame();
    // Forgets every key, e.g. when the window loses focus.
    static void Reset();
};
