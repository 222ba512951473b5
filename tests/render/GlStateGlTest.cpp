#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "GlFixture.h"
#include "ModelTools.h"
#include "core/Heightmap.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"
#include "ui/Interface.h"
#include "ui/LayoutFiles.h"

// Every draw of the frame leaves the fixed GL state, set once at start, as it found it.
namespace {

// The state a draw may change and must restore, one "name: value" line each; count 0 marks a capability.
struct CStateEntry {
    const char* name;
    GLenum      value;
    int         count;
};
#define ON(name) (CStateEntry{#name, name, 0})
#define VALUE(name, count) (CStateEntry{#name, name, count})

void ReadState(std::ostringstream& text, const CStateEntry& entry, const std::string& suffix = "") {
    GLfloat values[16] = {};
    text << entry.name << suffix << ":";
    if (entry.count == 0) {
        values[0] = glIsEnabled(entry.value);
    } else {
        glGetFloatv(entry.value, values);
    }
    for (int index = 0; index < std::max(entry.count, 1); ++index) {
        text << " " << std::to_string(values[index]);
    }
    text << "\n";
}

std::string StateSnapshot() {
    std::ostringstream text;
    GLint              activeUnit = 0, clientUnit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &clientUnit);
    text << "texture units, active and client: " << activeUnit - GL_TEXTURE0 << " " << clientUnit - GL_TEXTURE0 << "\n";
    for (const GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
        glActiveTexture(unit);
        glClientActiveTexture(unit);
        for (const CStateEntry& entry :
             {ON(GL_TEXTURE_2D), ON(GL_TEXTURE_1D), ON(GL_TEXTURE_COORD_ARRAY), VALUE(GL_TEXTURE_BINDING_2D, 1),
              VALUE(GL_TEXTURE_BINDING_1D, 1), VALUE(GL_TEXTURE_STACK_DEPTH, 1)}) {
            ReadState(text, entry, " of unit " + std::to_string(unit - GL_TEXTURE0));
        }
    }
    glActiveTexture(activeUnit);
    glClientActiveTexture(clientUnit);
    // clang-format off
    for (const CStateEntry& entry : {ON(GL_DEPTH_TEST), ON(GL_CULL_FACE), ON(GL_BLEND), ON(GL_LIGHTING), ON(GL_LIGHT0),
             ON(GL_COLOR_MATERIAL), ON(GL_RESCALE_NORMAL), ON(GL_VERTEX_PROGRAM_ARB), ON(GL_FOG), ON(GL_VERTEX_ARRAY),
             ON(GL_NORMAL_ARRAY), ON(GL_COLOR_ARRAY), VALUE(GL_MATRIX_MODE, 1), VALUE(GL_BLEND_SRC, 1),
             VALUE(GL_BLEND_DST, 1), VALUE(GL_DEPTH_FUNC, 1), VALUE(GL_DEPTH_WRITEMASK, 1), VALUE(GL_CULL_FACE_MODE, 1),
             VALUE(GL_SHADE_MODEL, 1), VALUE(GL_ARRAY_BUFFER_BINDING, 1), VALUE(GL_ELEMENT_ARRAY_BUFFER_BINDING, 1),
             VALUE(GL_MODELVIEW_STACK_DEPTH, 1), VALUE(GL_PROJECTION_STACK_DEPTH, 1), VALUE(GL_ATTRIB_STACK_DEPTH, 1),
             VALUE(GL_CLIENT_ATTRIB_STACK_DEPTH, 1), VALUE(GL_LINE_WIDTH, 1), VALUE(GL_POLYGON_MODE, 2),
             VALUE(GL_CURRENT_COLOR, 4), VALUE(GL_MODELVIEW_MATRIX, 16), VALUE(GL_PROJECTION_MATRIX, 16)}) {
        // clang-format on
        ReadState(text, entry);
    }
    GLfloat diffuse[4] = {};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    text << "diffuse material: " << diffuse[0] << " " << diffuse[1] << " " << diffuse[2] << " " << diffuse[3]
         << "\nGL error: " << glGetError() << "\n";
    return text.str();
}

struct StateCase {
    const char* name;
    RenderMode  renderMode;
    bool        displayLists;
    bool        capabilities; // buffer objects, multitexture and vertex programs
};

class DrawsKeepTheFixedState : public GlSceneTest, public ::testing::WithParamInterface<StateCase> {
protected:
    void SetUp() override {
        GlSceneTest::SetUp();
        const StateCase& test            = GetParam();
        app->options.renderMode          = test.renderMode;
        app->options.displayLists        = test.displayLists;
        app->options.debugInfo           = true;
        app->options.vertexBufferObjects = app->options.multitexture = app->options.vertexShader = test.capabilities;
        ASSERT_TRUE(ModelTools::ExportModel("objects", "ball", ModelTools::SphereObj(8.0f, "paint"),
                                            "newmtl paint\nKd 0.2 0.3 0.4\n"));
        CopyCelPrograms();
        // 129 samples: tiles of four cells, the narrowest the tile overlay draws.
        heightmap = std::make_unique<CHeightmap>(129, std::vector<int>(129 * 129, 10), 320.0f, 255.0f);
        ASSERT_TRUE(terrain.Create("Terrain", heightmap.get(), &textures));
        sky     = std::make_unique<CSkyBox>("Skydome", textures, 320.0f);
        sea     = std::make_unique<CSea>("Terrain", 320.0f, 1.0f, 5.0f, textures);
        objects = std::make_unique<CWorldObjects>("objects.xml", &textures, heightmap.get());
        objects->SetUnitLookup([](int, CUnitLook& look) { return look = CUnitLook{10, 2, false}, true; });
        objects->PlaceOnGround(objects->AddObject("ball.3ds"), 160.0f, 160.0f);
        objects->PlaceOnGround(objects->AddObject("ball.3ds"), 120.0f, 140.0f);
        objects->GetObjectByIndex(1)->SetUnitIndex(0);
        layout.File("comment").Set("turnteam1", "%n%s%s turn"); // a message text is never a format
        layout.Write();
        hud = std::make_unique<CInterface>("Interface\\interface.xml", windowWidth, windowHeight);
        hud->ShowMessage(CInterface::messageTurn, 1);
        hudState.frameTime = 0.02f;
    }

    void TearDown() override {
        objects.reset();
        textures.Clear();
        GlSceneTest::TearDown();
    }

    CTempWorkDir                   dir;
    CTextureManager                textures;
    std::unique_ptr<CHeightmap>    heightmap;
    CTerrain                       terrain;
    std::unique_ptr<CSkyBox>       sky;
    std::unique_ptr<CSea>          sea;
    std::unique_ptr<CWorldObjects> objects;
    CLayoutFiles                   layout;
    std::unique_ptr<CInterface>    hud;
    CHudState                      hudState;
};

TEST_P(DrawsKeepTheFixedState, EachDrawLeavesTheStateAsItFoundIt) {
    app->OnReshape(windowWidth, windowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluLookAt(160.0, 300.0, -100.0, 160.0, 0.0, 160.0, 0.0, 1.0, 0.0);
    terrain.SetTileColour(16, 16, 200, 0, 0, 128);
    app->AddDebugLine("polycount: %d", 1234);
    const std::pair<const char*, std::function<int()>> draws[] = {
        {"sky", [&] { return sky->Draw(); }},
        {"terrain", [&] { return terrain.Draw(); }},
        {"tile overlay", [&] { return terrain.DrawOverlay(); }},
        {"sea", [&] { return sea->Draw(); }},
        {"units", [&] { return objects->Draw(CWorldObjects::passUnits); }},
        {"objects", [&] { return objects->Draw(CWorldObjects::passObjects); }},
        {"heads-up display", [&] { return hud->Draw(hudState), hud->IsMessageRunning() ? 1 : 0; }},
        {"debug overlay", [&] { return app->DrawDebugLines(), 1; }},
    };
    for (const auto& draw : draws) {
        CApplication::SetFixedGlState();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        const std::string before = StateSnapshot();
        EXPECT_GT(draw.second(), 0) << draw.first << " drew nothing";
        EXPECT_EQ(StateSnapshot(), before) << "the " << draw.first << " changed the state";
    }
    app->ClearDebugLines();
}

INSTANTIATE_TEST_SUITE_P(Paths, DrawsKeepTheFixedState,
                         ::testing::Values(StateCase{"BufferObjectsCelShaded", renderBufferObjects, true, true},
                                           StateCase{"VertexArraysWithoutLists", renderVertexArrays, false, false},
                                           StateCase{"VertexArraysWithLists", renderVertexArrays, true, true},
                                           StateCase{"ImmediateWithoutLists", renderImmediate, false, false},
                                           StateCase{"ImmediateWithLists", renderImmediate, true, false}),
                         [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

} // namespace
