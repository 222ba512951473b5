#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "ImageTools.h"
#include "TestSupport.h"
#include "render/Texture.h"
#include "render/TextureManager.h"

namespace {

// Decodes from a buffer of exactly the file's size, so the sanitizers see any read past its end.
bool Decode(bool bmp, const std::string& bytes, TextureImage& image) {
    const std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    return bmp ? CTexture::DecodeBmp(exact.data(), exact.size(), "test", image)
               : CTexture::DecodeTga(exact.data(), exact.size(), "test", image);
}

// Raw rows run top to bottom; the texture wants the bottom row first.
std::vector<uint8_t> BottomRowFirst(const std::vector<uint8_t>& raw, size_t rowBytes) {
    std::vector<uint8_t> flipped;
    for (size_t end = raw.size(); end >= rowBytes; end -= rowBytes) {
        flipped.insert(flipped.end(), raw.begin() + static_cast<long>(end - rowBytes),
                       raw.begin() + static_cast<long>(end));
    }
    return flipped;
}

// Rows in RGB order: BMP rows are stored bottom first, ImageMagick's TGA rows are not.
TEST(TextureDecode, EncoderOutputGivesPixelsAsTightRowsInRgbOrder) {
    const struct {
        const char* rawFormat;
        int         components;
        const char* output;
        int         width, height;
        GLenum      pixelFormat;
    } cases[] = {
        {"rgb", 3, "bmp3:image.bmp", 3, 2, GL_RGB},                                                 // padded rows
        {"rgb", 3, "bmp3:image.bmp", 8, 4, GL_RGB},      {"rgb", 3, "bmp:image.bmp", 5, 3, GL_RGB}, // the large header
        {"rgb", 3, "tga:image.tga", 3, 2, GL_RGB},       {"rgba", 4, "tga:image.tga", 4, 3, GL_RGBA},
        {"gray", 1, "tga:image.tga", 5, 2, GL_LUMINANCE}};
    for (const auto& param : cases) {
        SCOPED_TRACE(::testing::Message() << param.output << " " << param.width << " x " << param.height);
        CTempWorkDir         dir;
        const size_t         rowBytes = static_cast<size_t>(param.width) * param.components;
        std::vector<uint8_t> raw      = CountingBytes(rowBytes * param.height);
        ASSERT_TRUE(ConvertRawImage(raw, param.rawFormat, param.width, param.height, param.output));
        const bool   bmp = std::string(param.output).find(".bmp") != std::string::npos;
        TextureImage image;
        ASSERT_TRUE(Decode(bmp, ReadFile(bmp ? "image.bmp" : "image.tga"), image));
        EXPECT_EQ(
            (std::vector<int>{image.width, image.height, image.bitsPerPixel, static_cast<int>(image.pixelFormat)}),
            (std::vector<int>{param.width, param.height, param.components * 8, static_cast<int>(param.pixelFormat)}));
        EXPECT_EQ(image.pixels, bmp ? BottomRowFirst(raw, rowBytes) : raw);
    }
}

// Variants with the plain file's pixels: a top-down BMP, a BMP whose last row lacks its padding, a TGA with
// an image ID and one with a colour map before the pixels (a colour map longer than the file is refused).
TEST(TextureDecode, VariantsOfAFileGiveItsPixels) {
    CTempWorkDir dir;
    ASSERT_TRUE(ConvertRawImage(CountingBytes(3 * 3 * 3), "rgb", 3, 3, "bmp3:up.bmp"));
    ASSERT_TRUE(ConvertRawImage(CountingBytes(2 * 2 * 3), "rgb", 2, 2, "tga:plain.tga"));
    const std::string bmp = ReadFile("up.bmp"), tga = ReadFile("plain.tga");
    std::string       down = bmp.substr(0, 54);
    PutLittleEndian(down, 22, static_cast<uint32_t>(-3), 4);
    for (int row = 2; row >= 0; --row) {
        down += bmp.substr(54 + static_cast<size_t>(row) * 12, 12);
    }
    std::string withId = tga.substr(0, 18) + "IDENT" + tga.substr(18);
    withId[0]          = 5;
    std::string mapped = tga.substr(0, 18) + std::string(6, '\x7f') + tga.substr(18);
    mapped[1]          = 1;           // colour map present
    PutLittleEndian(mapped, 5, 2, 2); // two entries
    mapped[7] = 24;                   // of three bytes
    const struct {
        bool        bmp;
        std::string plain, variant;
    } cases[] = {
        {true, bmp, down}, {true, bmp, bmp.substr(0, bmp.size() - 3)}, {false, tga, withId}, {false, tga, mapped}};
    for (const auto& test : cases) {
        TextureImage plain, variant;
        ASSERT_TRUE(Decode(test.bmp, test.plain, plain));
        ASSERT_TRUE(Decode(test.bmp, test.variant, variant)) << &test - cases;
        EXPECT_EQ(variant.height, plain.height) << &test - cases;
        EXPECT_EQ(variant.pixels, plain.pixels) << &test - cases;
    }
    PutLittleEndian(mapped, 5, 0xFFFF, 2);
    TextureImage image;
    EXPECT_FALSE(Decode(false, mapped, image));
}

// A 4 x 4 image (BMP: 54 header bytes, 48 of pixels; TGA: 18 and 48) with one field changed.
TEST(TextureDecode, CorruptFilesAreRefusedWithoutReadingPastTheEnd) {
    const struct {
        const char* label;
        bool        bmp;
        size_t      offset; // of the field to change
        uint32_t    value;
        int         fieldBytes;
        bool        logged; // refusals of foreign formats are silent
    } cases[] = {
        // clang-format off
        {"BmpNotBM", true, 0, 0x5858, 2, false},          {"BmpHugeWidth", true, 18, 0x40000000u, 4, true},
        {"BmpMinHeight", true, 22, 0x80000000u, 4, true}, {"BmpZeroWidth", true, 18, 0, 4, true},
        {"BmpTallerThanFile", true, 22, 5, 4, true},      {"BmpOffsetPastEnd", true, 10, 0xFFFFFFF0u, 4, true},
        {"Bmp32Bits", true, 28, 32, 2, true},             {"BmpRle", true, 30, 1, 4, true},
        {"TgaHugeSides", false, 12, 0xFFFFFFFFu, 4, true}, {"TgaZeroHeight", false, 14, 0, 2, true},
        {"TgaRle", false, 2, 10, 1, false},               {"TgaPalette", false, 2, 1, 1, false},
        {"Tga16Bits", false, 16, 16, 1, true},            {"TgaGreyAt24Bits", false, 2, 3, 1, true},
        {"TgaIdPastEnd", false, 0, 255, 1, true},
        // clang-format on
    };
    for (const auto& param : cases) {
        SCOPED_TRACE(param.label);
        CTempWorkDir dir;
        ASSERT_TRUE(ConvertRawImage(CountingBytes(4 * 4 * 3), "rgb", 4, 4, param.bmp ? "bmp3:x.bmp" : "tga:x.tga"));
        std::string bytes = ReadFile(param.bmp ? "x.bmp" : "x.tga");
        PutLittleEndian(bytes, param.offset, param.value, param.fieldBytes);
        TextureImage image;
        EXPECT_FALSE(Decode(param.bmp, bytes, image));
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(FileExists("log_error.txt"), param.logged);
    }
}

// Only failures work without a GL context. The suffix decides what is an image; a failure is cached under the
// exact name, even after the file appears (a new name would find it: data paths match case loosely).
TEST(TextureManagerCache, SuffixDecidesAndFailuresAreCachedUnderTheExactName) {
    CTempWorkDir    dir;
    CTextureManager manager;
    for (const char* name : {"grass.bmp.txt", "grass", "grass.bmpx", "grass.", ".bm", "grass.tga.TXT"}) {
        EXPECT_EQ(manager.LoadTexture(name, false), 0u) << name;
    }
    EXPECT_EQ(manager.LoadTexture(nullptr, false), 0u);
    EXPECT_EQ(manager.GetPlainCount(), 0u);
    for (const char* name : {"a.bmp", "b.BMP", "c.Tga", "d.txt.tga", "late.bmp", "LATE.bmp"}) {
        EXPECT_EQ(manager.LoadTexture(name, false), 0u) << name;
    }
    EXPECT_EQ(manager.GetPlainCount(), 6u);
    ASSERT_TRUE(ConvertRawImage(CountingBytes(4 * 4 * 3), "rgb", 4, 4, "bmp3:late.bmp"));
    EXPECT_EQ(manager.LoadTexture("late.bmp", false), 0u);
    EXPECT_EQ(manager.LoadTexture("LATE.bmp", false), 0u);
    EXPECT_EQ(manager.GetPlainCount(), 6u);
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CTextureManager::LoadTexture: Couldn't load texture late.bmp"),
              1)
        << "each file that cannot be read is named once";
    manager.Clear();
    EXPECT_EQ(manager.GetPlainCount(), 0u);
}

} // namespace
