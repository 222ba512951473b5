#include <gtest/gtest.h>

#include "core/RenderOptions.h"

namespace {

struct OptionTextCase {
    RenderOption option;
    void (*set)(CAppOptions& options);
    const char* text;
};

class OptionTexts : public ::testing::TestWithParam<OptionTextCase> {};

// The overlay's and the interface's texts, exactly as the player reads them.
TEST_P(OptionTexts, NameTheOptionItsKeyAndItsState) {
    CAppOptions options;
    GetParam().set(options);
    EXPECT_STREQ(GetOptionText(options, GetParam().option), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OptionTexts,
    ::testing::Values(OptionTextCase{RenderOption::TextureFilter, [](CAppOptions&) {}, "Texturqualität (F4): linear"},
                      OptionTextCase{RenderOption::TextureFilter,
                                     [](CAppOptions& o) { o.textureFilter = textureFilterNearest; },
                                     "Texturqualität (F4): nearest"},
                      OptionTextCase{RenderOption::MipMapping, [](CAppOptions&) {}, "Mip Mapping (F5): trilinear"},
                      OptionTextCase{RenderOption::MipMapping, [](CAppOptions& o) { o.mipmapMode = mipmapOff; },
                                     "Mip Mapping (F5): aus"},
                      OptionTextCase{RenderOption::MipMapping, [](CAppOptions& o) { o.mipmapMode = mipmapBilinear; },
                                     "Mip Mapping (F5): bilinear"},
                      OptionTextCase{RenderOption::RenderMode, [](CAppOptions&) {}, "Rendermode (F6): Vertex Arrays"},
                      OptionTextCase{RenderOption::RenderMode,
                                     [](CAppOptions& o) { o.renderMode = renderBufferObjects; },
                                     "Rendermode (F6): Vertex Buffer Objects"},
                      OptionTextCase{RenderOption::RenderMode, [](CAppOptions& o) { o.renderMode = renderImmediate; },
                                     "Rendermode (F6): Immediate Mode"},
                      OptionTextCase{RenderOption::DisplayLists, [](CAppOptions&) {}, "Displaylists (F7): ein"},
                      OptionTextCase{RenderOption::DisplayLists, [](CAppOptions& o) { o.displayLists = false; },
                                     "Displaylists (F7): aus"},
                      OptionTextCase{RenderOption::FrustumCulling, [](CAppOptions& o) { o.frustumCulling = false; },
                                     "View Frustum Culling (F8): aus"},
                      OptionTextCase{RenderOption::Transparency, [](CAppOptions&) {}, "Transparenz (F9): ein"},
                      OptionTextCase{RenderOption::LevelOfDetail, [](CAppOptions& o) { o.levelOfDetail = false; },
                                     "Level of Detail (F10): aus"}));

} // namespace
