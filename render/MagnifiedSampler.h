#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// A sampler object (GL_ARB_sampler_objects) that reads a mip-mapped texture
// with the magnification filter alone, for draws whose every pixel is known
// to magnify the texture (see TexelFootprint): the picture is the same, and
// the rasteriser skips the level-of-detail work per pixel. Without the
// extension, or with mip mapping off, Bind does nothing and the texture's own
// filters apply.
class CMagnifiedSampler {
public:
    CMagnifiedSampler() = default;
    ~CMagnifiedSampler();
    CMagnifiedSampler(const CMagnifiedSampler&)            = delete;
    CMagnifiedSampler& operator=(const CMagnifiedSampler&) = delete;

    // Needs a current GL context; false when the driver has no sampler objects.
    bool Create();
    void Release();
    bool IsCreated() const { return sampler != 0; }

    // Binds the sampler to texture unit 0 for a magnified draw (filtered as
    // the options' F4 filter magnifies), or the texture's own filters
    // otherwise. Repeated calls with the same value cost nothing.
    void Use(bool magnified);
    // Texture unit 0 back to the texture's own filters; call after the draws.
    void Finish() { Use(false); }

private:
    PFNGLGENSAMPLERSPROC       genSamplers       = nullptr;
    PFNGLDELETESAMPLERSPROC    deleteSamplers    = nullptr;
    PFNGLBINDSAMPLERPROC       bindSampler       = nullptr;
    PFNGLSAMPLERPARAMETERIPROC samplerParameteri = nullptr;
    GLuint                     sampler           = 0;
    GLint                      filter            = 0; // the sampler's current filter
    bool                       bound             = false;
};
