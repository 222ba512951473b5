#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "render/ImageTools.h"
#include "TestSupport.h"
#include "core/BmpHandler.h"

namespace {

int ErrorLineCount() {
    return CountLinesWith(ReadFile("log_error.txt"), "");
}

// Every pixel as red, green, blue, top row first.
std::vector<uint8_t> Pixels(const CBmpHandler& image) {
    std::vector<uint8_t> pixels;
    for (int at = 0; at < image.GetWidth() * image.GetHeight(); ++at) {
        const int row = at / image.GetWidth(), column = at % image.GetWidth();
        for (const int value : {image.GetRed(row, column), image.GetGreen(row, column), image.GetBlue(row, column)}) {
            pixels.push_back(static_cast<uint8_t>(value));
        }
    }
    return pixels;
}

// Row lengths 9 (padded to 12), 12 and 15 (padded to 16), the plain 40-byte header and the larger header whose
// pixels start at offset 138.
TEST(BmpHandler, ReadsEveryPixelOfEncoderOutputExactly) {
    const std::tuple<int, int, const char*> cases[] = {
        {3, 2, "bmp3"}, {4, 3, "bmp3"}, {5, 4, "bmp3"}, {1, 1, "bmp3"}, {3, 2, "bmp"}}; // ImageMagick's output format
    for (const auto& [width, height, format] : cases) {
        std::vector<uint8_t> raw = CountingBytes(static_cast<size_t>(width) * height * 3);
        ASSERT_TRUE(ConvertRawImage(raw, "rgb", width, height, std::string(format) + ":image.bmp"));
        CBmpHandler image;
        image.Load("image.bmp", false);
        EXPECT_EQ(image.GetWidth(), width) << format << " " << width;
        EXPECT_EQ(Pixels(image), raw) << format << " " << width;
    }
    EXPECT_EQ(ErrorLineCount(), 0) << ReadFile("log_error.txt");
}

TEST(BmpHandler, OutOfRangeQueriesGiveMinusOneAndAlphaIsZero) {
    CBmpHandler image;
    image.Create("made.bmp", false, 3, 2);
    image.SetPixel(1, 2, 10, 20, 30, 99);
    EXPECT_EQ(image.GetRed(1, 2), 10);
    EXPECT_EQ(image.GetAlpha(1, 2), 0);
    for (const auto& [r, c] :
         {std::make_pair(2, 0), std::make_pair(0, 3), std::make_pair(-1, 0), std::make_pair(0, -1)}) {
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
        for (size_t at = 0; at < raw.size(); at += 3) {
            image.SetPixel(at / 3 / width, at / 3 % width, raw[at], raw[at + 1], raw[at + 2], 0);
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

// Write-back saves on every SetPixel and at the end. A missing file is an empty image without a message; a file
// that could not be read must not be replaced by an empty image when asked to write back.
TEST(BmpHandler, WriteBackSavesEveryChangeButNeverReplacesAFileThatWasNotRead) {
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
    CBmpHandler missing;
    missing.Load("nothing.bmp", false);
    EXPECT_TRUE(missing.GetWidth() == 0 && missing.GetHeight() == 0 && missing.GetRed(0, 0) == -1);
    EXPECT_FALSE(FileExists("log_error.txt"));
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

// A file cut inside its pixel data keeps its size; every missing byte reads 0xFF and is logged with its place.
TEST(BmpHandler, TruncatedPixelDataReadsAsWhiteAndLogsEachMissingByte) {
    std::vector<uint8_t> raw = CountingBytes(3 * 2 * 3);
    ASSERT_TRUE(ConvertRawImage(raw, "rgb", 3, 2, "bmp3:whole.bmp"));
    const std::string whole = ReadFile("whole.bmp");
    // Keep the bottom row (stored first, 12 bytes) and the blue byte of the top row's first pixel.
    WriteFile("cut.bmp", whole.substr(0, 54 + 12 + 1));
    CBmpHandler image;
    image.Load("cut.bmp", false);
    ASSERT_EQ(std::make_pair(image.GetWidth(), image.GetHeight()), std::make_pair(3, 2));
    EXPECT_EQ(image.GetRed(1, 0), raw[9]);
    EXPECT_EQ(image.GetBlue(0, 0), raw[2]);
    EXPECT_EQ(image.GetGreen(0, 0), 0xFF);
    EXPECT_EQ(image.GetRed(0, 2), 0xFF);
    const std::string log = ReadFile("log_error.txt");
    EXPECT_EQ(ErrorLineCount(), 8) << log; // 2 bytes of pixel 0 and 3 of pixels 1 and 2
    EXPECT_EQ(log.rfind("CBmpHandler::Load\tcut.bmp EOF at i=0 j=0\n", 0), 0u) << log;
    EXPECT_EQ(CountLinesWith(log, "cut.bmp EOF at i=0 j=2"), 3) << log;
}

// A 16 x 16 image (768 bytes of pixels) cut inside the headers is empty; with up to half the data missing it
// loads, with more it lies about its size. Every load that lost bytes says so, and the log stays bounded.
TEST(BmpHandler, CutFilesLoadOrAreRefusedWithoutReadingPastTheEnd) {
    ASSERT_TRUE(ConvertRawImage(CountingBytes(16 * 16 * 3), "rgb", 16, 16, "bmp3:whole.bmp"));
    const size_t cuts[][2] = {{0, 0}, {2, 0}, {13, 0}, {53, 0}, {54, 0}, {54 + 100, 0}, {54 + 400, 16}, {54 + 767, 16}};
    for (const auto& [length, size] : cuts) {
        WriteFile("cut.bmp", ReadFile("whole.bmp").substr(0, length));
        unlink("log_error.txt");
        CBmpHandler image;
        image.Load("cut.bmp", false);
        EXPECT_EQ(std::make_pair(image.GetWidth(), image.GetHeight()), std::make_pair(int(size), int(size))) << length;
        EXPECT_GT(ErrorLineCount(), 0) << length;
        EXPECT_LE(ErrorLineCount(), CBmpHandler::maxEofLines + 1) << length;
    }
}

// Each damaged field of the info header of a 4 x 4 image (offset, value, field bytes) gives an empty image and
// one error line.
TEST(BmpHandler, BadHeadersGiveAnEmptyImageAndOneErrorLine) {
    ASSERT_TRUE(ConvertRawImage(CountingBytes(4 * 4 * 3), "rgb", 4, 4, "bmp3:good.bmp"));
    const std::tuple<const char*, size_t, uint32_t, int> cases[] = {{"huge width", 18, 1000000000u, 4},
                                                                    {"huge height", 22, 0x7FFFFFFFu, 4},
                                                                    {"negative width", 18, 0xFFFFFFFCu, 4},
                                                                    {"zero height", 22, 0, 4},
                                                                    {"top-down", 22, 0xFFFFFFFCu, 4},
                                                                    {"above the side limit", 18, 16385, 4},
                                                                    {"claims far more rows", 22, 4000, 4},
                                                                    {"8 bits", 28, 8, 2},
                                                                    {"32 bits", 28, 32, 2},
                                                                    {"compressed", 30, 1, 4},
                                                                    {"offset past the end", 10, 5000, 4}};
    for (const auto& [label, offset, value, size] : cases) {
        std::string bytes = ReadFile("good.bmp");
        PutLittleEndian(bytes, offset, value, size);
        WriteFile("bad.bmp", bytes);
        unlink("log_error.txt");
        CBmpHandler image;
        image.Load("bad.bmp", false);
        EXPECT_EQ(std::make_pair(image.GetWidth(), image.GetHeight()), std::make_pair(0, 0)) << label;
        const std::string log = ReadFile("log_error.txt");
        EXPECT_EQ(ErrorLineCount(), 1) << label;
        EXPECT_EQ(log.rfind("CBmpHandler::Load\tbad.bmp ", 0), 0u) << label << ": " << log;
    }
}

} // namespace
