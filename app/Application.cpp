#include "app/Application.h"

#include <ctime>
#include <random>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Camera.h"
#include "app/ConfigDialog.h"
#include "app/NetworkSeat.h"
#include "app/NetworkSettings.h"
#include "app/Seats.h"
#include "core/FrameContext.h"
#include "core/Frustum.h"
#include "core/LevelCatalog.h"
#include "core/Logger.h"
#include "app/Input.h"
#include "app/ReplayPlayer.h"
#include "app/LevelNotice.h"
#include "platform/MessageBox.h"
#include "core/PropertyFile.h"
#include "core/RenderOptions.h"
#include "audio/MusicPlayer.h"
#include "editor/Editor.h"
#include "fx/ParticleSystem.h"
#include "platform/FrameClock.h"
#include "platform/KeyState.h"
#include "platform/UserPaths.h"
#include "view/BattleView.h"
#include "view/CameraFlight.h"
#include "view/TeamView.h"
#include "render/Terrain.h"
#include "render/WorldObjects.h"
#include "session/GameLogWriter.h"
#include "ui/DebugOverlay.h"

namespace {

// The pixel format the game asks for (the window library knows no
// hardware-acceleration token; it always gets the best renderer it can).
constexpr char displayModeString[] = "rgb double depth stencil";

constexpr double fieldOfViewDegrees = 45.0;
constexpr double nearPlane          = 1.0;
constexpr double farPlane           = 8000.0;

constexpr unsigned char escapeKey = 27;

// The start camera over the level (the editor's; a game opens at the
// starting team's view; every level spans the same width).
constexpr float startHeightAboveGround = CTeamView::heightAboveGround;
const CVector3  startEye(665.0f, 528.0f, 145.0f);
const CVector3  startCenter(683.76f, 209.0f, 409.0f);

// The flags in the order "gfxconfig.ini" is read.
struct CSettingsFlag {
    const char* key;
    bool CAppOptions::*flag;
};
constexpr CSettingsFlag settingsFlags[] = {
    {"fullscreen", &CAppOptions::fullscreen}, {"txtcompression", &CAppOptions::textureCompression},
    {"sgimipmap", &CAppOptions::sgiMipmap},   {"vbo", &CAppOptions::vertexBufferObjects},
    {"vsh", &CAppOptions::vertexShader},      {"multitex", &CAppOptions::multitexture},
    {"fps", &CAppOptions::showFramerate},     {"debuginfo", &CAppOptions::debugInfo},
    {"editormode", &CAppOptions::editorMode}, {"sound", &CAppOptions::sound},
};

// The capability flags in the order their extensions are checked.
struct CExtensionFlag {
    const char* extension;
    bool CAppOptions::*flag;
};
constexpr CExtensionFlag extensionFlags[] = {
    {"GL_ARB_vertex_buffer_object", &CAppOptions::vertexBufferObjects},
    {"GL_SGIS_generate_mipmap", &CAppOptions::sgiMipmap},
    {"GL_ARB_texture_compression", &CAppOptions::textureCompression},
    {"GL_ARB_vertex_program", &CAppOptions::vertexShader},
    {"GL_ARB_multitexture", &CAppOptions::multitexture},
};

// The window library calls plain functions; each forwards to the one object.
void DisplayCallback() {
    GetApp()->OnDisplay();
}
void IdleCallback() {
    GetApp()->OnIdle();
}
void ReshapeCallback(int width, int height) {
    GetApp()->OnReshape(width, height);
}
void KeyboardCallback(unsigned char key, int x, int y) {
    GetApp()->OnKeyboard(key, x, y);
}
void KeyboardUpCallback(unsigned char key, int x, int y) {
    GetApp()->OnKeyboardUp(key, x, y);
}
void SpecialCallback(int key, int x, int y) {
    GetApp()->OnSpecialKey(key, x, y);
}
void MouseCallback(int button, int buttonState, int x, int y) {
    GetApp()->OnMouse(button, buttonState, x, y);
}
void MotionCallback(int x, int y) {
    GetApp()->OnMotion(x, y);
}
void SpecialUpCallback(int key, int x, int y) {
    GetApp()->OnSpecialKeyUp(key, x, y);
}
void CloseCallback() {
    GetApp()->OnClose();
}
void EntryCallback(int state) {
    GetApp()->OnEntry(state);
}
void WindowStatusCallback(int status) {
    GetApp()->OnWindowStatus(status);
}
// The window library refuses a null display callback; this one stands in
// for "none" after shutdown.
void NoDisplay() {}

} // namespace

CApplication* GetApp() {
    static CApplication* application = new CApplication();
    return application;
}

CAppOptions& GetOptions() {
    return GetApp()->options;
}

float GetFrameTime() {
    return GetApp()->GetFrameTime();
}

void AddDebugLine(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    GetApp()->AddDebugLineV(format, arguments);
    va_end(arguments);
}

int GetWindowWidth() {
    return GetApp()->GetWindowWidth();
}

int GetWindowHeight() {
    return GetApp()->GetWindowHeight();
}

CApplication::CApplication() {
    frameTimer.frequency = CFrameClock::QueryFrequency();
    soundLibrary.Init(soundMixRate, soundChannels);
}

CApplication::~CApplication() = default;

bool CApplication::Run() {
    CPropertyFile settings(CUserPaths::SettingsFile(CConfigDialog::settingsFileName).c_str());
    StartWindowLibrary();
    ReadSettings(settings);
    OpenWindow();
    windowWidth  = glutGet(GLUT_WINDOW_WIDTH);
    windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    InstallCallbacks();
    SetFixedGlState();
    CheckExtensions(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    glutMainLoop();
    return true;
}

void CApplication::StartWindowLibrary() {
    char  fallbackName[]      = "ridgeline";
    char* fallbackArguments[] = {fallbackName, nullptr};
    int   argumentCount       = instance.argc > 0 ? instance.argc : 1;
    glutInit(&argumentCount, instance.argc > 0 ? instance.argv : fallbackArguments);
    windowLibraryStarted = true;
    glutInitDisplayString(displayModeString);
}

void CApplication::ReadSettings(CPropertyFile& settings) {
    for (const CSettingsFlag& setting : settingsFlags) {
        options.*setting.flag = settings.GetIntProperty(setting.key) != 0;
    }
    if (!options.sound) {
        soundLibrary.Close();
    }
    for (int team = 0; team < 2; ++team) {
        const char* seat = settings.GetStringProperty(team == 0 ? CSeats::redKey : CSeats::blueKey);
        seatNames[team]  = seat != nullptr ? seat : "";
    }
    const char* mode           = settings.GetStringProperty("network");
    networkMode                = mode != nullptr ? mode : "";
    networkAddress             = CNetworkSettings::AddressOrDefault(settings.GetStringProperty("address"));
    const char* lastResolution = settings.GetStringProperty("lastresolution");
    gameModeString             = lastResolution != nullptr ? lastResolution : "";
    const char* chosenLevel    = settings.GetStringProperty("level");
    levelName                  = CLevelCatalog().Choose(chosenLevel != nullptr ? chosenLevel : "");
}

void CApplication::OpenWindow() {
    if (options.fullscreen) {
        glutGameModeString(gameModeString.c_str());
        if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) == 0 || glutEnterGameMode() == 0) {
            options.fullscreen = false;
        }
    }
    if (!options.fullscreen) {
        glutInitWindowPosition(0, 0);
        glutInitWindowSize(windowedWidth, windowedHeight);
        glutCreateWindow(windowTitle);
    }
}

void CApplication::InstallCallbacks() {
    glutReshapeFunc(ReshapeCallback);
    glutDisplayFunc(DisplayCallback);
    glutIdleFunc(IdleCallback);
    glutKeyboardFunc(KeyboardCallback);
    glutSpecialFunc(SpecialCallback);
    // Polled keys are tracked from presses and releases; auto-repeat would
    // turn one held key into a stream of presses.
    glutKeyboardUpFunc(KeyboardUpCallback);
    glutSpecialUpFunc(SpecialUpCallback);
    glutIgnoreKeyRepeat(1);
    glutMouseFunc(MouseCallback);
    glutPassiveMotionFunc(MotionCallback);
    glutMotionFunc(MotionCallback);
    glutCloseFunc(CloseCallback);
    // Without focus no key-up arrives: keys are forgotten when the pointer
    // leaves the window (focus follows it without a window manager) or the
    // window is hidden.
    glutEntryFunc(EntryCallback);
    glutWindowStatusFunc(WindowStatusCallback);
}

void CApplication::SetFixedGlState() {
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_2D);
}

void CApplication::CheckExtensions(const char* extensions) {
    for (const CExtensionFlag& check : extensionFlags) {
        if (!IsWordInList(extensions, check.extension)) {
            options.*check.flag = false;
        }
    }
    if (options.vertexBufferObjects) {
        options.renderMode = renderBufferObjects;
    }
}

// Level first (its objects use the view), then the camera; the input and
// the frustum only borrow what is released before them.
void CApplication::ReleaseGame() {
    if (networkSeat) {
        networkSeat->Close();
        networkSeat.reset();
    }
    replay.reset();
    logWriter.reset();
    if (level) {
        level->UnloadLevel();
    }
    seats.reset();
    level.reset();
    input.reset();
    flight.reset();
    camera.reset();
    editor.reset();
    music.reset(); // before the sound library closes
    frustum.reset();
}

void CApplication::Shutdown(bool endProcess) {
    ReleaseGame();
    gameModeString.clear();
    debugLines.clear();
    if (windowLibraryStarted) {
        // Only the callbacks of the game's window; a second call finds no
        // window library work to undo.
        windowLibraryStarted = false;
        glutReshapeFunc(nullptr);
        glutDisplayFunc(NoDisplay);
        glutIdleFunc(nullptr);
        glutKeyboardFunc(nullptr);
        glutKeyboardUpFunc(nullptr);
        glutSpecialFunc(nullptr);
        glutSpecialUpFunc(nullptr);
        glutMouseFunc(nullptr);
        glutPassiveMotionFunc(nullptr);
        glutMotionFunc(nullptr);
        glutCloseFunc(nullptr);
        glutEntryFunc(nullptr);
        glutWindowStatusFunc(nullptr);
    }
    soundLibrary.Close();
    if (endProcess) {
        std::exit(0);
    }
}

void CApplication::OnReshape(int width, int height) {
    width        = std::max(width, 1);
    height       = std::max(height, 1);
    windowWidth  = width;
    windowHeight = height;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, width, height);
    gluPerspective(fieldOfViewDegrees, static_cast<float>(width) / static_cast<float>(height), nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // A new projection is a new view: the frustum and the terrain's culling
    // follow it at the next frame as they follow a camera move.
    if (camera) {
        camera->SetChanged(true);
    }
}

void CApplication::OnIdle() {
    if (state == stateStarting) {
        BuildGame();
    } else if (state == stateQuitting) {
        Shutdown(true);
    } else if (networkSeat) {
        // A covered or hidden window draws no frames; the peer must still hear from this side.
        networkSeat->Pump();
    }
    glutPostRedisplay();
}

// The game is built here, once, in dependency order: the chosen level,
// the camera bound to it, the frustum, the editor (editor mode only), the
// camera's start pose, the hand-over of camera and frustum to terrain, world
// objects and particles, the placed objects, teams and first turn message,
// and the music player with its playlist. The match is a new game, a game
// continued or a replay, and a game writes its log as it is played.
void CApplication::BuildGame() {
    // A level pack with many broken models brings up one box that lists them.
    const CMessageBoxBatch oneBox;
    if (gameStart.kind != CGameStart::newGame && !gameStart.levelName.empty()) {
        levelName = gameStart.levelName;
    }
    GetLogger()->LogInfo("level: %s", levelName.c_str());
    level = std::make_unique<CBattleView>(levelName.c_str(), &soundLibrary);
    if (!level->IsLoaded()) {
        // Nothing of the level exists to view or play: each frame tells the
        // player so (OnDisplay), and Escape still ends the game.
        state = stateRunning;
        return;
    }
    camera  = std::make_unique<CCamera>(level->GetHeightmap(), startHeightAboveGround);
    frustum = std::make_unique<CFrustum>();
    input   = std::make_unique<CInput>(mouse, camera.get());
    if (options.editorMode) {
        editor = std::make_unique<CEditor>();
        editor->LoadObjectList("editor.xml");
        editor->AttachLevel(*level);
    }
    PlaceStartCamera();
    HandOverView();
    level->GetObjects()->LoadObjects();
    StartMatch();
    level->ShowTurnMessage();
    flight = std::make_unique<CCameraFlight>();
    level->RequestTeamView();
    FlyToTeamView(0.0f);
    music = std::make_unique<CMusicPlayer>(soundLibrary);
    music->LoadPlaylist("playlist.xml");
    state = stateRunning;
}

// Each game gets its own seed; the match draws nothing else at random.
uint64_t CApplication::NewMatchSeed() {
    std::random_device device;
    return (static_cast<uint64_t>(device()) << 32) ^ static_cast<uint64_t>(time(nullptr));
}

void CApplication::PlaceStartCamera() {
    camera->SetPosition(startEye, startCenter, CVector3(0.0f, 1.0f, 0.0f));
    camera->SetHeightAboveGround(startHeightAboveGround);
}

void CApplication::FlyToTeamView(float seconds) {
    CVector3 eye, center;
    if (options.editorMode || !level || !camera || !flight) {
        return;
    }
    if (level->TakeTeamView(eye, center)) {
        flight->Start(*camera, eye, center, seconds, CTeamView::heightAboveGround);
    }
    flight->Advance(seconds > 0.0f ? GetFrameTime() : 0.0f, *camera);
}

// The view objects go to whoever culls or picks with them, and the input
// learns the level's commands.
void CApplication::HandOverView() {
    level->SetView(camera.get(), frustum.get());
    CInputCommands& commands = input->Commands();
    CBattleView*    game     = level.get();
    commands.pointerMoved    = [game](int x, int y) { game->OnPointerMoved(x, y); };
    // While a replay runs, the log is the only seat.
    commands.click = [this, game]() {
        if (replay) {
            return;
        }
        game->OnClick();
        if (game->IsQuitRequested()) {
            SetState(stateQuitting);
        }
    };
    commands.cancel = [this, game]() {
        if (!replay) {
            game->OnCancel();
        }
    };
    commands.fireMode = [this, game]() {
        if (!replay) {
            game->OnFireMode();
        }
    };
    commands.finishUnit = [this, game]() {
        if (!replay) {
            game->OnFinishUnit();
        }
    };
    commands.teamView  = [game]() { game->RequestTeamView(); };
    commands.help      = [game]() { game->ToggleHelp(); };
    commands.pickPoint = [game](float& x, float& z) {
        const CTerrain* terrain = game->GetTerrain();
        x                       = terrain->GetPickX();
        z                       = terrain->GetPickZ();
        return terrain->HasPickHit();
    };
    commands.warpPointer = [](int x, int y) { glutWarpPointer(x, y); };
    if (CEditor* tools = editor.get()) {
        commands.placeObject       = [tools](float x, float z) { tools->PlaceObject(x, z); };
        commands.paintTile         = [tools, game] { tools->PaintTile(game->GetActiveX(), game->GetActiveY()); };
        commands.removeObjectsNear = [tools](float x, float z) { tools->RemoveObjectsNear(x, z); };
    }
}

void CApplication::OnMouse(int button, int buttonState, int x, int y) {
    if (input) {
        input->OnMouse(button, buttonState, x, y);
    }
}

void CApplication::OnMotion(int x, int y) {
    if (input) {
        input->OnMotion(x, y, firstFrame);
    }
}

void CApplication::OnDisplay() {
    // The display callback uses what the first idle callback builds.
    if (state == stateStarting) {
        return;
    }
    BeginFrame();
    ProcessFrameInput();
    FlyToTeamView(CTeamView::flightSeconds);
    if (music) {
        music->StartIfIdle(); // the music starts with the first frame
    }
    // Before the frustum: the camera may move over the computer's action.
    if (state == stateRunning && level) {
        UpdateNetworkGame();
        PlayComputerSeat();
    }
    UpdateFrustum();
    int polygonCount = 0;
    if (state == stateRunning && level) {
        if (editor) {
            editor->Update(GetFrameTime());
            editor->TintPaintedTiles(level->GetActiveX(), level->GetActiveY());
        }
        if (replay) {
            replay->Update(GetFrameTime());
            level->SetReplayStatus(replay->GetStatus());
        }
        polygonCount = level->LevelFrame(options.editorMode);
        if (music && level->GetGameState() == CBattleView::gameFinished) {
            music->SetLevelWon();
        }
        if (editor) {
            editor->DrawOverlay();
        }
        // A level whose teams leave no game to play is shown, with the notice over it.
        if (!level->IsLoaded() || (!options.editorMode && !level->IsPlayable())) {
            CLevelNotice::Draw(level->GetName(), windowWidth, windowHeight);
        }
    }
    if (camera) {
        camera->SetChanged(false);
    }
    EndFrame(polygonCount);
}

void CApplication::ProcessFrameInput() {
    if (input) {
        input->ProcessInput({firstFrame, options.editorMode, GetFrameTime(), windowWidth, windowHeight});
    }
}

void CApplication::SetViewFromCamera() {
    glLoadIdentity();
    if (camera) {
        const CVector3& eye    = camera->GetEye();
        const CVector3& center = camera->GetCenter();
        const CVector3& up     = camera->GetUp();
        gluLookAt(eye.x, eye.y, eye.z, center.x, center.y, center.z, up.x, up.y, up.z);
    }
}

// The planes follow the view only when the camera moved this frame.
void CApplication::UpdateFrustum() {
    if (!camera || !frustum || !camera->IsChanged()) {
        return;
    }
    SetViewFromCamera();
    float modelView[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    frustum->Update(modelView, projection);
}

void CApplication::BeginFrame() {
    UpdateFrameClock();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetViewFromCamera();
}

void CApplication::EndFrame(int polygonCount) {
    AddOverlayLines(polygonCount);
    if (editor) {
        for (const std::string& line : editor->GetOverlayLines()) {
            AddDebugLine("%s", line.c_str());
        }
    }
    DrawDebugLines();
    glFinish();
    glutSwapBuffers();
    debugLines.clear();
    firstFrame = false;
}

void CApplication::UpdateFrameClock() {
    const int64_t now = CFrameClock::QueryCounter();
    // Two frames within one tick would divide by zero.
    frameTimer.lastDelta = std::max<int64_t>(now - frameTimer.lastCount, 1);
    frameTimer.lastCount = now;
    frameTimer.fps       = static_cast<float>(frameTimer.frequency) / static_cast<float>(frameTimer.lastDelta);
}

void CApplication::AddOverlayLines(int polygonCount) {
    if (!options.debugInfo) {
        return;
    }
    AddDebugLine("fps: %.3f", frameTimer.fps);
    AddDebugLine("elapsed: %.3f", 1.0f / frameTimer.fps);
    if (camera) {
        const CVector3& eye    = camera->GetEye();
        const CVector3& center = camera->GetCenter();
        AddDebugLine("camera pos: %f/%f/%f, view: %f/%f/%f", eye.x, eye.y, eye.z, center.x, center.y, center.z);
    }
    AddDebugLine("polycount: %d", polygonCount);
    AddDebugLine("VBO: %d SGIMipMap: %d Texturecompression: %d", options.vertexBufferObjects ? 1 : 0,
                 options.sgiMipmap ? 1 : 0, options.textureCompression ? 1 : 0);
    AddDebugLine("sound CPU usage: %.2f%%", soundLibrary.GetCpuUsage());
    if (options.showRenderInfo) {
        AddDebugLine("PX71 Infos: %s | %s | %s | %s", GetOptionText(options, RenderOption::TextureFilter),
                     GetOptionText(options, RenderOption::MipMapping), GetOptionText(options, RenderOption::RenderMode),
                     GetOptionText(options, RenderOption::DisplayLists));
        AddDebugLine("PX71 Infos: %s | %s | %s", GetOptionText(options, RenderOption::FrustumCulling),
                     GetOptionText(options, RenderOption::Transparency),
                     GetOptionText(options, RenderOption::LevelOfDetail));
    }
}

void CApplication::DrawDebugLines() const {
    if (options.debugInfo || options.editorMode) {
        CDebugOverlay::Draw(debugLines, windowWidth, windowHeight);
    }
}

void CApplication::OnKeyboard(unsigned char key, int, int) {
    CKeyState::OnCharacter(key, true);
    if (key == escapeKey) {
        QuitFromKey();
    } else if (key == 'h' || key == 'H') {
        hurryComputer = true;
    }
    if (input) {
        input->OnCharacter(key);
    }
    HandleReplayKey(static_cast<int>(CReplayPlayer::ActionForKey(key)));
}

void CApplication::OnKeyboardUp(unsigned char key, int, int) {
    CKeyState::OnCharacter(key, false);
}

void CApplication::OnSpecialKey(int key, int, int) {
    CKeyState::OnSpecial(key, true);
    HandleFunctionKey(key, glutGetModifiers());
    if (input) {
        input->OnSpecialKey(key);
    }
    if (key == GLUT_KEY_PAGE_UP || key == GLUT_KEY_PAGE_DOWN) {
        HandleReplayKey(
            static_cast<int>(key == GLUT_KEY_PAGE_UP ? CReplayPlayer::Action::toStart : CReplayPlayer::Action::toEnd));
    }
}

void CApplication::OnSpecialKeyUp(int key, int, int) {
    CKeyState::OnSpecial(key, false);
    if (editor) {
        editor->OnFunctionKeyUp(key - GLUT_KEY_F1 + 1);
    }
}

void CApplication::OnEntry(int entryState) {
    if (entryState == GLUT_LEFT) {
        ForgetKeys();
    }
}

void CApplication::ForgetKeys() {
    CKeyState::Reset();
    if (editor) {
        editor->ReleaseKeys();
    }
}

void CApplication::OnWindowStatus(int status) {
    if (status == GLUT_HIDDEN || status == GLUT_FULLY_COVERED) {
        ForgetKeys();
    }
}

// The close box ends the process as Escape does, with exit code 0. Left to
// the window library, the exit would come after it closed the display, and
// with it unloaded the GL driver, ahead of every exit handler.
void CApplication::OnClose() {
    Shutdown(false);
    std::exit(0);
}

void CApplication::QuitFromKey() {
    if (networkSeat && !networkSeat->ConfirmQuit()) {
        return;
    }
    Shutdown(false);
    std::exit(0);
}

float CApplication::GetFrameTime() const {
    return firstFrame || frameTimer.fps <= 0.0f ? 0.0f : 1.0f / frameTimer.fps;
}

void CApplication::AddDebugLine(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    AddDebugLineV(format, arguments);
    va_end(arguments);
}

void CApplication::AddDebugLineV(const char* format, va_list arguments) {
    if (!options.debugInfo && !options.editorMode) {
        return;
    }
    char line[debugLineSize];
    vsnprintf(line, sizeof line, format, arguments);
    debugLines.emplace_back(line);
}

bool CApplication::IsWordInList(const char* list, const char* name) {
    if (list == nullptr || name == nullptr || *name == '\0') {
        return false;
    }
    const size_t length = strlen(name);
    for (const char* word = list; *word != '\0';) {
        const char*  end        = strchr(word, ' ');
        const size_t wordLength = end != nullptr ? static_cast<size_t>(end - word) : strlen(word);
        if (wordLength == length && strncmp(word, name, length) == 0) {
            return true;
        }
        if (end == nullptr) {
            break;
        }
        word = end + 1;
    }
    return false;
}

bool CApplication::IsExtensionSupported(const char* name) {
    return IsWordInList(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}
