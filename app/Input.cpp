#include "app/Input.h"

#include <GL/freeglut.h>

#include <cmath>

#include "core/Camera.h"
#include "platform/KeyState.h"

namespace {

int ButtonBit(int button) {
    switch (button) {
    case GLUT_LEFT_BUTTON:
        return mouseLeft;
    case GLUT_RIGHT_BUTTON:
        return mouseRight;
    case GLUT_MIDDLE_BUTTON:
        return mouseMiddle;
    case 3:
        return mouseWheelForward;
    case 4:
        return mouseWheelBack;
    default:
        return 0;
    }
}

template <typename Function, typename... Arguments> void Call(const Function& function, Arguments... arguments) {
    if (function) {
        function(arguments...);
    }
}

} // namespace

void CInput::OnMouse(int button, int buttonState, int x, int y) {
    const int bit = ButtonBit(button);
    if (buttonState == GLUT_DOWN) {
        mouse.buttons |= bit;
        pressedSinceFrame |= bit & (mouseLeft | mouseRight);
    } else if (bit == mouseLeft || bit == mouseRight || bit == mouseMiddle) {
        // Wheel "ups" are ignored: ProcessInput consumes the wheel bits.
        mouse.buttons &= ~bit;
    }
    mouse.currentX = x;
    mouse.currentY = y;
}

void CInput::OnMotion(int x, int y, bool firstFrame) {
    mouse.previousX = mouse.currentX;
    mouse.previousY = mouse.currentY;
    mouse.currentX  = x;
    mouse.currentY  = y;
    if (!firstFrame) {
        Call(commands.pointerMoved, x, y);
    }
}

void CInput::OnCharacter(unsigned char key) {
    switch (key) {
    case 'c':
    case 'C':
        Call(commands.teamView);
        break;
    case 'h':
    case 'H':
    case '?':
        Call(commands.help);
        break;
    default:
        break;
    }
}

void CInput::OnSpecialKey(int key) {
    if (key == GLUT_KEY_HOME) {
        Call(commands.teamView);
    }
}

bool CInput::IsNewPress(bool down, bool& handled) {
    if (!down) {
        handled = false;
        return false;
    }
    if (handled) {
        return false;
    }
    handled = true;
    return true;
}

void CInput::ProcessInput(const CInputFrame& frame) {
    if (frame.firstFrame) {
        CentreCursor(frame);
        return;
    }
    Call(commands.pointerMoved, mouse.currentX, mouse.currentY);
    pickValid = frame.editorMode && commands.pickPoint && commands.pickPoint(pickX, pickZ);
    ProcessButtons(frame.editorMode);
    ProcessMouseCamera(frame);
    ProcessKeys(frame);
    mouse.previousX = mouse.currentX;
    mouse.previousY = mouse.currentY;
    if (frame.editorMode && pickValid && CKeyState::IsDown(PolledKey::Delete)) {
        Call(commands.removeObjectsNear, pickX, pickZ);
    }
    CKeyState::EndFrame();
}

void CInput::CentreCursor(const CInputFrame& frame) {
    const int x = frame.windowWidth / 2;
    const int y = frame.windowHeight / 2;
    Call(commands.warpPointer, x, y);
    mouse.currentX  = x;
    mouse.currentY  = y;
    mouse.previousX = x;
    mouse.previousY = y;
}

// A press and release between two frames still counts as one press.
void CInput::ProcessButtons(bool editorMode) {
    const int down    = mouse.buttons | pressedSinceFrame;
    pressedSinceFrame = 0;
    if (IsNewPress((down & mouseLeft) != 0, leftHandled)) {
        if (!editorMode) {
            Call(commands.click);
        } else if (pickValid) {
            Call(commands.placeObject, pickX, pickZ);
        }
    }
    if (IsNewPress((down & mouseRight) != 0, rightHandled)) {
        // Off the terrain there is no tile under the cursor to paint.
        if (!editorMode) {
            Call(commands.cancel);
        } else if (pickValid) {
            Call(commands.paintTile);
        }
    }
}

void CInput::ProcessMouseCamera(const CInputFrame& frame) {
    if (camera == nullptr) {
        return;
    }
    if ((mouse.buttons & mouseMiddle) != 0) {
        const int dx = mouse.currentX - mouse.previousX;
        if (dx != 0) {
            camera->Rotate(-(dragTicksPerPixel * dx), 0);
        }
    } else if ((mouse.buttons & mouseWheelBack) != 0) {
        camera->MoveAlongView(-wheelAmount, false, frame.frameTime);
        mouse.buttons &= ~mouseWheelBack;
    } else if ((mouse.buttons & mouseWheelForward) != 0) {
        camera->MoveAlongView(wheelAmount, false, frame.frameTime);
        mouse.buttons &= ~mouseWheelForward;
    } else {
        ScrollAtEdges(frame);
    }
}

void CInput::ScrollAtEdges(const CInputFrame& frame) {
    const float extent = camera->GroundExtent();
    const float lowest = -scrollOverhang * extent;
    const float most   = (1.0f + scrollOverhang) * extent;
    const int   x      = mouse.currentX;
    const int   y      = mouse.currentY;
    if (x < scrollMargin && camera->GetEye().x < most) {
        camera->Strafe(-keyAmount, frame.frameTime);
    }
    if (x > frame.windowWidth - scrollMargin && camera->GetEye().x > lowest) {
        camera->Strafe(keyAmount, frame.frameTime);
    }
    if (y < scrollMargin && camera->GetEye().z < most) {
        camera->MoveAlongView(keyAmount, true, frame.frameTime);
    }
    if (y > frame.windowHeight - scrollMargin && camera->GetEye().z > lowest) {
        camera->MoveAlongView(-keyAmount, true, frame.frameTime);
    }
}

void CInput::ProcessKeys(const CInputFrame& frame) {
    if (IsNewPress(CKeyState::IsDown(PolledKey::Space), spaceHandled)) {
        Call(commands.fireMode);
    }
    if (IsNewPress(CKeyState::IsDown(PolledKey::Enter), enterHandled)) {
        Call(commands.finishUnit);
    }
    if (camera != nullptr) {
        ProcessCameraKeys(frame.frameTime);
    }
}

void CInput::ProcessCameraKeys(float frameTime) {
    const int ticks = static_cast<int>(std::trunc(frameTime * keyTicksPerSecond));
    if (CKeyState::IsDown(PolledKey::W)) {
        camera->MoveAlongView(keyAmount, false, frameTime);
    }
    if (CKeyState::IsDown(PolledKey::S)) {
        camera->MoveAlongView(-keyAmount, false, frameTime);
    }
    if (CKeyState::IsDown(PolledKey::A)) {
        camera->Rotate(ticks, 0);
    }
    if (CKeyState::IsDown(PolledKey::D)) {
        camera->Rotate(-ticks, 0);
    }
    if (CKeyState::IsDown(PolledKey::R)) {
        camera->Rotate(0, ticks);
    }
    if (CKeyState::IsDown(PolledKey::F)) {
        camera->Rotate(0, -ticks);
    }
    if (CKeyState::IsDown(PolledKey::Left)) {
        camera->Strafe(-keyAmount, frameTime);
    }
    if (CKeyState::IsDown(PolledKey::Right)) {
        camera->Strafe(keyAmount, frameTime);
    }
    if (CKeyState::IsDown(PolledKey::Up)) {
        camera->MoveAlongView(keyAmount, true, frameTime);
    }
    if (CKeyState::IsDown(PolledKey::Down)) {
        camera->MoveAlongView(-keyAmount, true, frameTime);
    }
}
