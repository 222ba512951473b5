#include "render/BufferObjects.h"

#include "platform/GlEntryPoints.h"

bool CBufferObjects::Load() {
    const bool all =
        CGlEntryPoints::Get("glBindBufferARB", bindBuffer) & CGlEntryPoints::Get("glBufferDataARB", bufferData) &
        CGlEntryPoints::Get("glDeleteBuffersARB", deleteBuffers) & CGlEntryPoints::Get("glGenBuffersARB", genBuffers);
    if (!all) {
        *this = CBufferObjects();
        return false;
    }
    return true;
}

GLuint CBufferObjects::Upload(GLenum target, const void* data, size_t bytes, GLenum usage) const {
    if (!IsLoaded()) {
        return 0;
    }
    GLuint buffer = 0;
    genBuffers(1, &buffer);
    Reload(target, buffer, data, bytes, usage);
    return buffer;
}

void CBufferObjects::Reload(GLenum target, GLuint buffer, const void* data, size_t bytes, GLenum usage) const {
    if (!IsLoaded() || buffer == 0) {
        return;
    }
    bindBuffer(target, buffer);
    bufferData(target, static_cast<GLsizeiptrARB>(bytes), data, usage);
    bindBuffer(target, 0);
}

void CBufferObjects::Delete(GLuint& buffer) const {
    if (IsLoaded() && buffer != 0) {
        deleteBuffers(1, &buffer);
    }
    buffer = 0;
}
