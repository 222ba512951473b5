#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/Camera.h"
#include "app/Input.h"
#include "core/Heightmap.h"
#include "platform/KeyState.h"

namespace {

constexpr int width  = 800;
constexpr int height = 600;

CHeightmap FlatGround() {
    return CHeightmap(33, std::vector<int>(33 * 33, 10), 2048.0f, 255.0f);
}

// A camera in the middle of a flat map looking along +z and down; a counter on every command.
class InputTest : public ::testing::Test {
public:
    void SetUp() override {
        CKeyState::Reset();
        camera.SetPosition(CVector3(1000, 0, 1000), CVector3(1000, -100, 1100), CVector3(0, 1, 0));
        camera.SetHeightAboveGround(450.0f);
        CInputCommands& commands = input.Commands();
        commands.click           = [this] { ++clicks; };
        commands.cancel          = [this] { ++cancels; };
        commands.fireMode        = [this] { ++fireModes; };
        commands.finishUnit      = [this] { ++finishes; };
        commands.pointerMoved    = [this](int, int) { ++pointerMoves; };
        commands.warpPointer     = [this](int x, int y) { warps.push_back({x, y}); };
        PointAt(width / 2, height / 2);
    }
    void TearDown() override { CKeyState::Reset(); }

    void PointAt(int x, int y) {
        mouse.currentX = mouse.previousX = x;
        mouse.currentY = mouse.previousY = y;
    }
    void Frame(bool first = false) {
        CInputFrame frame;
        frame.firstFrame   = first;
        frame.frameTime    = first ? 0.0f : 0.02f;
        frame.windowWidth  = width;
        frame.windowHeight = height;
        input.ProcessInput(frame);
    }

    CHeightmap                    ground = FlatGround();
    CCamera                       camera{&ground};
    CMouseState                   mouse;
    CInput                        input{mouse, &camera};
    int                           clicks = 0, cancels = 0, fireModes = 0, finishes = 0, pointerMoves = 0;
    std::vector<std::vector<int>> warps;
};

TEST_F(InputTest, TheFirstFrameOnlyCentresTheCursor) {
    PointAt(5, 5); // in the corner: would scroll
    mouse.buttons = mouseLeft | mouseRight | mouseWheelForward;
    for (const unsigned char key : {'w', 'a', 'r', ' ', '\r'}) {
        CKeyState::OnCharacter(key, true);
    }
    CKeyState::OnSpecial(GLUT_KEY_LEFT, true);
    const CVector3 eye    = camera.GetEye();
    const CVector3 center = camera.GetCenter();
    Frame(true);
    EXPECT_EQ(camera.GetEye(), eye);
    EXPECT_EQ(camera.GetCenter(), center);
    EXPECT_EQ(clicks + cancels + fireModes + finishes + pointerMoves, 0);
    EXPECT_EQ(mouse.buttons & mouseWheelForward, mouseWheelForward) << "the wheel step is not consumed";
    ASSERT_EQ(warps.size(), 1u);
    EXPECT_EQ(warps[0], (std::vector<int>{width / 2, height / 2}));
    EXPECT_EQ(mouse.currentX, width / 2);
    EXPECT_EQ(mouse.previousY, height / 2);
}

TEST_F(InputTest, HoldingAButtonOrKeyGivesOneCommandPerPress) {
    struct Case {
        const char*   name;
        int           button;
        unsigned char key;
        int InputTest::*counter;
    };
    for (const Case& test :
         {Case{"left", mouseLeft, 0, &InputTest::clicks}, Case{"right", mouseRight, 0, &InputTest::cancels},
          Case{"space", 0, ' ', &InputTest::fireModes}, Case{"enter", 0, '\r', &InputTest::finishes}}) {
        auto press = [&](bool down) {
            if (test.button != 0) {
                mouse.buttons = down ? mouse.buttons | test.button : mouse.buttons & ~test.button;
            } else {
                CKeyState::OnCharacter(test.key, down);
            }
        };
        press(true);
        for (int frame = 0; frame < 5; ++frame) {
            Frame();
        }
        EXPECT_EQ(this->*test.counter, 1) << test.name;
        press(false);
        Frame();
        press(true);
        Frame();
        Frame();
        EXPECT_EQ(this->*test.counter, 2) << test.name;
        press(false);
        Frame();
    }
    EXPECT_EQ(pointerMoves, 4 * 9) << "the pointer is reported every frame";
}

TEST_F(InputTest, MiddleDragOnlyTurnsHorizontally) {
    mouse.buttons         = mouseMiddle;
    const CVector3 center = camera.GetCenter();
    mouse.previousY       = mouse.currentY - 30; // vertical drag only
    Frame();
    EXPECT_EQ(camera.GetCenter(), center) << "vertical motion never tilts";
    mouse.previousX = mouse.currentX - 1; // one pixel to the right turns right by 0.75°
    Frame();
    const CVector3 view = Normalize(camera.GetCenter() - camera.GetEye());
    EXPECT_LT(view.x, 0.0f);
    EXPECT_NEAR(std::atan2(-view.x, view.z) * 180.0f / 3.14159265f, 0.75f, 0.01f);
}

TEST_F(InputTest, AClickOrKeyTapBetweenTwoFramesIsNotLost) {
    Frame(true);
    Frame();
    input.OnMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, width / 2, height / 2);
    input.OnMouse(GLUT_LEFT_BUTTON, GLUT_UP, width / 2, height / 2);
    input.OnMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, width / 2, height / 2);
    input.OnMouse(GLUT_RIGHT_BUTTON, GLUT_UP, width / 2, height / 2);
    for (const unsigned char key : {' ', '\r', 'a'}) {
        CKeyState::OnCharacter(key, true);
        CKeyState::OnCharacter(key, false);
    }
    const CVector3 center = camera.GetCenter();
    Frame();
    EXPECT_EQ(std::vector<int>({clicks, cancels, fireModes, finishes}), std::vector<int>({1, 1, 1, 1}));
    EXPECT_FALSE(camera.GetCenter() == center) << "a tap of A turns for one frame";
    const CVector3 turned = camera.GetCenter();
    Frame();
    EXPECT_EQ(clicks + fireModes + finishes, 3) << "counted once";
    EXPECT_EQ(camera.GetCenter(), turned) << "and only for one frame";
}

TEST_F(InputTest, MouseCallbacksKeepTheButtonBits) {
    input.OnMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 3, 4);
    input.OnMouse(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 3, 4);
    input.OnMouse(3, GLUT_DOWN, 3, 4);
    input.OnMouse(4, GLUT_DOWN, 3, 4);
    input.OnMouse(3, GLUT_UP, 3, 4);
    EXPECT_EQ(mouse.buttons, mouseLeft | mouseMiddle | mouseWheelForward | mouseWheelBack);
    input.OnMouse(GLUT_LEFT_BUTTON, GLUT_UP, 7, 8);
    input.OnMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 7, 8);
    EXPECT_EQ(mouse.buttons, mouseRight | mouseMiddle | mouseWheelForward | mouseWheelBack);
    input.OnMotion(20, 30, false);
    EXPECT_EQ(pointerMoves, 1);
    input.OnMotion(21, 31, true);
    EXPECT_EQ(pointerMoves, 1) << "no picking during the first frame";
}

} // namespace
