#pragma once

// How many texels of a texture's full-size level one pixel step covers, for
// deciding where a mip-mapped texture is only ever magnified: there the
// magnification filter alone gives every pixel, and drawing without the mip
// maps gives the same picture for less work.

// The world-to-window mapping of the current view: projection times
// modelview (column-major, as GL keeps them) and the viewport's size.
struct CPixelMapping {
    float matrix[16]   = {};
    float windowWidth  = 0.0f;
    float windowHeight = 0.0f;

    // From the GL's current projection, modelview and viewport.
    static CPixelMapping FromGl();
    bool                 operator==(const CPixelMapping& other) const;
};

// A point on the window (pixels), its clip w (the eye depth in a perspective
// view) and its texture coordinates in texels of the full-size level.
struct CWindowVertex {
    float x = 0.0f, y = 0.0f, w = 0.0f;
    float u = 0.0f, v = 0.0f;
};

namespace TexelFootprint {

// The window point of world position (x, y, z) with texel coordinates (u, v).
CWindowVertex Project(const CPixelMapping& view, float x, float y, float z, float u, float v);

// An upper bound of the texels per pixel step (the larger of the two window
// directions) anywhere in the triangle's pixels and the neighbours the
// rasteriser takes into a 2 x 2 block; a huge value for a triangle that
// reaches behind the eye or is seen edge on.
float TriangleBound(const CWindowVertex& a, const CWindowVertex& b, const CWindowVertex& c);

// The largest bound below which a texture counts as magnified: below 1
// (the filters' switching point) with room for the rasteriser's rounding.
constexpr float magnifiedLimit = 0.9f;

} // namespace TexelFootprint
