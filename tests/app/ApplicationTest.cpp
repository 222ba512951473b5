#include <GL/freeglut.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/Application.h"
#include "core/PropertyFile.h"
#include "platform/KeyState.h"

namespace {

const char* const allExtensions = "GL_ARB_multitexture GL_ARB_texture_compression GL_ARB_vertex_buffer_object "
                                  "GL_ARB_vertex_program GL_SGIS_generate_mipmap";

// The application object is one per process; each test starts it from the
// constructor's options. Its sound library uses the silent "dummy" device and
// is closed afterwards, so that the sound tests can open their own.
class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        app          = GetApp();
        app->options = CAppOptions();
        app->ClearDebugLines();
    }

    void TearDown() override { app->GetSoundLibrary().Close(); }

    void PressKeys(const std::vector<int>& keys) {
        for (const int key : keys) {
            app->HandleFunctionKey(key, 0);
        }
    }

    CApplication* app = nullptr;
};

struct ExtensionCase {
    const char* name;
    bool        requested; // every capability flag on before the check
    const char* extensions;
    bool        vertexBufferObjects;
    bool        sgiMipmap;
    bool        textureCompression;
    bool        vertexShader;
    bool        multitexture;
    RenderMode  renderMode;
};

class ExtensionChecks : public ApplicationTest, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(ExtensionChecks, ClearMissingCapabilitiesAndPickTheRenderMode) {
    const ExtensionCase& c           = GetParam();
    app->options.vertexBufferObjects = app->options.sgiMipmap = app->options.textureCompression = c.requested;
    app->options.vertexShader = app->options.multitexture = c.requested;
    app->CheckExtensions(c.extensions);
    EXPECT_EQ(app->options.vertexBufferObjects, c.vertexBufferObjects);
    EXPECT_EQ(app->options.sgiMipmap, c.sgiMipmap);
    EXPECT_EQ(app->options.textureCompression, c.textureCompression);
    EXPECT_EQ(app->options.vertexShader, c.vertexShader);
    EXPECT_EQ(app->options.multitexture, c.multitexture);
    EXPECT_EQ(app->options.renderMode, c.renderMode);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionChecks,
    ::testing::Values(
        ExtensionCase{"AllPresent", true, allExtensions, true, true, true, true, true, renderBufferObjects},
        ExtensionCase{"NoneRequested", false, allExtensions, false, false, false, false, false, renderVertexArrays},
        ExtensionCase{"NoBufferObjects", true,
                      "GL_ARB_multitexture GL_ARB_texture_compression GL_ARB_vertex_program "
                      "GL_SGIS_generate_mipmap",
                      false, true, true, true, true, renderVertexArrays},
        ExtensionCase{"OnlyPrefixes", true, "GL_ARB_vertex GL_ARB_multi GL_SGIS", false, false, false, false, false,
                      renderVertexArrays},
        ExtensionCase{"NoExtensionString", true, nullptr, false, false, false, false, false, renderVertexArrays}),
    [](const ::testing::TestParamInfo<ExtensionCase>& info) { return std::string(info.param.name); });

struct SettingsCase {
    const char* name;
    const char* content;
    bool        fullscreen;
    bool        vertexBufferObjects;
    bool        debugInfo;
    bool        editorMode;
    const char* gameModeString;
};

class SettingsRead : public ApplicationTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsRead, FlagsAreTrueForNonZeroNumbers) {
    CTempWorkDir dir;
    if (GetParam().content != nullptr) {
        WriteFile("gfxconfig.ini", GetParam().content);
    }
    CPropertyFile settings("gfxconfig.ini");
    app->ReadSettings(settings);
    EXPECT_EQ(app->options.fullscreen, GetParam().fullscreen);
    EXPECT_EQ(app->options.vertexBufferObjects, GetParam().vertexBufferObjects);
    EXPECT_EQ(app->options.debugInfo, GetParam().debugInfo);
    EXPECT_EQ(app->options.editorMode, GetParam().editorMode);
    EXPECT_EQ(app->GetGameModeString(), GetParam().gameModeString);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsRead,
    ::testing::Values(SettingsCase{"AsTheDialogWrites",
                                   "lastresolution=1024x768:32@60\nfullscreen=1\nvbo=0\ndebuginfo=1\neditormode=0\n",
                                   true, false, true, false, "1024x768:32@60"},
                      SettingsCase{"LeadingNumbersCount", "fullscreen=2abc\nvbo= 1\ndebuginfo=-1\neditormode=0x1\n",
                                   true, true, true, false, ""},
                      SettingsCase{"Garbled", "\xff\xfe\x01garbage\n===\nfullscreen\n", false, false, false, false, ""},
                      SettingsCase{"KeysInCapitals", "FULLSCREEN=1\nLastResolution=800x600:16@60\n", true, false, false,
                                   false, "800x600:16@60"}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

TEST_F(ApplicationTest, SoundOffClosesTheSoundLibrary) {
    CSoundLibrary& sound = app->GetSoundLibrary();
    if (!sound.IsOpen()) {
        ASSERT_TRUE(sound.Init(CApplication::soundMixRate, CApplication::soundChannels));
    }
    CTempWorkDir dir;
    WriteFile("gfxconfig.ini", "sound=1\n");
    CPropertyFile withSound("gfxconfig.ini");
    app->ReadSettings(withSound);
    EXPECT_TRUE(sound.IsOpen());

    WriteFile("gfxconfig.ini", "sound=0\n");
    CPropertyFile withoutSound("gfxconfig.ini");
    app->ReadSettings(withoutSound);
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_EQ(sound.LoadSample("any.wav"), noSound);
}

TEST_F(ApplicationTest, ShutdownReleasesOnceAndMayBeRepeated) {
    CTempWorkDir dir;
    WriteFile("gfxconfig.ini", "lastresolution=800x600:32@60\ndebuginfo=1\nsound=1\n");
    CPropertyFile settings("gfxconfig.ini");
    app->ReadSettings(settings);
    app->AddDebugLine("a line");
    app->Shutdown(false);
    EXPECT_EQ(app->GetGameModeString(), "");
    EXPECT_TRUE(app->GetDebugLines().empty());
    EXPECT_FALSE(app->GetSoundLibrary().IsOpen());
    app->Shutdown(false);
    EXPECT_FALSE(app->GetSoundLibrary().IsOpen());
}

// Lines are recorded only with debug info or in editor mode, and cut to
// their buffer.
TEST_F(ApplicationTest, DebugLinesAreRecordedOnlyWithDebugInfoOrEditorMode) {
    for (const int flags : {0, 1, 2, 3}) {
        app->ClearDebugLines();
        app->options.debugInfo  = (flags & 1) != 0;
        app->options.editorMode = (flags & 2) != 0;
        app->AddDebugLine("unit %d at %.1f", 3, 2.5f);
        app->AddDebugLine("second");
        ASSERT_EQ(app->GetDebugLines().size(), flags == 0 ? 0u : 2u) << "flags " << flags;
        if (flags != 0) {
            EXPECT_EQ(app->GetDebugLines()[0], "unit 3 at 2.5");
        }
    }
    app->ClearDebugLines();
    app->AddDebugLine("%s", std::string(2000, 'x').c_str());
    ASSERT_EQ(app->GetDebugLines().size(), 1u);
    EXPECT_EQ(app->GetDebugLines()[0].size(), CApplication::debugLineSize - 1);
}

struct KeyCase {
    const char*   name;
    unsigned char down;
    unsigned char up;
    PolledKey     key;
};

class CharacterKeys : public ApplicationTest, public ::testing::WithParamInterface<KeyCase> {};

// A key goes up however it was reported: in the other letter case (Shift
// released first) or as a control code (Ctrl pressed while it was held).
TEST_P(CharacterKeys, GoUpWhateverModifierWasHeld) {
    const KeyCase& test = GetParam();
    CKeyState::Reset();
    app->OnKeyboard(test.down, 0, 0);
    app->OnKeyboard('\x7f', 0, 0); // Delete stays down throughout
    EXPECT_TRUE(CKeyState::IsDown(test.key)) << test.name;
    app->OnKeyboardUp(test.up, 0, 0);
    CKeyState::EndFrame(); // a released key still reads as down until the frame has polled it
    EXPECT_FALSE(CKeyState::IsDown(test.key)) << test.name;
    EXPECT_TRUE(CKeyState::IsDown(PolledKey::Delete)) << test.name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, CharacterKeys,
    ::testing::Values(KeyCase{"ShiftW", 'W', 'w', PolledKey::W}, KeyCase{"CtrlW", 'w', 0x17, PolledKey::W},
                      KeyCase{"CtrlS", 's', 0x13, PolledKey::S}, KeyCase{"CtrlA", 'a', 0x01, PolledKey::A},
                      KeyCase{"CtrlDFirst", 0x04, 'd', PolledKey::D}, KeyCase{"CtrlR", 'R', 0x12, PolledKey::R},
                      KeyCase{"CtrlF", 'f', 0x06, PolledKey::F}, KeyCase{"CtrlSpace", ' ', 0x00, PolledKey::Space},
                      KeyCase{"Enter", '\r', '\r', PolledKey::Enter}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// Without focus no key-up arrives, so leaving the window forgets the keys.
TEST_F(ApplicationTest, KeysAreForgottenWhenThePointerLeavesOrTheWindowHides) {
    const struct {
        const char*           name;
        std::function<void()> event;
        bool                  stillDown;
    } events[] = {
        {"pointer entered", [this] { app->OnEntry(GLUT_ENTERED); }, true},
        {"window shown", [this] { app->OnWindowStatus(GLUT_FULLY_RETAINED); }, true},
        {"pointer left", [this] { app->OnEntry(GLUT_LEFT); }, false},
        {"window hidden", [this] { app->OnWindowStatus(GLUT_HIDDEN); }, false},
        {"window covered", [this] { app->OnWindowStatus(GLUT_FULLY_COVERED); }, false},
    };
    for (const auto& event : events) {
        CKeyState::Reset();
        app->OnKeyboard('w', 0, 0);
        CKeyState::OnSpecial(GLUT_KEY_LEFT, true);
        event.event();
        EXPECT_EQ(CKeyState::IsDown(PolledKey::W), event.stillDown) << event.name;
        EXPECT_EQ(CKeyState::IsDown(PolledKey::Left), event.stillDown) << event.name;
    }
}

} // namespace
