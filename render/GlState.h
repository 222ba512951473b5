#pragma once

#include <GL/gl.h>

// The fixed GL state the program sets at start (smooth shading, depth test,
// back-face culling, 2D texturing on, modelview matrix current, texture unit 0,
// no blending or lighting, no client arrays) and the frame's current colour
// are what every draw may assume and must leave behind. A draw that changes
// state it does not own opens one of these scopes instead of scattering
// glEnable/glDisable pairs.

// Saves the server attribute groups (glPushAttrib) and client attribute groups
// (glPushClientAttrib) a draw changes, and restores them when the scope ends.
// With GL_CURRENT_BIT the colour is also set back explicitly: after vertices
// sent between glBegin and glEnd, Mesa's glPopAttrib leaves the last vertex's
// colour current instead of the saved one.
class CGlStateScope {
public:
    explicit CGlStateScope(GLbitfield attributeBits, GLbitfield clientBits = 0);
    ~CGlStateScope();
    CGlStateScope(const CGlStateScope&)            = delete;
    CGlStateScope& operator=(const CGlStateScope&) = delete;

private:
    GLbitfield attributeBits;
    GLbitfield clientBits;
    GLfloat    colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// 2D drawing in window pixels, origin at the bottom left (x right, y up), as
// glRasterPos and glBitmap expect: saves both matrices and the enable bits,
// loads an orthographic projection of the window, and turns off depth test,
// lighting, texturing and face culling so that text and panels lie over the
// scene in the current colour. Shared by the debug overlay, the heads-up
// display, the editor overlay and the finish screen.
class CWindowProjectionScope {
public:
    CWindowProjectionScope(int windowWidth, int windowHeight);
    ~CWindowProjectionScope();
    CWindowProjectionScope(const CWindowProjectionScope&)            = delete;
    CWindowProjectionScope& operator=(const CWindowProjectionScope&) = delete;

private:
    CGlStateScope state;
};
