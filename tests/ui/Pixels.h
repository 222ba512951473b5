#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "GlFixture.h"

// The back buffer of the test window, read as RGBA rows bottom up.
struct CPixels {
    int                  width  = GlTest::windowWidth;
    int                  height = GlTest::windowHeight;
    std::vector<uint8_t> rgba;

    static CPixels Read() {
        CPixels pixels;
        pixels.rgba.resize(static_cast<size_t>(pixels.width) * pixels.height * 4);
        glFinish();
        glReadPixels(0, 0, pixels.width, pixels.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.rgba.data());
        return pixels;
    }

    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }

    bool Is(int x, int y, uint8_t red, uint8_t green, uint8_t blue) const {
        const uint8_t* pixel = At(x, y);
        return pixel[0] == red && pixel[1] == green && pixel[2] == blue;
    }

    int Count(const std::function<bool(const uint8_t*)>& accept) const {
        int count = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                count += accept(At(x, y)) ? 1 : 0;
            }
        }
        return count;
    }

    // The smallest rectangle holding every accepted pixel; right < 0 when none.
    struct CBounds {
        int left = 1 << 30, bottom = 1 << 30, right = -1, top = -1;
    };
    CBounds Bounds(const std::function<bool(const uint8_t*)>& accept) const {
        CBounds bounds;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (accept(At(x, y))) {
                    bounds = {std::min(bounds.left, x), std::min(bounds.bottom, y), std::max(bounds.right, x),
                              std::max(bounds.top, y)};
                }
            }
        }
        return bounds;
    }
};

inline bool IsBlack(const uint8_t* pixel) {
    return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0;
}
