#pragma once

#include <string>

#include "tools/Image.h"

// The program's icon for desktop menus: a ridge under an evening sky with a
// team flag on its peak, on a rounded square. Drawn at any size from the
// same shapes, so each size is sharp rather than scaled.
class CAppIcon {
public:
    static constexpr int sizes[] = {48, 64, 128, 256};

    static CImage Draw(int size);
    // Writes "<folder>/<N>x<N>/apps/ridgeline.png" for every size (the
    // layout of an icon theme); false, with a message, when a file cannot
    // be written.
    static bool WriteTheme(const std::string& folder);
};
