#include "render/Texture.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/Options.h"
#include "core/Logger.h"
#include "platform/FileGate.h"

#ifndef GL_COMPRESSED_LUMINANCE_ARB
#define GL_COMPRESSED_LUMINANCE_ARB 0x84EA
#endif
#ifndef GL_COMPRESSED_RGB_ARB
#define GL_COMPRESSED_RGB_ARB 0x84ED
#endif
#ifndef GL_COMPRESSED_RGBA_ARB
#define GL_COMPRESSED_RGBA_ARB 0x84EE
#endif
#ifndef GL_GENERATE_MIPMAP_SGIS
#define GL_GENERATE_MIPMAP_SGIS 0x8191
#endif

namespace {

constexpr size_t bmpFileHeaderBytes = 14;
constexpr size_t bmpHeaderBytes     = 54; // file header + 40-byte info header
constexpr size_t tgaHeaderBytes     = 18;
constexpr int    bmpTypeSignature   = 0x4D42; // "BM" read little-endian
constexpr int    tgaTrueColour      = 2;
constexpr int    tgaGrey            = 3;
uint32_t         ReadU16(const uint8_t* bytes) {
            return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8;
}

uint32_t ReadU32(const uint8_t* bytes) {
    return ReadU16(bytes) | ReadU16(bytes + 2) << 16;
}

int32_t ReadS32(const uint8_t* bytes) {
    return static_cast<int32_t>(ReadU32(bytes));
}

bool SideInRange(long side) {
    return side >= 1 && side <= CTexture::maxSide;
}

// Copies `height` stored rows of `rowBytes` each (stored `stride` apart) into
// tightly packed rows, bottom row first, swapping the first and third byte of
// every pixel when the stored order is B, G, R.
void CopyRows(const uint8_t* stored, size_t stride, bool storedTopFirst, bool swapRedBlue, TextureImage& image) {
    const size_t bytesPerPixel = static_cast<size_t>(image.bitsPerPixel / 8);
    const size_t rowBytes      = static_cast<size_t>(image.width) * bytesPerPixel;
    const size_t rows          = static_cast<size_t>(image.height);
    image.pixels.resize(rowBytes * rows);
    for (size_t row = 0; row < rows; ++row) {
        const uint8_t* source = stored + (storedTopFirst ? rows - 1 - row : row) * stride;
        uint8_t*       target = image.pixels.data() + row * rowBytes;
        std::copy(source, source + rowBytes, target);
        if (swapRedBlue) {
            for (size_t i = 0; i + 2 < rowBytes; i += bytesPerPixel) {
                std::swap(target[i], target[i + 2]);
            }
        }
    }
}

} // namespace

CTexture::~CTexture() {
    Release();
}

GLenum CTexture::CompressedFormat(GLenum format) {
    switch (format) {
    case GL_RGB:
        return GL_COMPRESSED_RGB_ARB;
    case GL_RGBA:
        return GL_COMPRESSED_RGBA_ARB;
    case GL_LUMINANCE:
        return GL_COMPRESSED_LUMINANCE_ARB;
    default:
        return format;
    }
}

bool CTexture::DecodeBmp(const uint8_t* data, size_t size, const char* name, TextureImage& image) {
    if (data == nullptr || size < bmpHeaderBytes || static_cast<int>(ReadU16(data)) != bmpTypeSignature) {
        return false;
    }
    const uint8_t* info          = data + bmpFileHeaderBytes;
    const uint32_t dataOffset    = ReadU32(data + 10);
    const int32_t  declaredWidth = ReadS32(info + 4);
    const int64_t  signedHeight  = ReadS32(info + 8);
    const uint32_t bits          = ReadU16(info + 14);
    const uint32_t compression   = ReadU32(info + 16);
    if (bits != 24 || compression != 0) {
        GetLogger()->LogError("CTexture: %s is a %u-bit BMP with compression %u; only uncompressed 24-bit is read",
                              name, bits, compression);
        return false;
    }
    // A negative height marks rows stored top-down.
    const int64_t declaredHeight = signedHeight < 0 ? -signedHeight : signedHeight;
    const size_t  rowBytes       = static_cast<size_t>(declaredWidth) * 3;
    const size_t  stride         = (rowBytes + 3) / 4 * 4;
    // Sides are checked first, so the byte count below cannot overflow; the
    // last row need not carry its padding.
    const bool sidesValid = SideInRange(declaredWidth) && SideInRange(declaredHeight);
    if (!sidesValid || dataOffset < bmpHeaderBytes || dataOffset > size ||
        size - dataOffset < stride * static_cast<size_t>(declaredHeight - 1) + rowBytes) {
        GetLogger()->LogError("CTexture: %s malformed BMP: %d x %lld pixels at offset %u in %zu bytes", name,
                              declaredWidth, static_cast<long long>(signedHeight), dataOffset, size);
        return false;
    }
    image.width        = declaredWidth;
    image.height       = static_cast<int>(declaredHeight);
    image.bitsPerPixel = 24;
    image.pixelFormat  = GL_RGB;
    CopyRows(data + dataOffset, stride, signedHeight < 0, true, image);
    return true;
}

bool CTexture::DecodeTga(const uint8_t* data, size_t size, const char* name, TextureImage& image) {
    if (data == nullptr || size < tgaHeaderBytes) {
        return false;
    }
    const uint32_t idLength      = data[0];
    const uint32_t colourMapType = data[1];
    const uint32_t imageType     = data[2];
    const uint32_t mapLength     = ReadU16(data + 5);
    const uint32_t mapEntryBits  = data[7];
    const uint32_t tgaWidth      = ReadU16(data + 12);
    const uint32_t tgaHeight     = ReadU16(data + 14);
    const uint32_t bits          = data[16];
    if (imageType != tgaTrueColour && imageType != tgaGrey) {
        return false;
    }
    const bool bitsSupported = imageType == tgaTrueColour ? (bits == 24 || bits == 32) : bits == 8;
    if (!bitsSupported) {
        GetLogger()->LogError("CTexture: %s TGA type %u with %u bits per pixel is not read", name, imageType, bits);
        return false;
    }
    // An image ID and a colour map, when present, stand between header and pixels.
    const size_t mapBytes  = colourMapType == 1 ? static_cast<size_t>(mapLength) * ((mapEntryBits + 7) / 8) : 0;
    const size_t start     = tgaHeaderBytes + idLength + mapBytes;
    const size_t rowBytes  = static_cast<size_t>(tgaWidth) * (bits / 8);
    const size_t dataBytes = rowBytes * tgaHeight;
    if (!SideInRange(tgaWidth) || !SideInRange(tgaHeight) || start > size || size - start < dataBytes) {
        GetLogger()->LogError("CTexture: %s malformed TGA: %u x %u pixels of %u bits in %zu bytes", name, tgaWidth,
                              tgaHeight, bits, size);
        return false;
    }
    image.width        = static_cast<int>(tgaWidth);
    image.height       = static_cast<int>(tgaHeight);
    image.bitsPerPixel = static_cast<int>(bits);
    image.pixelFormat  = bits == 32 ? GL_RGBA : bits == 24 ? GL_RGB : GL_LUMINANCE;
    // Rows are taken in stored order whatever the descriptor's origin bit says,
    // as the files' writers (and ImageMagick's reader) treat them.
    CopyRows(data + start, rowBytes, false, bits != 8, image);
    return true;
}

void CTexture::Release() {
    if (textureName != 0) {
        glDeleteTextures(1, &textureName);
        textureName = 0;
    }
    pixels.clear();
    pixels.shrink_to_fit();
    width          = 0;
    height         = 0;
    loaded         = false;
    pixelFormat    = 0;
    internalFormat = 0;
    bitsPerPixel   = 0;
}

bool CTexture::LoadBmp(const char* fileName, bool compressTexture) {
    return Load(fileName, compressTexture, &CTexture::DecodeBmp);
}

bool CTexture::LoadTga(const char* fileName, bool compressTexture) {
    return Load(fileName, compressTexture, &CTexture::DecodeTga);
}

bool CTexture::Load(const char* fileName, bool compressTexture, Decoder decode) {
    Release();
    compress = compressTexture;
    std::vector<uint8_t> bytes;
    TextureImage         image;
    if (fileName == nullptr || !CFileGate::ReadWholeFile(fileName, FileKind::image, bytes) ||
        !decode(bytes.data(), bytes.size(), fileName, image)) {
        return false;
    }
    Adopt(image);
    Upload();
    loaded = true;
    return true;
}

void CTexture::Adopt(TextureImage& image) {
    width          = image.width;
    height         = image.height;
    bitsPerPixel   = image.bitsPerPixel;
    pixelFormat    = image.pixelFormat;
    internalFormat = compress ? CompressedFormat(pixelFormat) : pixelFormat;
    pixels         = std::move(image.pixels);
}

void CTexture::Upload() {
    if (pixels.empty()) {
        return;
    }
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (GetOptions().sgiMipmap) {
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP_SGIS, GL_TRUE);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0, pixelFormat,
                     GL_UNSIGNED_BYTE, pixels.data());
    } else {
        gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(internalFormat), width, height, pixelFormat,
                          GL_UNSIGNED_BYTE, pixels.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CTexture::SetFilter(TextureFilter textureFilter, MipmapMode mipmapMode) {
    struct FilterPair {
        GLint minFilter;
        GLint magFilter;
    };
    // Rows: mip-map mode off, bilinear, trilinear; columns: filter nearest, linear.
    static const FilterPair filters[3][2] = {
        {{GL_NEAREST, GL_NEAREST}, {GL_LINEAR, GL_LINEAR}},
        {{GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST}, {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR}},
        {{GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST}, {GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR}},
    };
    if (textureName == 0 || mipmapMode < mipmapOff || mipmapMode > mipmapTrilinear ||
        textureFilter < textureFilterNearest || textureFilter > textureFilterLinear) {
        return;
    }
    const FilterPair& pair = filters[mipmapMode - mipmapOff][textureFilter - textureFilterNearest];
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, pair.minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, pair.magFilter);
    glBindTexture(GL_TEXTURE_2D, 0);
}
