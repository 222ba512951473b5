#include <GL/glu.h>

#include <algorithm>
#include <string>

#include "GlFixture.h"
#include "TestSupport.h"
#include "platform/GlyphLists.h"
#include "render/GlState.h"
#include "ui/Font.h"

namespace {

CFontDescription TextFont(const char* name = "DejaVu Sans", int size = 13) {
    CFontDescription description;
    description.name   = name;
    description.size   = size;
    description.colour = {1.0f, 1.0f, 1.0f, 1.0f};
    return description;
}

class FontGlTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }

    // Prints at (x, y) in window pixels in pure red; returns the raster x after.
    static float PrintAt(const CFont& font, int x, int y, const char* text) {
        const CWindowProjectionScope pixels(windowWidth, windowHeight);
        glColor3f(1.0f, 0.0f, 0.0f);
        glRasterPos2i(x, y);
        font.Print("%s", text);
        GLfloat position[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        return position[0];
    }
};

bool IsRed(const uint8_t* pixel) {
    return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0;
}

// 2D text advances the raster position; codes outside 32..127 and an empty
// text draw and move nothing, and at most 255 characters are drawn.
TEST_F(FontGlTest, TextAdvancesTheRasterPositionSkippingUnknownCodesUpTo255Characters) {
    CFont font;
    font.SetDescription(TextFont());
    ASSERT_TRUE(font.BuildBitmapFont());
    const float plainEnd = PrintAt(font, 10, 200, "Ab");
    const int   plain    = CPicture::Read().Count(IsRed);
    EXPECT_GT(plainEnd, 10.0f + 2 * 5);
    SetUp();
    EXPECT_EQ(PrintAt(font, 10, 200, "\001\037A\200\377b\t"), plainEnd);
    EXPECT_EQ(CPicture::Read().Count(IsRed), plain);
    EXPECT_EQ(PrintAt(font, 10, 100, ""), 10.0f);
    EXPECT_FLOAT_EQ(PrintAt(font, 0, 50, std::string(300, 'l').c_str()), 255 * PrintAt(font, 0, 50, "l"));
}

TEST_F(FontGlTest, UnknownFacesMapToAnInstalledFontAndNoFontsSkipText) {
    CFont unknown;
    unknown.SetDescription(TextFont("No Such Face At All"));
    EXPECT_TRUE(unknown.BuildBitmapFont());

    CTempWorkDir work;
    MakeFolders("nofonts");
    ASSERT_TRUE(CGlyphLists::UseFontFolder((work.Path() + "/nofonts").c_str()));
    CFont bitmap, outline;
    bitmap.SetDescription(TextFont());
    outline.SetDescription(TextFont());
    const bool bitmapBuilt  = bitmap.BuildBitmapFont();
    const bool outlineBuilt = outline.BuildOutlineFont(640);
    CGlyphLists::UseFontFolder(nullptr);
    EXPECT_FALSE(bitmapBuilt);
    EXPECT_FALSE(outlineBuilt);
    EXPECT_EQ(bitmap.GetListBase(), 0u);
    PrintAt(bitmap, 10, 10, "nothing");
    EXPECT_EQ(CPicture::Read().Count(IsRed), 0);
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

} // namespace
