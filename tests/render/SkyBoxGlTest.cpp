#include <GL/glu.h>

#include <gtest/gtest.h>

#include <vector>

#include "GlFixture.h"
#include "ImageTools.h"
#include "TestSupport.h"
#include "render/SkyBox.h"
#include "render/TextureManager.h"

namespace {

constexpr float worldWidth = 1280.0f;

// A distinct colour for each face.
struct FaceColour {
    const char* file;
    uint8_t     rgb[3];
};
const FaceColour faceColours[] = {
    {"back.tga", {200, 0, 0}},  {"front.tga", {0, 200, 0}},  {"bottom.tga", {0, 0, 200}},
    {"top.tga", {200, 200, 0}}, {"left.tga", {0, 200, 200}}, {"right.tga", {200, 0, 200}},
};

struct LookCase {
    const char* name;
    double      dx, dy, dz;   // view direction from the map centre
    double      ux, uy, uz;   // up vector
    int         expectedFace; // index into faceColours
};

class SkyBoxLook : public GlTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(SkyBoxLook, SurroundsTheViewWithTheRightFace) {
    CTempWorkDir dir;
    MakeFolders("Skydome");
    for (const FaceColour& face : faceColours) {
        std::vector<uint8_t> raw;
        for (int i = 0; i < 8 * 8; ++i) {
            raw.insert(raw.end(), face.rgb, face.rgb + 3);
        }
        ASSERT_TRUE(ConvertRawImage(raw, "rgb", 8, 8, std::string("Skydome/") + face.file));
    }
    CTextureManager textures;
    CSkyBox         sky("Skydome", textures, worldWidth);

    // A 60 degree view from the map centre that reaches past the sky box.
    const LookCase& look     = GetParam();
    const double    eye[3]   = {worldWidth * 0.5, 200.0, worldWidth * 0.5};
    const float     black[3] = {0.0f, 0.0f, 0.0f};
    CView           view{{eye[0], eye[1], eye[2]}, {eye[0] + look.dx, eye[1] + look.dy, eye[2] + look.dz}, 60.0};
    view.farPlane = 20000.0;
    view.up[0] = look.ux, view.up[1] = look.uy, view.up[2] = look.uz;
    ClearAndLook(black, view);
    glColor3f(1, 1, 1);
    EXPECT_EQ(sky.Draw(), 12);
    EXPECT_TRUE(CPicture::Read().Is(windowWidth / 2, windowHeight / 2, faceColours[look.expectedFace].rgb, 3))
        << look.name << " should see " << faceColours[look.expectedFace].file;
    textures.Clear();
}

INSTANTIATE_TEST_SUITE_P(
    Directions, SkyBoxLook,
    ::testing::Values(LookCase{"towards -z", 0, 0, -1, 0, 1, 0, 1}, LookCase{"towards +z", 0, 0, 1, 0, 1, 0, 0},
                      LookCase{"down", 0, -1, 0, 0, 0, -1, 2}, LookCase{"up", 0, 1, 0, 0, 0, -1, 3},
                      LookCase{"towards +x", 1, 0, 0, 0, 1, 0, 4}, LookCase{"towards -x", -1, 0, 0, 0, 1, 0, 5}));

} // namespace
