#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "core/Camera.h"
#include "core/Frustum.h"
#include "core/Heightmap.h"
#include "render/Terrain.h"

// The scene of the terrain and tile overlay tests: a heightmap of a given
// shape over 2048 world units (sample 255 is 400 units high), the terrain
// built from it with a camera and frustum, views of it, and frames that draw
// the terrain black (untextured) or textured on white.
class TerrainSceneTest : public GlSceneTest {
public:
    static constexpr float mapWidth  = 2048.0f;
    static constexpr float mapHeight = 400.0f;

    using HeightFunction = std::function<int(int row, int column)>;

    static CHeightmap MakeHeightmap(int size, const HeightFunction& height) {
        std::vector<int> samples(static_cast<size_t>(size) * size);
        for (int row = 0; row < size; ++row) {
            for (int column = 0; column < size; ++column) {
                samples[static_cast<size_t>(row) * size + column] = height(row, column);
            }
        }
        return CHeightmap(size, samples, mapWidth, mapHeight);
    }

    static bool IsWhite(const uint8_t* pixel) { return pixel[0] > 250 && pixel[1] > 250 && pixel[2] > 250; }
    static int  CountWhite(const CPicture& picture) { return picture.Count(IsWhite); }

    // Small noise whose amplitude grows along the columns, so the geometric
    // errors differ between patches and a camera sees several detail levels.
    static int GrowingNoise(int row, int column) {
        const unsigned hash = static_cast<unsigned>(row * 7919 + column * 104729) * 2654435761u;
        return 100 + static_cast<int>((hash >> 24) % (1 + column / 16));
    }

protected:
    void TearDown() override {
        terrain.reset();
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        glDisable(GL_CULL_FACE);
        GlSceneTest::TearDown();
    }

    void Build(int size, const HeightFunction& height, bool withTextures = false) {
        heightmap = std::make_unique<CHeightmap>(MakeHeightmap(size, height));
        terrain   = std::make_unique<CTerrain>();
        TerrainTextureLoader loader;
        if (withTextures) {
            loader = [this](const std::string&, bool) { return MakeTexture(); };
        }
        ASSERT_TRUE(terrain->Create("TestLevel\\Terrain", heightmap.get(), loader));
        camera = std::make_unique<CCamera>(heightmap.get());
        terrain->SetCamera(camera.get());
        terrain->SetFrustum(&frustum);
    }

    // A checker of two colours that differ per texture, so a patch drawn with
    // the wrong texture or coordinates changes the picture.
    GLuint MakeTexture() {
        const int                  side  = 16;
        const unsigned char        shade = static_cast<unsigned char>(40 + 13 * textures.size() % 200);
        std::vector<unsigned char> texels;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const bool dark = ((x / 4) + (y / 4)) % 2 == 0;
                texels.insert(texels.end(), {dark ? shade : static_cast<unsigned char>(230),
                                             static_cast<unsigned char>(y * 15), static_cast<unsigned char>(x * 15)});
            }
        }
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        textures.push_back(texture);
        return texture;
    }

    // A perspective view from the camera pose; the frustum follows.
    void LookFrom(const CVector3& eye, const CVector3& center) {
        camera->SetPosition(eye, center, CVector3(0, 1, 0));
        Look(CView{{eye.x, eye.y, eye.z}, {center.x, center.y, center.z}});
    }

    // Straight down over the map, orthographic, `margin` world units inside
    // its border: world x to the right and z down the window.
    void LookDown(float margin = 0.0f) {
        camera->SetPosition(CVector3(1024, 1500, 1024), CVector3(1024, 0, 1024.01f), CVector3(0, 1, 0));
        Look(CView{{1024, 2000, 1024}, {1024, 0, 1024}, 0.0, 1024.0 - margin, 1.0, 4000.0, {0, 0, -1}});
    }

    void Look(const CView& view) {
        const float white[3] = {1.0f, 1.0f, 1.0f};
        ClearAndLook(white, view);
        float modelView[16];
        float projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        frustum.Update(modelView, projection);
    }

    // White background, the terrain black where it is untextured, with the
    // culling and detail chosen again; returns the terrain's triangles.
    int DrawFrame(RenderMode renderMode = renderVertexArrays, bool displayLists = false) {
        app->options.renderMode   = renderMode;
        app->options.displayLists = displayLists;
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glColor3f(0, 0, 0);
        camera->SetChanged(true);
        terrainTriangles = terrain->Draw();
        camera->SetChanged(false);
        glFinish();
        return terrainTriangles;
    }

    std::unique_ptr<CHeightmap> heightmap;
    std::unique_ptr<CTerrain>   terrain;
    std::unique_ptr<CCamera>    camera;
    CFrustum                    frustum;
    std::vector<GLuint>         textures;
    int                         terrainTriangles = 0;
};
