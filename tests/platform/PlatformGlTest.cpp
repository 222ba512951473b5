#include <GL/gl.h>

#include <string>

#include "GlFixture.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "platform/DisplayModes.h"
#include "platform/GlEntryPoints.h"

using BindBufferFunction = void (*)(GLenum, GLuint);

TEST_F(GlTest, EntryPointsOfOfferedExtensionsAreFoundAndNamelessOnesMissingAndLogged) {
    BindBufferFunction function = reinterpret_cast<BindBufferFunction>(1);
    EXPECT_FALSE(CGlEntryPoints::Get("", function));
    EXPECT_EQ(function, nullptr);
    EXPECT_FALSE(CGlEntryPoints::Get(nullptr, function));
    EXPECT_NE(ReadFile("log_error.txt").find("no entry point"), std::string::npos);
    ASSERT_TRUE(CApplication::IsExtensionSupported("GL_ARB_vertex_buffer_object"));
    EXPECT_TRUE(CGlEntryPoints::Get("glBindBufferARB", function));
    EXPECT_NE(function, nullptr);
    function(0x8892 /* GL_ARRAY_BUFFER_ARB */, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The test display is Xvfb at 1280 x 1024 with 24-bit colour.
TEST_F(GlTest, TheDisplayListsItsCurrentMode) {
    bool found = false;
    for (const CDisplayMode& mode : CDisplayModes::Enumerate()) {
        EXPECT_GT(mode.width, 0);
        EXPECT_GT(mode.height, 0);
        EXPECT_GE(mode.refreshRate, 0);
        found |= mode.width == 1280 && mode.height == 1024 && mode.bitsPerPixel == 32;
    }
    EXPECT_TRUE(found) << "1280x1024 at 32 bits per pixel";
}
