#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

// Images from raw pixels by an independent encoder (ImageMagick), so reader and writer cannot share a mistake.
// `rawFormat` is "rgb", "rgba" or "gray"; raw rows run top to bottom.
inline bool ConvertRawImage(const std::vector<uint8_t>& raw, const char* rawFormat, int width, int height,
                            const std::string& output) {
    WriteFile("raw.bin", std::string(raw.begin(), raw.end()));
    const std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height) + " -depth 8 " +
                                rawFormat + ":raw.bin " + output + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

// Distinct, recognisable bytes 1, 2, 3, ... for `count` components.
inline std::vector<uint8_t> CountingBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    return bytes;
}
