#pragma once

#include <cstddef>

#include <GL/gl.h>
#include <GL/glext.h>

// The buffer-object entry points (GL_ARB_vertex_buffer_object), fetched by
// each object that uses them when it is created.
struct CBufferObjects {
    PFNGLBINDBUFFERARBPROC    bindBuffer    = nullptr;
    PFNGLBUFFERDATAARBPROC    bufferData    = nullptr;
    PFNGLDELETEBUFFERSARBPROC deleteBuffers = nullptr;
    PFNGLGENBUFFERSARBPROC    genBuffers    = nullptr;

    // Fetches all four; false (and all null) unless every one is found.
    bool Load();
    bool IsLoaded() const { return bindBuffer != nullptr; }
    // A new buffer of `target` holding `bytes` from `data`; 0 when not loaded.
    GLuint Upload(GLenum target, const void* data, size_t bytes, GLenum usage) const;
    // Replaces the contents of an existing buffer.
    void Reload(GLenum target, GLuint buffer, const void* data, size_t bytes, GLenum usage) const;
    // Deletes a buffer and sets its name to 0; nothing for name 0.
    void Delete(GLuint& buffer) const;
};
