#pragma once

// The graphics and render options, readable by every subsystem without the
// application. Capability flags (read from "gfxconfig.ini" and cleared when
// their extension is missing) decide at creation time which GPU objects exist;
// render options are read at the moment of use and switched live with the
// function keys. The numeric values are those the function-key cycles and the
// settings file use.

// Geometry submission path (F6).
enum RenderMode { renderBufferObjects = 1, renderVertexArrays = 2, renderImmediate = 3 };
// Mip mapping of level textures (F5).
enum MipmapMode { mipmapOff = 1, mipmapBilinear = 2, mipmapTrilinear = 3 };
// Magnification and base minification filter (F4).
enum TextureFilter { textureFilterNearest = 1, textureFilterLinear = 2 };

struct CAppOptions {
    bool          fullscreen          = false;
    bool          textureCompression  = false;
    bool          sgiMipmap           = false;
    bool          vertexBufferObjects = false;
    bool          vertexShader        = false;
    bool          displayLists        = true;
    bool          multitexture        = false;
    bool          showFramerate       = false;
    bool          debugInfo           = false;
    bool          showRenderInfo      = true;
    bool          editorMode          = false;
    bool          sound               = false;
    bool          wireframe           = false;
    bool          levelOfDetail       = true;
    MipmapMode    mipmapMode          = mipmapTrilinear;
    TextureFilter textureFilter       = textureFilterLinear;
    RenderMode    renderMode          = renderVertexArrays;
    bool          frustumCulling      = true;
    bool          transparency        = true;
    // Savings at draw time that leave the picture as it is (no mip-map work
    // where textures are only magnified, no sea or sky where the ground
    // hides them); off draws the reference picture they are checked against.
    bool fillShortcuts = true;
};

// The running program's options (owned by the application object).
CAppOptions& GetOptions();
