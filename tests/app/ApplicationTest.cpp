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

// One application object per process; its sound library ("dummy" device) is closed after each test for the sound tests.
class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        app          = GetApp();
        app->options = CAppOptions();
        app->ClearDebugLines();
    }

    void TearDown() override { app->GetSoundLibrary().Close(); }

    void ReadSettings(const char* text) {
        WriteFile("gfxconfig.ini", text);
        CPropertyFile settings("gfxconfig.ini");
        app->ReadSettings(settings);
    }

    CApplication* app = nullptr;
};

// Flags: buffer objects, mipmap generation, compression, vertex programs, multitexturing.
TEST_F(ApplicationTest, ExtensionChecksClearMissingCapabilitiesAndPickTheRenderMode) {
    const struct {
        bool        requested;
        const char* extensions;
        const char* flags;
    } cases[] = {
        {true, allExtensions, "11111"},
        {false, allExtensions, "00000"},
        {true, "GL_ARB_multitexture GL_ARB_texture_compression GL_ARB_vertex_program GL_SGIS_generate_mipmap", "01111"},
        {true, "GL_ARB_vertex GL_ARB_multi GL_SGIS", "00000"},
        {true, nullptr, "00000"},
    };
    for (const auto& test : cases) {
        app->options                = CAppOptions();
        CAppOptions& options        = app->options;
        options.vertexBufferObjects = options.sgiMipmap = options.textureCompression = test.requested;
        options.vertexShader = options.multitexture = test.requested;
        app->CheckExtensions(test.extensions);
        const std::string flags = {"01"[options.vertexBufferObjects], "01"[options.sgiMipmap],
                                   "01"[options.textureCompression], "01"[options.vertexShader],
                                   "01"[options.multitexture]};
        EXPECT_EQ(flags, test.flags) << (test.extensions ? test.extensions : "no extension string");
        EXPECT_EQ(options.renderMode, test.flags[0] == '1' ? renderBufferObjects : renderVertexArrays);
    }
}

// Flags: fullscreen, buffer objects, debug info, editor mode.
TEST_F(ApplicationTest, SettingsFlagsAreTrueForNonZeroNumbers) {
    const struct {
        const char* content;
        const char* flags;
        const char* gameMode;
    } cases[] = {
        {"lastresolution=1024x768:32@60\nfullscreen=1\nvbo=0\ndebuginfo=1\neditormode=0\n", "1010", "1024x768:32@60"},
        {"fullscreen=2abc\nvbo= 1\ndebuginfo=-1\neditormode=0x1\n", "1110", ""},
        {"\xff\xfe\x01garbage\n===\nfullscreen\n", "0000", ""},
        {"FULLSCREEN=1\nLastResolution=800x600:16@60\n", "1000", "800x600:16@60"},
    };
    for (const auto& test : cases) {
        CTempWorkDir dir;
        app->options = CAppOptions();
        ReadSettings(test.content);
        const CAppOptions& options = app->options;
        const std::string flags = {"01"[options.fullscreen], "01"[options.vertexBufferObjects], "01"[options.debugInfo],
                                   "01"[options.editorMode]};
        EXPECT_EQ(flags, test.flags) << test.content;
        EXPECT_EQ(app->GetGameModeString(), test.gameMode) << test.content;
    }
}

// A shutdown releases everything and may be repeated.
TEST_F(ApplicationTest, SoundOffAndShutdownCloseTheSoundLibrary) {
    CTempWorkDir   dir;
    CSoundLibrary& sound = app->GetSoundLibrary();
    ASSERT_TRUE(sound.IsOpen() || sound.Init(CApplication::soundMixRate, CApplication::soundChannels));
    ReadSettings("sound=1\n");
    EXPECT_TRUE(sound.IsOpen());
    ReadSettings("sound=0\n");
    EXPECT_FALSE(sound.IsOpen());
    EXPECT_EQ(sound.LoadSample("any.wav"), noSound);

    ReadSettings("lastresolution=800x600:32@60\ndebuginfo=1\nsound=1\n");
    app->AddDebugLine("a line");
    for (int shutdown = 0; shutdown < 2; ++shutdown) {
        app->Shutdown(false);
        EXPECT_EQ(app->GetGameModeString(), "");
        EXPECT_TRUE(app->GetDebugLines().empty());
        EXPECT_FALSE(sound.IsOpen());
    }
}

TEST_F(ApplicationTest, DebugLinesAreRecordedOnlyWithDebugInfoOrEditorMode) {
    for (const int flags : {0, 1, 2, 3}) {
        app->ClearDebugLines();
        app->options.debugInfo  = (flags & 1) != 0;
        app->options.editorMode = (flags & 2) != 0;
        app->AddDebugLine("unit %d at %.1f", 3, 2.5f);
        app->AddDebugLine("%s", std::string(2000, 'x').c_str());
        const std::vector<std::string> expected = {"unit 3 at 2.5", std::string(CApplication::debugLineSize - 1, 'x')};
        EXPECT_EQ(app->GetDebugLines(), flags == 0 ? std::vector<std::string>() : expected) << "flags " << flags;
    }
}

// A key goes up in the other letter case (Shift released first) or as a control code (Ctrl pressed meanwhile).
TEST_F(ApplicationTest, CharacterKeysGoUpWhateverModifierWasHeld) {
    const struct {
        unsigned char down, up;
        PolledKey     key;
    } cases[] = {{'W', 'w', PolledKey::W},  {'w', 0x17, PolledKey::W},     {'s', 0x13, PolledKey::S},
                 {'a', 0x01, PolledKey::A}, {0x04, 'd', PolledKey::D},     {'R', 0x12, PolledKey::R},
                 {'f', 0x06, PolledKey::F}, {' ', 0x00, PolledKey::Space}, {'\r', '\r', PolledKey::Enter}};
    for (const auto& test : cases) {
        CKeyState::Reset();
        app->OnKeyboard(test.down, 0, 0);
        app->OnKeyboard('\x7f', 0, 0); // Delete stays down throughout
        EXPECT_TRUE(CKeyState::IsDown(test.key)) << int(test.down);
        app->OnKeyboardUp(test.up, 0, 0);
        CKeyState::EndFrame(); // a released key still reads as down until the frame has polled it
        EXPECT_FALSE(CKeyState::IsDown(test.key)) << int(test.down) << " up as " << int(test.up);
        EXPECT_TRUE(CKeyState::IsDown(PolledKey::Delete));
    }
}

// Without focus no key-up arrives.
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
