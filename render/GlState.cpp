#include "render/GlState.h"

#include <GL/glu.h>

CGlStateScope::CGlStateScope(GLbitfield attributeBits, GLbitfield clientBits)
    : attributeBits(attributeBits), clientBits(clientBits) {
    if (attributeBits != 0) {
        glPushAttrib(attributeBits);
    }
    if ((attributeBits & GL_CURRENT_BIT) != 0) {
        glGetFloatv(GL_CURRENT_COLOR, colour);
    }
    if (clientBits != 0) {
        glPushClientAttrib(clientBits);
    }
}

CGlStateScope::~CGlStateScope() {
    if (clientBits != 0) {
        glPopClientAttrib();
    }
    if (attributeBits != 0) {
        glPopAttrib();
    }
    if ((attributeBits & GL_CURRENT_BIT) != 0) {
        glColor4fv(colour);
    }
}

// GL_TRANSFORM_BIT keeps the current matrix mode, so the scene's modelview
// stays current afterwards; GL_CURRENT_BIT keeps the colour and raster
// position the text changes.
CWindowProjectionScope::CWindowProjectionScope(int windowWidth, int windowHeight)
    : state(GL_ENABLE_BIT | GL_TRANSFORM_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) {
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, windowWidth, 0.0, windowHeight);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

CWindowProjectionScope::~CWindowProjectionScope() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
