#include "tools/Image.h"

#include <algorithm>

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

namespace {

constexpr uint8_t  pngSignature[]      = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint8_t  pngRgba             = 6;
constexpr size_t   maxStoredBlockBytes = 65535;
constexpr uint32_t adlerModulus        = 65521;

uint32_t Crc32(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& bytes) {
    uint32_t low = 1, high = 0;
    for (const uint8_t byte : bytes) {
        low  = (low + byte) % adlerModulus;
        high = (high + low) % adlerModulus;
    }
    return (high << 16) | low;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>((value >> shift) & 0xFF));
    }
}

// One chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(&out[start], out.size() - start));
}

// A zlib stream of stored deflate blocks.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out    = {0x78, 0x01};
    size_t               offset = 0;
    do {
        const size_t count = std::min(maxStoredBlockBytes, raw.size() - offset);
        out.push_back(offset + count == raw.size() ? 1 : 0);
        out.push_back(static_cast<uint8_t>(count & 0xFF));
        out.push_back(static_cast<uint8_t>(count >> 8));
        out.push_back(static_cast<uint8_t>(~count & 0xFF));
        out.push_back(static_cast<uint8_t>((~count >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<long>(offset), raw.begin() + static_cast<long>(offset + count));
        offset += count;
    } while (offset < raw.size());
    PutBigEndian(out, Adler32(raw));
    return out;
}

} // namespace

std::vector<uint8_t> CImage::EncodePng() const {
    std::vector<uint8_t> out(pngSignature, pngSignature + sizeof pngSignature);
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, pngRgba, 0, 0, 0});
    PutChunk(out, "IHDR", header);
    std::vector<uint8_t> raw;
    const size_t         rowBytes = static_cast<size_t>(width) * 4;
    for (int row = 0; row < height; ++row) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), pixels.begin() + static_cast<long>(Offset(0, row)),
                   pixels.begin() + static_cast<long>(Offset(0, row) + rowBytes));
    }
    PutChunk(out, "IDAT", StoredZlib(raw));
    PutChunk(out, "IEND", {});
    return out;
}
