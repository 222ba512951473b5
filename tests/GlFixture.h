#pragma once

#include <gtest/gtest.h>

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
