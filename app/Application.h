#pragma once

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/SavedGamesDialog.h"
#include "core/LevelCatalog.h"
#include "core/Options.h"
#include "platform/SoundLibrary.h"

class CPropertyFile;

// Mouse buttons as bits of CMouseState::buttons.
enum MouseButtonBit {
    mouseLeft         = 1,
    mouseRight        = 2,
    mouseMiddle       = 4,
    mouseWheelForward = 8,
    mouseWheelBack    = 16,
};

// Cursor positions are window pixels with the origin at the top left; -1
// until the first event.
struct CMouseState {
    int buttons   = 0;
    int previousX = -1;
    int previousY = -1;
    int currentX  = -1;
    int currentY  = -1;
};

// The frame clock: counter ticks of a monotonic clock.
struct CFrameTimer {
    float   fps       = 0.0f;
    int64_t frequency = 0;
    int64_t lastCount = 0;
    int64_t lastDelta = 0;
};

// What the program was started with; the window library is initialised
// from it.
struct CProgramInstance {
    int    argc = 0;
    char** argv = nullptr;
};

class CCamera;
class CCameraFlight;
class CEditor;
class CFrustum;
class CInput;
class CBattleView;
class CMusicPlayer;
class CGameLogWriter;
class CReplayPlayer;
struct CLogEntry;
struct CLoadedLog;
class CSeats;
class CNetworkSeat;
struct CCommand;

// The one application object, reached with GetApp(). It lives until the
// process ends; the window library's callbacks forward to it.
class CApplication {
public:
    enum State { stateStarting = 0, stateRunning = 1, stateQuitting = 2 };

    static constexpr size_t      debugLineSize  = 512;
    static constexpr int         windowedWidth  = 640;
    static constexpr int         windowedHeight = 480;
    static constexpr const char* windowTitle    = "Game";
    static constexpr int         soundMixRate   = 44100; // Hz
    static constexpr int         soundChannels  = 32;

    // Reads "gfxconfig.ini", opens the window (or the game mode), installs the
    // callbacks and enters the window library's main loop, which ends the
    // process itself; true only should the loop ever return.
    bool Run();
    // Releases everything the start-up created, in reverse dependency order;
    // a second call releases nothing twice. With endProcess the process then
    // ends with exit code 0.
    void Shutdown(bool endProcess);

    void SetInstance(const CProgramInstance& programInstance) { instance = programInstance; }
    // How the game begins (a new game unless set before Run).
    void SetGameStart(const CGameStart& start) { gameStart = start; }
    int  GetState() const { return state; }
    void SetState(int newState) { state = newState; }

    // Seconds of the last frame; 0 during the first frame.
    float GetFrameTime() const;
    // Records one overlay line for this frame, only with debug info or editor mode on.
    void                            AddDebugLine(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void                            AddDebugLineV(const char* format, va_list arguments);
    const std::vector<std::string>& GetDebugLines() const { return debugLines; }
    void                            ClearDebugLines() { debugLines.clear(); }
    // Draws the collected lines top down in the window's top left corner, in
    // the current colour, only with debug info or editor mode on.
    void DrawDebugLines() const;
    // True when `name` is one of the words of the GL extension string.
    static bool IsExtensionSupported(const char* name);
    static bool IsWordInList(const char* list, const char* name);

    int                GetWindowWidth() const { return windowWidth; }
    int                GetWindowHeight() const { return windowHeight; }
    bool               IsFirstFrame() const { return firstFrame; }
    const std::string& GetGameModeString() const { return gameModeString; }
    const std::string& GetLevelName() const { return levelName; }
    CSoundLibrary&     GetSoundLibrary() { return soundLibrary; }
    CCamera*           GetCamera() const { return camera.get(); }
    CFrustum*          GetFrustum() const { return frustum.get(); }
    CBattleView*       GetLevel() const { return level.get(); }
    CEditor*           GetEditor() const { return editor.get(); }
    CMusicPlayer*      GetMusic() const { return music.get(); }

    // The window callbacks.
    void OnDisplay();
    void OnIdle();
    void OnReshape(int width, int height);
    // Without focus no key-up arrives: held keys are forgotten.
    void ForgetKeys();
    void OnKeyboard(unsigned char key, int x, int y);
    void OnKeyboardUp(unsigned char key, int x, int y);
    void OnSpecialKey(int key, int x, int y);
    void OnSpecialKeyUp(int key, int x, int y);
    void OnClose();
    // The pointer entered or left the window (GLUT_ENTERED, GLUT_LEFT).
    void OnEntry(int entryState);
    // The window was shown, covered or hidden (GLUT_VISIBLE ... GLUT_HIDDEN).
    void OnWindowStatus(int status);
    void OnMouse(int button, int buttonState, int x, int y);
    void OnMotion(int x, int y);

    // The parts of start-up and key handling that need no window, so that
    // they can be exercised on their own.
    // Reads the option flags and the game mode string; closes the sound
    // library when sound is off.
    void ReadSettings(CPropertyFile& settings);
    // Clears each capability flag whose extension is not in the
    // space-separated list and picks buffer objects as the render mode when
    // they remain.
    void CheckExtensions(const char* extensions);
    // A function key (GLUT_KEY_F1 ...) with the modifiers held (GLUT_ACTIVE_*);
    // in FunctionKeys.cpp.
    void HandleFunctionKey(int key, int modifiers);
    // The GL state every frame relies on (shading, depth test, culling,
    // texturing); also set by tools that draw the scene without the program.
    static void SetFixedGlState();

    // A displayed frame is BeginFrame, then the game's input and scene, then
    // EndFrame with the number of polygons the scene drew.
    void BeginFrame();
    void EndFrame(int polygonCount);

    CAppOptions options;
    CMouseState mouse;

private:
    friend CApplication* GetApp();
    CApplication();
    ~CApplication();

    void            StartWindowLibrary();
    void            OpenWindow();
    void            InstallCallbacks();
    void            BuildGame();
    static uint64_t NewMatchSeed();
    // GameRecord.cpp: the match begun as gameStart says, and its log.
    void StartMatch();
    bool LoadStartLog(CLoadedLog& log, std::string& error) const;
    void ContinueGame(const CLoadedLog& log);
    void RecordNewGame(uint64_t seed, const std::vector<CLogEntry>& entries);
    void StartReplay(const CLoadedLog& log);
    void TakeOverReplay();
    void HandleReplayKey(int action);
    // The seats of the game: "person", or the computer's level (easy,
    // normal, hard); the computer's players are seeded from the seed.
    void SeatPlayers(const std::string (&names)[2], uint64_t seed);
    void PlaceStartCamera();
    // Outside editor mode the camera flies to the team to move's view when
    // the battle view asks for it.
    void FlyToTeamView(float seconds);
    void HandOverView();
    void ProcessFrameInput();
    void SetViewFromCamera();
    void UpdateFrustum();
    void ApplyRenderOptionChange(int key);
    void ReleaseGame();
    void UpdateFrameClock();
    void AddOverlayLines(int polygonCount);
    void QuitFromKey();
    // ComputerTurn.cpp: the computer's seat gives its next command once the
    // view has shown the last one and a short pause has passed, with the
    // camera over the action.
    void PlayComputerSeat();
    // NetworkGame.cpp: this screen's side of a network game.
    void StartNetworkGame(uint64_t seed);
    void UpdateNetworkGame();
    void RecordNetworkGame();
    void FocusCameraOn(const CCommand& command);

    CProgramInstance             instance;
    int                          state = stateStarting;
    std::string                  gameModeString;
    std::string                  levelName = CLevelCatalog::defaultLevel; // the settings' "level" when it can be played
    int                          windowWidth          = 0;
    int                          windowHeight         = 0;
    bool                         firstFrame           = true;
    bool                         windowLibraryStarted = false;
    std::vector<std::string>     debugLines;
    CFrameTimer                  frameTimer;
    CSoundLibrary                soundLibrary;
    std::unique_ptr<CCamera>     camera;
    std::unique_ptr<CFrustum>    frustum;
    std::unique_ptr<CBattleView> level;
    std::unique_ptr<CEditor>     editor;
    std::unique_ptr<CInput>      input;
    std::unique_ptr<CCameraFlight> flight;

    std::unique_ptr<CSeats> seats;
    std::string             seatNames[2];          // "red" and "blue" of the settings file
    float                   computerWait  = 0;     // seconds before the computer's next command
    bool                    hurryComputer = false; // no pauses for the rest of the computer's turn

    // A game with a player at another computer: hosted or joined as the settings' "network" and "address" say.
    std::string                   networkMode;
    std::string                   networkAddress;
    std::unique_ptr<CNetworkSeat> networkSeat;
    std::string                   networkError; // why the network game could not begin

    CGameStart                      gameStart;
    std::unique_ptr<CGameLogWriter> logWriter;
    std::unique_ptr<CReplayPlayer>  replay;
    uint64_t                        replayHeaderSeed = 0;
    std::string                     playing[2]; // each seat as the log names it

    // Plays through the sound library above, so it must go before that closes.
    std::unique_ptr<CMusicPlayer> music;
};

CApplication* GetApp();
