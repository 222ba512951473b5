#pragma once

#include "core/Options.h"

// The render options whose state the debug overlay and the interface show as
// text, each with the function key that switches it.
enum class RenderOption {
    TextureFilter,
    MipMapping,
    RenderMode,
    DisplayLists,
    FrustumCulling,
    Transparency,
    LevelOfDetail
};

// The current state of a render option, e.g. "Mip Mapping (F5): trilinear".
const char* GetOptionText(const CAppOptions& options, RenderOption option);
