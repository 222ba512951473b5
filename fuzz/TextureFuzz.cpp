#include "FuzzInput.h"
#include "render/Texture.h"

// A decoded image must hold exactly the bytes its size promises to the upload.
static void Check(bool decoded, const TextureImage& image) {
    if (!decoded) {
        return;
    }
    const size_t expected =
        static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * (image.bitsPerPixel / 8);
    Require(image.width > 0 && image.height > 0 && image.pixels.size() == expected);
}

// Both decoders see every input: the loader picks one by file suffix, not by content.
FUZZ_TARGET("") {
    TextureImage bmp;
    Check(CTexture::DecodeBmp(data, size, "input.bmp", bmp), bmp);
    TextureImage tga;
    Check(CTexture::DecodeTga(data, size, "input.tga", tga), tga);
}
