#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Options.h"

// Pixels decoded from an image file, ready for a GL upload: tightly packed
// rows (no padding), bottom row of the picture first, components in R, G, B
// [, A] order, or one grey byte per pixel for luminance images.
struct TextureImage {
    int                  width        = 0;
    int                  height       = 0;
    int                  bitsPerPixel = 0; // 8, 24 or 32
    GLenum               pixelFormat  = 0; // GL_LUMINANCE, GL_RGB or GL_RGBA
    std::vector<uint8_t> pixels;
};

// One image file as a GL texture object. Decoding (DecodeBmp, DecodeTga)
// needs no GL context; Upload and SetFilter need a current one.
class CTexture {
public:
    // Images larger than this on either side are refused as malformed.
    static constexpr int maxSide = 16384;

    CTexture() = default;
    ~CTexture();
    CTexture(const CTexture&)            = delete;
    CTexture& operator=(const CTexture&) = delete;

    // Uncompressed 24-bit BMP (bottom-up or top-down, padded rows). Returns
    // false for anything else; `name` only labels the error-log lines.
    static bool DecodeBmp(const uint8_t* data, size_t size, const char* name, TextureImage& image);
    // Uncompressed TGA: type 2 with 24 or 32 bits, type 3 with 8-bit grey.
    static bool DecodeTga(const uint8_t* data, size_t size, const char* name, TextureImage& image);
    // GL_COMPRESSED_*_ARB counterpart of a pixel format (the format itself if none).
    static GLenum CompressedFormat(GLenum pixelFormat);

    // Read the file, upload it and mark the texture loaded; false (texture
    // name 0) when the file is missing or not an image this loader reads.
    bool LoadBmp(const char* fileName, bool compressTexture);
    bool LoadTga(const char* fileName, bool compressTexture);

    // Creates the GL texture object from the pixel data, which stays in memory.
    void Upload();
    // Texture filter 1 nearest, 2 linear; mip-map mode 1 off, 2 bilinear,
    // 3 trilinear. Pairs outside that range change nothing.
    void SetFilter(TextureFilter textureFilter, MipmapMode mipmapMode);
    // Frees the pixel data and deletes the GL texture object (needs a context
    // only when a texture object exists).
    void Release();

    GLuint                      GetName() const { return textureName; }
    int                         GetWidth() const { return width; }
    int                         GetHeight() const { return height; }
    int                         GetBitsPerPixel() const { return bitsPerPixel; }
    GLenum                      GetPixelFormat() const { return pixelFormat; }
    GLenum                      GetInternalFormat() const { return internalFormat; }
    bool                        IsLoaded() const { return loaded; }
    bool                        IsCompressed() const { return compress; }
    const std::vector<uint8_t>& GetPixels() const { return pixels; }

private:
    using Decoder = bool (*)(const uint8_t*, size_t, const char*, TextureImage&);
    bool Load(const char* fileName, bool compressTexture, Decoder decode);
    void Adopt(TextureImage& image);

    GLuint               textureName = 0;
    int                  width       = 0;
    int                  height      = 0;
    std::vector<uint8_t> pixels;
    bool                 loaded         = false;
    GLenum               pixelFormat    = 0;
    GLenum               internalFormat = 0;
    int                  bitsPerPixel   = 0;
    bool                 compress       = false;
};
