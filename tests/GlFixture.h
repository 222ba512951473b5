#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/Application.h"

// Gives GL tests a current context: one hidden freeglut window per test process (double buffered, RGBA, depth
// and stencil), opened on first use. Tests draw into the back buffer and read it back.
class GlTest : public ::testing::Test {
public:
    static constexpr int windowWidth  = 256;
    static constexpr int windowHeight = 256;

protected:
    static void SetUpTestSuite();
    void        SetUp() override;
};

// A GL test of the world's drawing: every test starts from the default application options (restored afterwards)
// and records message boxes instead of showing them.
class GlSceneTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    CApplication* app = nullptr;

private:
    CAppOptions saved;
};

// A tile file in which every tile is usable ground of terrain type 0.
std::string UsableTilesText();
// The level folder "TestLevel": its terrain parameters (none for nullptr), heightmap and usable tiles.
void WriteTestLevel(const char* params, const std::string& heightmap);

// Copies the vertex programs of cel shading from data/ into "shader/" of the working directory.
void CopyCelPrograms();

// The window's back buffer as RGBA rows, bottom row first.
struct CPicture {
    int                  width = 0, height = 0;
    std::vector<uint8_t> pixels;

    // The whole window, or the given size from the bottom left corner.
    static CPicture Read(int width = GlTest::windowWidth, int height = GlTest::windowHeight);
    const uint8_t*  At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    // True when each of red, green and blue is within `tolerance` of `rgb`.
    bool Is(int x, int y, const uint8_t rgb[3], int tolerance) const;
    int  Count(const std::function<bool(const uint8_t*)>& accept) const;
};

// Pixels whose colour differs between two pictures by more than `tolerance` in some channel.
int CountDifferences(const CPicture& a, const CPicture& b, int tolerance);

// Clears colour and depth to `clear` (red, green, blue 0..1) and sets a view from `eye` to `centre` (y up unless
// `up` is given): a perspective one with the vertical field of view `fieldOfView` in degrees, or with fieldOfView
// 0 an orthographic one `halfSize` units to each side. The modelview matrix is current afterwards.
struct CView {
    double eye[3], centre[3];
    double fieldOfView = 45.0;
    double halfSize    = 0.0;
    double nearPlane   = 1.0;
    double farPlane    = 8000.0;
    double up[3]       = {0.0, 1.0, 0.0};
};
void ClearAndLook(const float clear[3], const CView& view);
