#include "core/RenderOptions.h"

namespace {

const char* OnOffText(bool on, const char* onText, const char* offText) {
    return on ? onText : offText;
}

} // namespace

const char* GetOptionText(const CAppOptions& options, RenderOption option) {
    switch (option) {
    case RenderOption::TextureFilter:
        return options.textureFilter == textureFilterNearest ? "Texturqualität (F4): nearest"
                                                             : "Texturqualität (F4): linear";
    case RenderOption::MipMapping:
        switch (options.mipmapMode) {
        case mipmapOff:
            return "Mip Mapping (F5): aus";
        case mipmapBilinear:
            return "Mip Mapping (F5): bilinear";
        default:
            return "Mip Mapping (F5): trilinear";
        }
    case RenderOption::RenderMode:
        switch (options.renderMode) {
        case renderBufferObjects:
            return "Rendermode (F6): Vertex Buffer Objects";
        case renderVertexArrays:
            return "Rendermode (F6): Vertex Arrays";
        default:
            return "Rendermode (F6): Immediate Mode";
        }
    case RenderOption::DisplayLists:
        return OnOffText(options.displayLists, "Displaylists (F7): ein", "Displaylists (F7): aus");
    case RenderOption::FrustumCulling:
        return OnOffText(options.frustumCulling, "View Frustum Culling (F8): ein", "View Frustum Culling (F8): aus");
    case RenderOption::Transparency:
        return OnOffText(options.transparency, "Transparenz (F9): ein", "Transparenz (F9): aus");
    case RenderOption::LevelOfDetail:
        return OnOffText(options.levelOfDetail, "Level of Detail (F10): ein", "Level of Detail (F10): aus");
    }
    return "";
}
