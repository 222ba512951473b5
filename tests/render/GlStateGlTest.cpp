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
#include "data/DataFiles.h"
#include "game/Heightmap.h"
#include "render/Sea.h"
#include "render/SkyBox.h"
#include "render/Terrain.h"
#include "render/TextureManager.h"
#include "render/WorldObjects.h"

// Every draw of the frame leaves the fixed GL state as it found it: the
// program sets that state once at start (and the frame's colour is white),
// and a draw that changed it would change the look of every draw after it,
// in this frame and the next.
namespace {

// The state a draw may change and must restore, read back as numbers.
class CStateSnapshot {
public:
    static CStateSnapshot Take() {
        CStateSnapshot snapshot;
        GLint          activeUnit = 0, clientUnit = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
        glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &clientUnit);
        snapshot.Add("active texture unit", activeUnit - GL_TEXTURE0);
        snapshot.Add("client texture unit", clientUnit - GL_TEXTURE0);
        for (const GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
            glActiveTexture(unit);
            glClientActiveTexture(unit);
            const std::string name = unit == GL_TEXTURE0 ? " (unit 0)" : " (unit 1)";
            snapshot.Enable("GL_TEXTURE_2D" + name, GL_TEXTURE_2D);
            snapshot.Enable("GL_TEXTURE_1D" + name, GL_TEXTURE_1D);
            snapshot.Enable("texture coordinate array" + name, GL_TEXTURE_COORD_ARRAY);
            snapshot.Integer("bound 2D texture" + name, GL_TEXTURE_BINDING_2D);
            snapshot.Integer("bound 1D texture" + name, GL_TEXTURE_BINDING_1D);
            snapshot.Integer("texture matrix depth" + name, GL_TEXTURE_STACK_DEPTH);
        }
        glActiveTexture(activeUnit);
        glClientActiveTexture(clientUnit);
        const std::pair<const char*, GLenum> enables[] = {{"GL_DEPTH_TEST", GL_DEPTH_TEST},
                                                          {"GL_CULL_FACE", GL_CULL_FACE},
                                                          {"GL_BLEND", GL_BLEND},
                                                          {"GL_LIGHTING", GL_LIGHTING},
                                                          {"GL_LIGHT0", GL_LIGHT0},
                                                          {"GL_COLOR_MATERIAL", GL_COLOR_MATERIAL},
                                                          {"GL_RESCALE_NORMAL", GL_RESCALE_NORMAL},
                                                          {"GL_VERTEX_PROGRAM_ARB", GL_VERTEX_PROGRAM_ARB},
                                                          {"GL_FOG", GL_FOG},
                                                          {"vertex array", GL_VERTEX_ARRAY},
                                                          {"normal array", GL_NORMAL_ARRAY},
                                                          {"colour array", GL_COLOR_ARRAY}};
        for (const auto& enable : enables) {
            snapshot.Enable(enable.first, enable.second);
        }
        const std::pair<const char*, GLenum> integers[] = {{"matrix mode", GL_MATRIX_MODE},
                                                           {"blend source", GL_BLEND_SRC},
                                                           {"blend destination", GL_BLEND_DST},
                                                           {"depth function", GL_DEPTH_FUNC},
                                                           {"depth writes", GL_DEPTH_WRITEMASK},
                                                           {"culled faces", GL_CULL_FACE_MODE},
                                                           {"shade model", GL_SHADE_MODEL},
                                                           {"array buffer", GL_ARRAY_BUFFER_BINDING},
                                                           {"element buffer", GL_ELEMENT_ARRAY_BUFFER_BINDING},
                                                           {"modelview depth", GL_MODELVIEW_STACK_DEPTH},
                                                           {"projection depth", GL_PROJECTION_STACK_DEPTH},
                                                           {"attribute depth", GL_ATTRIB_STACK_DEPTH},
                                                           {"client attribute depth", GL_CLIENT_ATTRIB_STACK_DEPTH}};
        for (const auto& integer : integers) {
            snapshot.Integer(integer.first, integer.second);
        }
        GLint polygonModes[2] = {};
        glGetIntegerv(GL_POLYGON_MODE, polygonModes);
        snapshot.Add("front polygon mode", polygonModes[0]);
        snapshot.Add("back polygon mode", polygonModes[1]);
        GLfloat values[16] = {};
        glGetFloatv(GL_CURRENT_COLOR, values);
        snapshot.Add("current colour", values, 4);
        glGetFloatv(GL_LINE_WIDTH, values);
        snapshot.Add("line width", values, 1);
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, values);
        snapshot.Add("diffuse material", values, 4);
        glGetFloatv(GL_MODELVIEW_MATRIX, values);
        snapshot.Add("modelview matrix", values, 16);
        glGetFloatv(GL_PROJECTION_MATRIX, values);
        snapshot.Add("projection matrix", values, 16);
        snapshot.Add("GL error", static_cast<double>(glGetError()));
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
    void Add(const std::string& name, double value) { Add(name, std::to_string(value)); }
    void Add(const std::string& name, const std::string& value) { entries.emplace_back(name, value); }
    void Add(const std::string& name, const GLfloat* values, int count) {
        std::string text;
        for (int index = 0; index < count; ++index) {
            text += (index > 0 ? " " : "") + std::to_string(values[index]);
        }
        Add(name, text);
    }
    void Enable(const std::string& name, GLenum capability) { Add(name, glIsEnabled(capability) ? 1.0 : 0.0); }
    void Integer(const std::string& name, GLenum parameter) {
        GLint value = 0;
        glGetIntegerv(parameter, &value);
        Add(name, value);
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
        MakeFolders("shader");
        for (const char* program : {"celshadermulti.vsh", "celshadersingle.vsh"}) {
            WriteFile(std::string("shader/") + program, ReadFile(DataFiles::Path(std::string("shader\\") + program)));
        }
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
