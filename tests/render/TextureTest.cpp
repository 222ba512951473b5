#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ImageTools.h"
#include "TestSupport.h"
#include "render/Texture.h"
#include "render/TextureManager.h"

namespace {

bool Decode(bool bmp, const std::string& bytes, TextureImage& image) {
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data());
    return bmp ? CTexture::DecodeBmp(data, bytes.size(), "test", image)
               : CTexture::DecodeTga(data, bytes.size(), "test", image);
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

struct EncoderCase {
    const char* label;
    const char* rawFormat;
    int         components;
    const char* output;
    int         width;
    int         height;
    GLenum      pixelFormat;
    bool        storedBottomFirst; // BMP rows are; ImageMagick's TGA rows are not
};

class TextureDecodesEncoderOutput : public ::testing::TestWithParam<EncoderCase> {};

INSTANTIATE_TEST_SUITE_P(
    Formats, TextureDecodesEncoderOutput,
    ::testing::Values(EncoderCase{"Bmp3x2Padded", "rgb", 3, "bmp3:image.bmp", 3, 2, GL_RGB, true},
                      EncoderCase{"Bmp8x4", "rgb", 3, "bmp3:image.bmp", 8, 4, GL_RGB, true},
                      EncoderCase{"BmpLargeHeader", "rgb", 3, "bmp:image.bmp", 5, 3, GL_RGB, true},
                      EncoderCase{"Tga24", "rgb", 3, "tga:image.tga", 3, 2, GL_RGB, false},
                      EncoderCase{"Tga32", "rgba", 4, "tga:image.tga", 4, 3, GL_RGBA, false},
                      EncoderCase{"TgaGrey", "gray", 1, "tga:image.tga", 5, 2, GL_LUMINANCE, false}),
    [](const ::testing::TestParamInfo<EncoderCase>& info) { return std::string(info.param.label); });

TEST_P(TextureDecodesEncoderOutput, PixelsAsTightRowsInRgbOrder) {
    const EncoderCase    param = GetParam();
    CTempWorkDir         dir;
    const size_t         rowBytes = static_cast<size_t>(param.width) * param.components;
    std::vector<uint8_t> raw      = CountingBytes(rowBytes * param.height);
    ASSERT_TRUE(ConvertRawImage(raw, param.rawFormat, param.width, param.height, param.output));
    const std::string file = std::string(param.output).substr(std::string(param.output).find(':') + 1);
    TextureImage      image;
    ASSERT_TRUE(Decode(file.find(".bmp") != std::string::npos, ReadFile(file), image));
    EXPECT_EQ(image.width, param.width);
    EXPECT_EQ(image.height, param.height);
    EXPECT_EQ(image.bitsPerPixel, param.components * 8);
    EXPECT_EQ(image.pixelFormat, param.pixelFormat);
    const std::vector<uint8_t> expected = param.storedBottomFirst ? BottomRowFirst(raw, rowBytes) : raw;
    EXPECT_EQ(image.pixels, expected);
}

// A top-down BMP (negative height) gives the same texture as its bottom-up twin.
TEST(TextureDecode, TopDownBmpMatchesBottomUp) {
    CTempWorkDir dir;
    ASSERT_TRUE(ConvertRawImage(CountingBytes(3 * 3 * 3), "rgb", 3, 3, "bmp3:up.bmp"));
    const std::string up   = ReadFile("up.bmp");
    std::string       down = up.substr(0, 54);
    PutLittleEndian(down, 22, static_cast<uint32_t>(-3), 4);
    for (int row = 2; row >= 0; --row) {
        down += up.substr(54 + static_cast<size_t>(row) * 12, 12);
    }
    TextureImage fromUp, fromDown;
    ASSERT_TRUE(Decode(true, up, fromUp));
    ASSERT_TRUE(Decode(true, down, fromDown));
    EXPECT_EQ(fromDown.height, 3);
    EXPECT_EQ(fromDown.pixels, fromUp.pixels);
}

// An image ID between the header and the pixels is skipped, not read as pixels.
TEST(TextureDecode, TgaImageIdIsSkipped) {
    CTempWorkDir dir;
    ASSERT_TRUE(ConvertRawImage(CountingBytes(2 * 2 * 3), "rgb", 2, 2, "tga:plain.tga"));
    const std::string plain  = ReadFile("plain.tga");
    std::string       withId = plain.substr(0, 18) + "IDENT" + plain.substr(18);
    withId[0]                = 5;
    TextureImage a, b;
    ASSERT_TRUE(Decode(false, plain, a));
    ASSERT_TRUE(Decode(false, withId, b));
    EXPECT_EQ(b.pixels, a.pixels);
}

struct CorruptCase {
    const char* label;
    bool        bmp;
    size_t      offset; // field to change, or the length to cut to when `cut`
    uint32_t    value;
    int         fieldBytes;
    bool        cut;
    bool        logged; // refusals of foreign formats are silent
};

class TextureRefusesCorruptFile : public ::testing::TestWithParam<CorruptCase> {};

// Made from a 4 x 4 image: BMP with 54 header bytes and 48 of pixels, TGA with
// 18 and 48.
INSTANTIATE_TEST_SUITE_P(Files, TextureRefusesCorruptFile,
                         ::testing::Values(CorruptCase{"BmpCutInHeader", true, 30, 0, 0, true, false},
                                           CorruptCase{"BmpCutAtPixels", true, 54, 0, 0, true, true},
                                           CorruptCase{"BmpCutInLastRow", true, 54 + 47, 0, 0, true, true},
                                           CorruptCase{"BmpNotBM", true, 0, 0x5858, 2, false, false},
                                           CorruptCase{"BmpHugeWidth", true, 18, 0x40000000u, 4, false, true},
                                           CorruptCase{"BmpMinHeight", true, 22, 0x80000000u, 4, false, true},
                                           CorruptCase{"BmpZeroWidth", true, 18, 0, 4, false, true},
                                           CorruptCase{"BmpTallerThanFile", true, 22, 5, 4, false, true},
                                           CorruptCase{"BmpOffsetPastEnd", true, 10, 0xFFFFFFF0u, 4, false, true},
                                           CorruptCase{"Bmp32Bits", true, 28, 32, 2, false, true},
                                           CorruptCase{"BmpRle", true, 30, 1, 4, false, true},
                                           CorruptCase{"TgaCutInHeader", false, 17, 0, 0, true, false},
                                           CorruptCase{"TgaCutInPixels", false, 18 + 47, 0, 0, true, true},
                                           CorruptCase{"TgaHugeSides", false, 12, 0xFFFFFFFFu, 4, false, true},
                                           CorruptCase{"TgaZeroHeight", false, 14, 0, 2, false, true},
                                           CorruptCase{"TgaRle", false, 2, 10, 1, false, false},
                                           CorruptCase{"TgaPalette", false, 2, 1, 1, false, false},
                                           CorruptCase{"Tga16Bits", false, 16, 16, 1, false, true},
                                           CorruptCase{"TgaGreyAt24Bits", false, 2, 3, 1, false, true},
                                           CorruptCase{"TgaIdPastEnd", false, 0, 255, 1, false, true}),
                         [](const ::testing::TestParamInfo<CorruptCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_P(TextureRefusesCorruptFile, WithoutReadingPastTheEnd) {
    const CorruptCase param = GetParam();
    CTempWorkDir      dir;
    ASSERT_TRUE(ConvertRawImage(CountingBytes(4 * 4 * 3), "rgb", 4, 4, param.bmp ? "bmp3:x.bmp" : "tga:x.tga"));
    std::string bytes = ReadFile(param.bmp ? "x.bmp" : "x.tga");
    if (param.cut) {
        bytes.resize(param.offset);
        bytes.shrink_to_fit(); // so the sanitizer sees any read past the cut
    } else if (param.fieldBytes == 1) {
        bytes[param.offset] = static_cast<char>(param.value);
    } else if (param.fieldBytes == 2) {
        PutLittleEndian(bytes, param.offset, param.value, 2);
    } else {
        PutLittleEndian(bytes, param.offset, param.value, 4);
    }
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    TextureImage         image;
    const bool           decoded = param.bmp ? CTexture::DecodeBmp(exact.data(), exact.size(), "test", image)
                                             : CTexture::DecodeTga(exact.data(), exact.size(), "test", image);
    EXPECT_FALSE(decoded);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(FileExists("log_error.txt"), param.logged);
}

// A colour map, like the image ID, is skipped; one longer than the file is refused.
TEST(TextureDecode, TgaColourMapIsSkippedOrRefused) {
    CTempWorkDir dir;
    ASSERT_TRUE(ConvertRawImage(CountingBytes(2 * 2 * 3), "rgb", 2, 2, "tga:plain.tga"));
    const std::string plain  = ReadFile("plain.tga");
    std::string       mapped = plain.substr(0, 18) + std::string(6, '\x7f') + plain.substr(18);
    mapped[1]                = 1;     // colour map present
    PutLittleEndian(mapped, 5, 2, 2); // two entries
    mapped[7] = 24;                   // of three bytes
    TextureImage a, b;
    ASSERT_TRUE(Decode(false, plain, a));
    ASSERT_TRUE(Decode(false, mapped, b));
    EXPECT_EQ(b.pixels, a.pixels);
    PutLittleEndian(mapped, 5, 0xFFFF, 2);
    EXPECT_FALSE(Decode(false, mapped, b));
}

// The last row of a BMP need not carry its padding.
TEST(TextureDecode, BmpWithoutFinalRowPaddingIsRead) {
    CTempWorkDir dir;
    ASSERT_TRUE(ConvertRawImage(CountingBytes(3 * 2 * 3), "rgb", 3, 2, "bmp3:x.bmp"));
    const std::string bytes = ReadFile("x.bmp");
    TextureImage      whole, cut;
    ASSERT_TRUE(Decode(true, bytes, whole));
    ASSERT_TRUE(Decode(true, bytes.substr(0, bytes.size() - 3), cut));
    EXPECT_EQ(cut.pixels, whole.pixels);
}

// Without a GL context only failures can be exercised: they make no GL call.
TEST(TextureManagerCache, SuffixDecidesAndUnknownSuffixesAreNotCached) {
    CTempWorkDir    dir;
    CTextureManager manager;
    const char*     notImages[] = {"grass.bmp.txt", "grass", "grass.bmpx", "grass.", ".bm", "grass.tga.TXT"};
    for (const char* name : notImages) {
        EXPECT_EQ(manager.LoadTexture(name, false), 0u) << name;
    }
    EXPECT_EQ(manager.LoadTexture(nullptr, false), 0u);
    EXPECT_EQ(manager.GetPlainCount(), 0u);
    const char* images[] = {"a.bmp", "b.BMP", "c.Tga", "d.txt.tga"};
    for (const char* name : images) {
        EXPECT_EQ(manager.LoadTexture(name, false), 0u) << name;
    }
    EXPECT_EQ(manager.GetPlainCount(), 4u);
}

TEST(TextureManagerCache, FailureIsCachedUnderTheExactName) {
    CTempWorkDir    dir;
    CTextureManager manager;
    EXPECT_EQ(manager.LoadTexture("late.bmp", false), 0u);
    EXPECT_EQ(manager.LoadTexture("LATE.bmp", false), 0u);
    EXPECT_EQ(manager.GetPlainCount(), 2u);
    // The file appearing later does not undo the cached failures (a new name
    // would find it: data paths match letter case loosely).
    ASSERT_TRUE(ConvertRawImage(CountingBytes(4 * 4 * 3), "rgb", 4, 4, "bmp3:late.bmp"));
    EXPECT_EQ(manager.LoadTexture("late.bmp", false), 0u);
    EXPECT_EQ(manager.LoadTexture("LATE.bmp", false), 0u);
    EXPECT_EQ(manager.GetPlainCount(), 2u);
    EXPECT_EQ(CountLinesWith(ReadFile("log_error.txt"), "CTextureManager::LoadTexture: Couldn't load texture late.bmp"),
              1)
        << "each file that cannot be read is named once";
    manager.Clear();
    EXPECT_EQ(manager.GetPlainCount(), 0u);
}

} // namespace
