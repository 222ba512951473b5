#pragma once

// The up/down state of the keys that the frame loop polls, tracked from the
// window library's key-down and key-up callbacks (with key repeat ignored).
enum class PolledKey { W, S, A, D, R, F, Space, Enter, Delete, Left, Right, Up, Down, Count };

class CKeyState {
public:
    // Character keys as GLUT reports them (letters in either case, or as
    // control codes while Ctrl is held).
    static void OnCharacter(unsigned char key, bool down);
    // GLUT special keys (GLUT_KEY_LEFT and so on).
    static void OnSpecial(int key, bool down);
    static bool IsDown(PolledKey key);
    // Forgets every key, e.g. when the window loses focus.
    static void Reset();
};
