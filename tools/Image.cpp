#include "tools/Image.h"

#include "tools/ByteBuffer.h"

namespace {

uint8_t ToByte(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    if (value >= 255.0) {
        return 255;
    }
    return static_cast<uint8_t>(value + 0.5);
}

constexpr uint32_t bmpHeaderBytes   = 54;
constexpr uint32_t bmpInfoBytes     = 40;
constexpr uint32_t tgaTrueColour    = 2;
constexpr uint32_t tgaAlphaBitsMask = 0x0F;

} // namespace

CImage::CImage(int width, int height)
    : width(width > 0 ? width : 0), height(height > 0 ? height : 0),
      pixels(static_cast<size_t>(this->width) * this->height * 4, 0) {}

void CImage::SetPixel(int column, int row, double red, double green, double blue, double alpha) {
    if (column < 0 || row < 0 || column >= width || row >= height) {
        return;
    }
    uint8_t* pixel = &pixels[Offset(column, row)];
    pixel[0]       = ToByte(red);
    pixel[1]       = ToByte(green);
    pixel[2]       = ToByte(blue);
    pixel[3]       = ToByte(alpha);
}

std::vector<uint8_t> CImage::EncodeBmp() const {
    const uint32_t rowBytes  = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = rowBytes * static_cast<uint32_t>(height);
    CByteBuffer    out(bmpHeaderBytes + imageSize);
    out.PutText("BM");
    out.PutU32(bmpHeaderBytes + imageSize);
    out.PutU32(0);
    out.PutU32(bmpHeaderBytes);
    out.PutU32(bmpInfoBytes);
    out.PutU32(static_cast<uint32_t>(width));
    out.PutU32(static_cast<uint32_t>(height));
    out.PutU16(1);
    out.PutU16(24);
    out.PutU32(0);
    out.PutU32(imageSize);
    for (int i = 0; i < 4; ++i) {
        out.PutU32(0);
    }
    for (int row = height - 1; row >= 0; --row) {
        for (int column = 0; column < width; ++column) {
            const uint8_t* pixel = GetPixel(column, row);
            out.PutU8(pixel[2]);
            out.PutU8(pixel[1]);
            out.PutU8(pixel[0]);
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad) {
            out.PutU8(0);
        }
    }
    return out.Take();
}

std::vector<uint8_t> CImage::EncodeTga(int bitsPerPixel) const {
    const bool  alpha = bitsPerPixel == 32;
    CByteBuffer out(18 + static_cast<size_t>(width) * height * (alpha ? 4 : 3));
    out.PutU8(0); // no image ID: the game reads pixels right after the header
    out.PutU8(0); // no colour map
    out.PutU8(tgaTrueColour);
    out.PutU16(0);
    out.PutU16(0);
    out.PutU8(0);
    out.PutU16(0);
    out.PutU16(0);
    out.PutU16(static_cast<uint32_t>(width));
    out.PutU16(static_cast<uint32_t>(height));
    out.PutU8(alpha ? 32 : 24);
    out.PutU8(alpha ? (8 & tgaAlphaBitsMask) : 0); // attribute bits; origin lower left
    for (int row = height - 1; row >= 0; --row) {
        for (int column = 0; column < width; ++column) {
            const uint8_t* pixel = GetPixel(column, row);
            out.PutU8(pixel[2]);
            out.PutU8(pixel[1]);
            out.PutU8(pixel[0]);
            if (alpha) {
                out.PutU8(pixel[3]);
            }
        }
    }
    return out.Take();
}
