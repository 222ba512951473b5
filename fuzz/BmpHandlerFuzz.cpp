#include "FuzzInput.h"
#include "core/BmpHandler.h"

// Loads the input as the heightmap reader does and touches every pixel and just outside them.
FUZZ_TARGET("input.bmp") {
    CBmpHandler image;
    image.Load(path.c_str(), false);
    int sum = 0;
    for (int row = -1; row <= image.GetHeight(); ++row) {
        for (int column = -1; column <= image.GetWidth(); ++column) {
            sum += image.GetRed(row, column) + image.GetGreen(row, column) + image.GetBlue(row, column) +
                   image.GetAlpha(row, column);
        }
    }
    image.SetPixel(image.GetHeight() - 1, image.GetWidth() - 1, sum, sum, sum, 0);
}
