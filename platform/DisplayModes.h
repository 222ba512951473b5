#pragma once

#include <vector>

// One mode of a display as the system lists it.
struct CDisplayMode {
    int width        = 0; // pixels
    int height       = 0; // pixels
    int bitsPerPixel = 0; // of the framebuffer pixel, e.g. 32 for 24-bit colour
    int refreshRate  = 0; // Hz, rounded; 0 when the system does not know it
};

// The modes of the primary display, in the order the system lists them
// (duplicates included).
class CDisplayModes {
public:
    // Empty when no display can be opened. With XRandR the modes of the
    // primary output (else of the first connected one) are listed; without it,
    // the current screen size is the only mode.
    static std::vector<CDisplayMode> Enumerate();
};
