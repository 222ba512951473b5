#include "render/MagnifiedSampler.h"

#include <cstring>

#include "core/Options.h"
#include "platform/GlEntryPoints.h"

namespace {

bool HasExtension(const char* name) {
    const char*  list   = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = strlen(name);
    for (const char* at = list; at != nullptr && (at = strstr(at, name)) != nullptr; at += length) {
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) {
            return true;
        }
    }
    return false;
}

} // namespace

CMagnifiedSampler::~CMagnifiedSampler() {
    Release();
}

bool CMagnifiedSampler::Create() {
    Release();
    if (!HasExtension("GL_ARB_sampler_objects")) {
        return false;
    }
    const bool all = CGlEntryPoints::Get("glGenSamplers", genSamplers) &
                     CGlEntryPoints::Get("glDeleteSamplers", deleteSamplers) &
                     CGlEntryPoints::Get("glBindSampler", bindSampler) &
                     CGlEntryPoints::Get("glSamplerParameteri", samplerParameteri);
    if (all) {
        genSamplers(1, &sampler);
    }
    if (sampler == 0) {
        return false;
    }
    // The textures' own wrap mode (see CTexture::Upload).
    samplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    samplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return true;
}

void CMagnifiedSampler::Release() {
    if (sampler != 0) {
        Finish();
        deleteSamplers(1, &sampler);
    }
    sampler = 0;
    filter  = 0;
    bound   = false;
}

void CMagnifiedSampler::Use(bool magnified) {
    const CAppOptions& options = GetOptions();
    magnified                  = magnified && sampler != 0 && options.mipmapMode != mipmapOff;
    if (magnified) {
        const GLint wanted = options.textureFilter == textureFilterNearest ? GL_NEAREST : GL_LINEAR;
        if (wanted != filter) {
            samplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, wanted);
            samplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, wanted);
            filter = wanted;
        }
    }
    if (magnified != bound) {
        bindSampler(0, magnified ? sampler : 0);
        bound = magnified;
    }
}
