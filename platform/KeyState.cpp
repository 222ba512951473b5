#include "platform/KeyState.h"

#include <GL/freeglut.h>

#include <cctype>

namespace {

bool keysDown[static_cast<int>(PolledKey::Count)]    = {};
bool keysPressed[static_cast<int>(PolledKey::Count)] = {}; // since the last EndFrame

void Set(PolledKey key, bool down) {
    keysDown[static_cast<int>(key)] = down;
    keysPressed[static_cast<int>(key)] |= down;
}

constexpr unsigned char controlLast = 0x1A; // Ctrl+Z

// With Ctrl held the window library reports a letter as its control code
// (Ctrl+W is 0x17) and Space as 0; a key released with Ctrl held must still
// release its letter. Enter (0x0D) and the line feed (0x0A) stay themselves.
unsigned char WithoutControl(unsigned char key) {
    if (key == 0) {
        return ' ';
    }
    if (key <= controlLast && key != '\r' && key != '\n') {
        return static_cast<unsigned char>('a' + key - 1);
    }
    return static_cast<unsigned char>(std::tolower(key));
}

} // namespace

void CKeyState::OnCharacter(unsigned char key, bool down) {
    switch (WithoutControl(key)) {
    case 'w':
        Set(PolledKey::W, down);
        break;
    case 's':
        Set(PolledKey::S, down);
        break;
    case 'a':
        Set(PolledKey::A, down);
        break;
    case 'd':
        Set(PolledKey::D, down);
        break;
    case 'r':
        Set(PolledKey::R, down);
        break;
    case 'f':
        Set(PolledKey::F, down);
        break;
    case ' ':
        Set(PolledKey::Space, down);
        break;
    case '\r':
    case '\n':
        Set(PolledKey::Enter, down);
        break;
    case 127:
        Set(PolledKey::Delete, down);
        break;
    default:
        break;
    }
}

void CKeyState::OnSpecial(int key, bool down) {
    switch (key) {
    case GLUT_KEY_LEFT:
        Set(PolledKey::Left, down);
        break;
    case GLUT_KEY_RIGHT:
        Set(PolledKey::Right, down);
        break;
    case GLUT_KEY_UP:
        Set(PolledKey::Up, down);
        break;
    case GLUT_KEY_DOWN:
        Set(PolledKey::Down, down);
        break;
    case GLUT_KEY_DELETE:
        Set(PolledKey::Delete, down);
        break;
    default:
        break;
    }
}

bool CKeyState::IsDown(PolledKey key) {
    const int index = static_cast<int>(key);
    return key != PolledKey::Count && (keysDown[index] || keysPressed[index]);
}

void CKeyState::EndFrame() {
    for (bool& pressed : keysPressed) {
        pressed = false;
    }
}

void CKeyState::Reset() {
    EndFrame();
    for (bool& down : keysDown) {
        down = false;
    }
}
