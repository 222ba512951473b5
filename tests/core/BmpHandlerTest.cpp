#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "render/ImageTools.h"
#include "TestSupport.h"
#include "core/BmpHandler.h"

namespace {

// Lines of the error log of this test's working directory.
int ErrorLineCount() {
    return CountLinesWith(ReadFile("log_error.txt"), "");
}

// Every pixel as red, green, blue, top row first.
std::vector<uint8_t> Pixels(const CBmpHandler& image) {
    std::vector<uint8_t> pixels;
    for (int row = 0; row < image.GetHeight(); ++row) {
        for (int column = 0; column < image.GetWidth(); ++column) {
            for (const int value :
                 {image.GetRed(row, column), image.GetGreen(row, column), image.GetBlue(row, column)}) {
                pixels.push_back(static_cast<uint8_t>(value));
            }
        }
    }
    return pixels;
}

struct ImageCase {
    int         width;
    int         height;
    const char* format; // ImageMagick output format prefix
};

class BmpHandlerReadsEncoderOutput : public ::testing::TestWithParam<ImageCase> {};

// Row lengths 9 (padded to 12), 12 (no padding) and 15 (padded to 16), the
// plain 40-byte header and the larger header whose pixels start at offset 138.
INSTANTIATE_TEST_SUITE_P(Sizes, BmpHandlerReadsEncoderOutput,
                         ::testing::Values(ImageCase{3, 2, "bmp3"}, ImageCase{4, 3, "bmp3"}, ImageCase{5, 4, "bmp3"},
                                           ImageCase{1, 1, "bmp3"}, ImageCase{3, 2, "bmp"}));

TEST_P(BmpHandlerReadsEncoderOutput, EveryPixelExactly) {
    const ImageCase      param = GetParam();
    std::vector<uint8_t> raw   = CountingBytes(static_cast<size_t>(param.width) * param.height * 3);
    ASSERT_TRUE(ConvertRawImage(raw, "rgb", param.width, param.height, std::string(param.format) + ":image.bmp"));
    CBmpHandler image;
    image.Load("image.bmp", false);
    EXPECT_EQ(image.GetWidth(), param.width);
    EXPECT_EQ(Pixels(image), raw);
    EXPECT_EQ(ErrorLineCount(), 0) << ReadFile("log_error.txt");
}

TEST(BmpHandler, OutOfRangeQueriesGiveMinusOneAndAlphaIsZero) {
    CBmpHandler image;
    image.Create("made.bmp", false, 3, 2);
    image.SetPixel(1, 2, 10, 20, 30, 99);
    EXPECT_EQ(image.GetRed(1, 2), 10);
    EXPECT_EQ(image.GetAlpha(1, 2), 0);
    EXPECT_EQ(image.GetBitsPerPixel(), 24);
    const int rows[]    = {2, 0, -1, 0};
    const int columns[] = {0, 3, 0, -1};
    for (int i = 0; i < 4; ++i) {
        const int r = rows[i], c = columns[i];
        EXPECT_EQ(
            std::vector<int>({image.GetRed(r, c), image.GetGreen(r, c), image.GetBlue(r, c), image.GetAlpha(r, c)}),
            std::vector<int>(4, -1))
            << r << "," << c;
    }
    image.SetPixel(2, 0, 1, 1, 1, 0); // outside: ignored, no crash
    image.SetPixel(0, -1, 1, 1, 1, 0);
    EXPECT_EQ(image.GetRed(0, 0), 0);
}

// What Save writes is read back exactly by ImageMagick and by Load.
TEST(BmpHandler, SavedFileDecodesExactlyWithAnIndependentReader) {
    const int            width = 3, height = 2;
    std::vector<uint8_t> raw = CountingBytes(width * height * 3);
    {
        CBmpHandler image;
        image.Create("saved.bmp", false, width, height);
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const size_t at = (static_cast<size_t>(row) * width + column) * 3;
                image.SetPixel(row, column, raw[at], raw[at + 1], raw[at + 2], 0);
            }
        }
        image.Save();
    }
    EXPECT_EQ(ReadFile("saved.bmp").size(), 54u + 2 * 12);
    ASSERT_EQ(std::system("convert saved.bmp -depth 8 rgb:decoded.bin 2>/dev/null"), 0);
    EXPECT_EQ(ReadFile("decoded.bin"), std::string(raw.begin(), raw.end()));
    CBmpHandler reread;
    reread.Load("saved.bmp", false);
    EXPECT_EQ(reread.GetHeight(), height);
    EXPECT_EQ(Pixels(reread), raw);
}

TEST(BmpHandler, WriteBackSavesOnEverySetPixelAndOnDestruction) {
    {
        CBmpHandler image;
        image.Create("back.bmp", true, 2, 2);
        image.SetPixel(0, 0, 200, 100, 50, 0);
        CBmpHandler reader;
        reader.Load("back.bmp", false);
        EXPECT_EQ(reader.GetRed(0, 0), 200);
        image.SetPixel(1, 1, 7, 8, 9, 0);
        WriteFile("back.bmp", "overwritten");
    }
    CBmpHandler reader;
    reader.Load("back.bmp", false);
    EXPECT_EQ(reader.GetRed(0, 0), 200);
    EXPECT_EQ(reader.GetBlue(1, 1), 9);
}

// A file that could not be read must not be replaced by an empty image when
// the handler was asked to write back.
TEST(BmpHandler, FailedLoadWithWriteBackLeavesTheFileAlone) {
    const std::string junk = "BM this is not really an image";
    WriteFile("junk.bmp", junk);
    {
        CBmpHandler image;
        image.Load("junk.bmp", true);
        EXPECT_EQ(image.GetWidth(), 0);
        image.SetPixel(0, 0, 1, 2, 3, 0);
    }
    EXPECT_EQ(ReadFile("junk.bmp"), junk);
}

TEST(BmpHandler, MissingFileGivesEmptyImageWithoutMessage) {
    CBmpHandler image;
    image.Load("nothing.bmp", false);
    EXPECT_TRUE(image.GetWidth() == 0 && image.GetHeight() == 0 && image.GetRed(0, 0) == -1);
    EXPECT_FALSE(FileExists("log_error.txt"));
}

// A file cut inside its pixel data keeps its size; every missing byte reads
// 0xFF and is reported with its row and column.
TEST(BmpHandler, TruncatedPixelDataReadsAsWhiteAndLogsEachMissingByte) {
    std::vector<uint8_t> raw = CountingBytes(3 * 2 * 3);
    ASSERT_TRUE(ConvertRawImage(raw, "rgb", 3, 2, "bmp3:whole.bmp"));
    const std::string whole = ReadFile("whole.bmp");
    // Keep the bottom row (stored first, 12 bytes) and the blue byte of the
    // top row's first pixel.
    WriteFile("cut.bmp", whole.substr(0, 54 + 12 + 1));
    CBmpHandler image;
    image.Load("cut.bmp", false);
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetRed(1, 0), raw[9]);
    EXPECT_EQ(image.GetBlue(0, 0), raw[2]);
    EXPECT_EQ(image.GetGreen(0, 0), 0xFF);
    EXPECT_EQ(image.GetRed(0, 2), 0xFF);
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(ErrorLineCount(), 8) << log; // 2 bytes of pixel 0 and 3 of pixels 1 and 2
    EXPECT_EQ(log.rfind("CBmpHandler::Load\tcut.bmp EOF at i=0 j=0\n", 0), 0u) << log;
    EXPECT_EQ(CountLinesWith(log, "cut.bmp EOF at i=0 j=2"), 3) << log;
}

struct CutCase {
    size_t length;
    int    width; // expected after Load
    int    height;
};

class BmpHandlerCutFile : public ::testing::TestWithParam<CutCase> {};

// A 16 x 16 image (768 bytes of pixels) cut at several offsets: inside the
// headers it is empty; up to half the data missing still loads; more missing
// is a file that lies about its size.
INSTANTIATE_TEST_SUITE_P(Offsets, BmpHandlerCutFile,
                         ::testing::Values(CutCase{0, 0, 0}, CutCase{2, 0, 0}, CutCase{13, 0, 0}, CutCase{53, 0, 0},
                                           CutCase{54, 0, 0}, CutCase{54 + 100, 0, 0}, CutCase{54 + 400, 16, 16},
                                           CutCase{54 + 767, 16, 16}));

TEST_P(BmpHandlerCutFile, LoadsOrRefusesWithoutReadingPastTheEnd) {
    ASSERT_TRUE(ConvertRawImage(CountingBytes(16 * 16 * 3), "rgb", 16, 16, "bmp3:whole.bmp"));
    WriteFile("cut.bmp", ReadFile("whole.bmp").substr(0, GetParam().length));
    CBmpHandler image;
    image.Load("cut.bmp", false);
    EXPECT_EQ(image.GetWidth(), GetParam().width);
    EXPECT_EQ(image.GetHeight(), GetParam().height);
    // Every load that lost bytes says so, and the log stays bounded.
    EXPECT_GT(ErrorLineCount(), 0);
    EXPECT_LE(ErrorLineCount(), CBmpHandler::maxEofLines + 1);
}

struct HeaderCase {
    const char* label;
    size_t      offset; // of the field changed in the info header of a 4 x 4 image
    uint32_t    value;
    bool        wide; // 32-bit field, else 16-bit
};

class BmpHandlerBadHeader : public ::testing::TestWithParam<HeaderCase> {};

INSTANTIATE_TEST_SUITE_P(
    Fields, BmpHandlerBadHeader,
    ::testing::Values(HeaderCase{"huge width", 18, 1000000000u, true}, HeaderCase{"huge height", 22, 0x7FFFFFFFu, true},
                      HeaderCase{"negative width", 18, 0xFFFFFFFCu, true}, HeaderCase{"zero height", 22, 0, true},
                      HeaderCase{"top-down", 22, 0xFFFFFFFCu, true},
                      HeaderCase{"above the side limit", 18, 16385, true},
                      HeaderCase{"claims far more rows", 22, 4000, true}, HeaderCase{"8 bits", 28, 8, false},
                      HeaderCase{"32 bits", 28, 32, false}, HeaderCase{"compressed", 30, 1, true},
                      HeaderCase{"offset past the end", 10, 5000, true}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return CaseName(info.param.label); });

TEST_P(BmpHandlerBadHeader, GivesAnEmptyImageAndOneErrorLine) {
    ASSERT_TRUE(ConvertRawImage(CountingBytes(4 * 4 * 3), "rgb", 4, 4, "bmp3:good.bmp"));
    std::string bytes = ReadFile("good.bmp");
    PutLittleEndian(bytes, GetParam().offset, GetParam().value, GetParam().wide ? 4 : 2);
    WriteFile("bad.bmp", bytes);
    CBmpHandler image;
    image.Load("bad.bmp", false);
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(ErrorLineCount(), 1);
    EXPECT_EQ(log.rfind("CBmpHandler::Load\tbad.bmp ", 0), 0u) << log;
}

} // namespace
