#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "GlFixture.h"
#include "ModelTools.h"
#include "TestSupport.h"
#include "app/Application.h"
#include "core/Heightmap.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"
#include "ui/Interface.h"
#include "ui/LayoutFiles.h"

// Every draw of the frame (the heads-up display with a message running
// among them) leaves the fixed GL state as it found it: the
// program sets that state once at start (and the frame's colour is white),
// and a draw that changed it would change the look of every draw after it,
// in this frame and the next.
namespace {

// A GL enum with its name, for the messages.
#define NAMED(name) (CNamedEnum{#name, name})
struct CNamedEnum {
    const char* name;
    GLenum      value;
};

// The state a draw may change and must restore, read back as text.
class CStateSnapshot {
public:
    static CStateSnapshot Take() {
        CStateSnapshot snapshot;
        GLint          activeUnit = 0, clientUnit = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
        glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &clientUnit);
        snapshot.Add("active texture unit", std::to_string(activeUnit - GL_TEXTURE0));
        snapshot.Add("client texture unit", std::to_string(clientUnit - GL_TEXTURE0));
        for (const GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
            glActiveTexture(unit);
            glClientActiveTexture(unit);
            const std::string suffix = " of unit " + std::to_string(unit - GL_TEXTURE0);
            for (const CNamedEnum& enable :
                 {NAMED(GL_TEXTURE_2D), NAMED(GL_TEXTURE_1D), NAMED(GL_TEXTURE_COORD_ARRAY)}) {
                snapshot.Add(enable.name + suffix, glIsEnabled(enable.value) ? "on" : "off");
            }
            for (const CNamedEnum& value :
                 {NAMED(GL_TEXTURE_BINDING_2D), NAMED(GL_TEXTURE_BINDING_1D), NAMED(GL_TEXTURE_STACK_DEPTH)}) {
                snapshot.Read(value, 1, suffix);
            }
        }
        glActiveTexture(activeUnit);
        glClientActiveTexture(clientUnit);
        for (const CNamedEnum& enable :
             {NAMED(GL_DEPTH_TEST), NAMED(GL_CULL_FACE), NAMED(GL_BLEND), NAMED(GL_LIGHTING), NAMED(GL_LIGHT0),
              NAMED(GL_COLOR_MATERIAL), NAMED(GL_RESCALE_NORMAL), NAMED(GL_VERTEX_PROGRAM_ARB), NAMED(GL_FOG),
              NAMED(GL_VERTEX_ARRAY), NAMED(GL_NORMAL_ARRAY), NAMED(GL_COLOR_ARRAY)}) {
            snapshot.Add(enable.name, glIsEnabled(enable.value) ? "on" : "off");
        }
        for (const CNamedEnum& value :
             {NAMED(GL_MATRIX_MODE), NAMED(GL_BLEND_SRC), NAMED(GL_BLEND_DST), NAMED(GL_DEPTH_FUNC),
              NAMED(GL_DEPTH_WRITEMASK), NAMED(GL_CULL_FACE_MODE), NAMED(GL_SHADE_MODEL),
              NAMED(GL_ARRAY_BUFFER_BINDING), NAMED(GL_ELEMENT_ARRAY_BUFFER_BINDING), NAMED(GL_MODELVIEW_STACK_DEPTH),
              NAMED(GL_PROJECTION_STACK_DEPTH), NAMED(GL_ATTRIB_STACK_DEPTH), NAMED(GL_CLIENT_ATTRIB_STACK_DEPTH),
              NAMED(GL_LINE_WIDTH)}) {
            snapshot.Read(value, 1);
        }
        snapshot.Read(NAMED(GL_POLYGON_MODE), 2);
        snapshot.Read(NAMED(GL_CURRENT_COLOR), 4);
        snapshot.Read(NAMED(GL_MODELVIEW_MATRIX), 16);
        snapshot.Read(NAMED(GL_PROJECTION_MATRIX), 16);
        GLfloat diffuse[4] = {};
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        snapshot.Add("diffuse material", Text(diffuse, 4));
        snapshot.Add("GL error", std::to_string(glGetError()));
        return snapshot;
    }

    // The entries that differ, one per line: "name: before -> after".
    std::string Changes(const CStateSnapshot& after) const {
        std::ostringstream changes;
        for (size_t index = 0; index < entries.size(); ++index) {
            if (entries[index].second != after.entries[index].second) {
                changes << entries[index].first << ": " << entries[index].second << " -> "
                        << after.entries[index].second << "\n";
            }
        }
        return changes.str();
    }

private:
    static std::string Text(const GLfloat* values, int count) {
        std::string text;
        for (int index = 0; index < count; ++index) {
            text += (index > 0 ? " " : "") + std::to_string(values[index]);
        }
        return text;
    }
    void Add(const std::string& name, const std::string& value) { entries.emplace_back(name, value); }
    void Read(const CNamedEnum& value, int count, const std::string& suffix = "") {
        GLfloat values[16] = {};
        glGetFloatv(value.value, values);
        Add(value.name + suffix, Text(values, count));
    }

    std::vector<std::pair<std::string, std::string>> entries;
};

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
        app->options.vertexBufferObjects = test.capabilities;
        app->options.multitexture        = test.capabilities;
        app->options.vertexShader        = test.capabilities;
        app->options.debugInfo           = true;
        ASSERT_TRUE(ModelTools::ExportModel("objects", "ball", ModelTools::SphereObj(8.0f, "paint"),
                                            "newmtl paint\nKd 0.2 0.3 0.4\n"));
        CopyCelPrograms();
        // 129 samples: tiles of four cells, the narrowest the tile overlay draws.
        heightmap = std::make_unique<CHeightmap>(129, std::vector<int>(129 * 129, 10), 320.0f, 255.0f);
        ASSERT_TRUE(terrain.Create("Terrain", heightmap.get(), &textures));
        sky     = std::make_unique<CSkyBox>("Skydome", textures, 320.0f);
        sea     = std::make_unique<CSea>("Terrain", 320.0f, 1.0f, 5.0f, textures);
        objects = std::make_unique<CWorldObjects>("objects.xml", &textures, heightmap.get());
        objects->SetUnitLookup([](int, CUnitLook& look) {
            look = CUnitLook{10, 2, false};
            return true;
        });
        objects->PlaceOnGround(objects->AddObject("ball.3ds"), 160.0f, 160.0f);
        const int unit = objects->AddObject("ball.3ds");
        objects->PlaceOnGround(unit, 120.0f, 140.0f);
        objects->GetObjectByIndex(unit)->SetUnitIndex(0);
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
    const std::pair<const char*, std::function<int()>> draws[] = {
        {"sky", [&] { return sky->Draw(); }},
        {"terrain", [&] { return terrain.Draw(); }},
        {"tile overlay",
         [&] {
             terrain.SetTileColour(16, 16, 200, 0, 0, 128);
             return terrain.DrawOverlay();
         }},
        {"sea", [&] { return sea->Draw(); }},
        {"units", [&] { return objects->Draw(CWorldObjects::passUnits); }},
        {"objects", [&] { return objects->Draw(CWorldObjects::passObjects); }},
        {"heads-up display",
         [&] {
             hud->Draw(hudState);
             return hud->IsMessageRunning() ? 1 : 0;
         }},
        {"debug overlay",
         [&] {
             app->AddDebugLine("polycount: %d", 1234);
             app->DrawDebugLines();
             return 1;
         }},
    };
    for (const auto& draw : draws) {
        CApplication::SetFixedGlState();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        const CStateSnapshot before = CStateSnapshot::Take();
        EXPECT_GT(draw.second(), 0) << draw.first << " drew nothing";
        EXPECT_EQ(before.Changes(CStateSnapshot::Take()), "") << "the " << draw.first << " changed the state";
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
