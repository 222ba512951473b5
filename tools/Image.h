#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An RGBA picture in memory, row 0 at the top, and its encoders. The BMP and
// TGA writers store rows bottom-up, as the game's texture loaders expect:
// the bottom row of the picture becomes texture coordinate t = 0.
class CImage {
public:
    CImage(int width, int height);

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

    // Components are clamped to 0..255.
    void           SetPixel(int column, int row, double red, double green, double blue, double alpha = 255.0);
    const uint8_t* GetPixel(int column, int row) const { return &pixels[Offset(column, row)]; }

    // Uncompressed 24-bit BMP: 54 header bytes, B, G, R rows padded to four bytes.
    std::vector<uint8_t> EncodeBmp() const;
    // Uncompressed true-colour TGA (image type 2) of 24 or 32 bits, no image
    // ID and no colour map, origin at the lower left.
    std::vector<uint8_t> EncodeTga(int bitsPerPixel) const;
    // 8-bit RGBA PNG, rows top-down, the pixel data in stored (uncompressed)
    // deflate blocks: desktops read it like any other, no library needed.
    std::vector<uint8_t> EncodePng() const;

private:
    size_t Offset(int column, int row) const { return (static_cast<size_t>(row) * width + column) * 4; }

    int                  width;
    int                  height;
    std::vector<uint8_t> pixels;
};
