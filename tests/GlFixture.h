#pragma once

#include <gtest/gtest.h>

#include "app/Application.h"

// Gives GL tests a current context: one hidden freeglut window per test
// process (double buffered, RGBA, depth and stencil), opened on first use.
// Tests draw into the back buffer and read it back with glReadPixels.
class GlTest : public ::testing::Test {
public:
    static constexpr int windowWidth  = 256;
    static constexpr int windowHeight = 256;

protected:
    static void SetUpTestSuite();
    void        SetUp() override;
};

// A GL test of the world's drawing: every test starts from the default
// application options (restored afterwards) and records message boxes
// instead of showing them.
class GlSceneTest : public GlTest {
protected:
    void SetUp() override;
    void TearDown() override;

    CApplication* app = nullptr;

private:
    CAppOptions saved;
};
