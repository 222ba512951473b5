#include "render/MultitextureFunctions.h"

#include "platform/GlEntryPoints.h"

bool CMultitextureFunctions::Load() {
    // Bitwise & so that every missing function is reported, not just the first.
    const bool all = CGlEntryPoints::Get("glActiveTextureARB", activeTexture) &
                     CGlEntryPoints::Get("glClientActiveTextureARB", clientActiveTexture) &
                     CGlEntryPoints::Get("glMultiTexCoord2fARB", multiTexCoord2f);
    if (!all) {
        *this = CMultitextureFunctions();
    }
    return all;
}
