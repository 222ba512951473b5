#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// The multitexture entry points (GL_ARB_multitexture) of the sea's second
// layer and the cel-shaded models' two texture units: one set for both,
// fetched by each object that uses them when it is created.
struct CMultitextureFunctions {
    PFNGLACTIVETEXTUREARBPROC       activeTexture       = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
    PFNGLMULTITEXCOORD2FARBPROC     multiTexCoord2f     = nullptr;

    // Fetches all three; false (and all null) unless every one is found.
    bool Load();
    bool IsLoaded() const { return activeTexture != nullptr; }
};
