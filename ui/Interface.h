#pragma once

#include <functional>

#include "ui/Font.h"
#include "ui/HudDrawList.h"
#include "ui/HudState.h"
#include "ui/InterfaceLayout.h"
#include "ui/MessageAnimation.h"

// The heads-up display of a level: the layout read from the interface files
// for the screen size at construction, its four fonts, the hover state of
// its two buttons, the finish screen and the animated 3D messages. The game
// hands it a CHudState each frame to draw; it never reads game objects.
// Fonts are built on the first Draw, when a GL context is certainly current,
// so everything but drawing works without one.
class CInterface {
public:
    enum MessageKind {
        messageGoodAttack = CMessageAnimation::goodAttack,
        messageWeakAttack = CMessageAnimation::weakAttack,
        messageTurn       = CMessageAnimation::turn,
    };

    static constexpr size_t debugLineSize = 512; // characters of a debug line, with the terminator
    // The notice line's baseline lies this far below the top edge, under the
    // top panels; the help panel is this wide, its texts this far in.
    static constexpr int noticeTop     = 152;
    static constexpr int noticePadding = 12;
    static constexpr int helpWidth     = 540;
    static constexpr int helpKeyWidth  = 150;
    // Pixels between the replay lines and the bottom edge.
    static constexpr int replayLineMargin = 8;

    // Reads the index file at indexPath ("Interface\interface.xml") and its
    // sub-files ("interface\<name>"); what is missing stays empty.
    CInterface(const char* indexPath, int screenWidth, int screenHeight);
    CInterface(const CInterface&)            = delete;
    CInterface& operator=(const CInterface&) = delete;

    int ResolveX(const char* position, const char* alignment) const;
    int ResolveY(const char* position, const char* alignment) const;

    // Mouse position in window pixels, y counted down from the top edge, in
    // a window of the given size: the display is stretched from its layout
    // size to the window, so the pointer is scaled back before the test.
    // Sets the end-turn button's hover flag, or the finish button's once
    // the game is finished.
    void UpdateHover(int mouseX, int mouseY, int windowWidth, int windowHeight);
    bool IsEndTurnHovered() const { return endTurnHovered; }
    bool IsFinishButtonHovered() const { return finishButtonHovered; }
    void SetFinished(bool value = true) { finished = value; }
    bool IsFinished() const { return finished; }
    bool IsMessageRunning() const { return turnMessageRunning || weakAttackMessageRunning || goodAttackMessageRunning; }

    // Starts a message (the turn message shows the text of currentTeam).
    // False, starting nothing, while a message runs; true otherwise, also
    // for a kind that starts nothing.
    bool ShowMessage(int kind, int currentTeam);

    // One frame of the display over the scene: the running 3D message
    // (advanced by state.frameTime), then every 2D element.
    void Draw(const CHudState& state);
    // The 2D elements of one frame, in drawing order (no GL needed).
    void BuildDrawList(const CHudState& state, CHudDrawList& list) const;

    // The three debug lines about units: the unit under the cursor and each
    // team's units with their hit points, each handed to addLine.
    static void ReportUnitUnderCursor(int unit, const CHudState& state,
                                      const std::function<void(const char*)>& addLine);

    const CInterfaceLayout&  GetLayout() const { return layout; }
    const CFont&             GetFont(HudFont font) const;
    const CFont&             Get3dFont() const { return font3d; }
    const CMessageAnimation& GetMessage() const { return message; }

private:
    void BuildFonts();
    void DrawMessage(float frameTime);
    void DrawItems(const CHudDrawList& list) const;

    void AddBoxes(const CHudState& state, CHudDrawList& list) const;
    void AddTerrainPanel(const CHudState& state, CHudDrawList& list) const;
    void AddHitpointsPanel(const CHudState& state, CHudDrawList& list) const;
    void AddUnitPanel(const CUnitPanel& panel, int unit, const CHudState& state, bool hover, CHudDrawList& list) const;
    void AddUnitStats(const CUnitPanel& panel, const CHudUnit& unit, const CAttackPreview* boost, int y,
                      CHudDrawList& list) const;
    void AddHitpointsLine(const CUnitPanel& panel, const CHudUnit& unit, int damage, int after, int y,
                          CHudDrawList& list) const;
    void AddAttackPreview(const CUnitPanel& panel, const CHudUnit& target, const CHudState& state, int y,
                          CHudDrawList& list) const;
    void AddButtonsAndLines(const CHudState& state, CHudDrawList& list) const;
    void AddFinishScreen(const CHudState& state, CHudDrawList& list) const;
    void AddReplayLine(const CHudReplay& replay, CHudDrawList& list) const;
    void AddRenderInfo(const CHudState& state, CHudDrawList& list) const;
    void AddNotice(const CHudState& state, CHudDrawList& list) const;
    void AddHelp(CHudDrawList& list) const;
    void AddWaiting(const CHudState& state, CHudDrawList& list) const;

    int               screenWidth;
    int               screenHeight;
    CInterfaceLayout  layout;
    CFont             fontRegular, fontHead, fontFinish, font3d;
    bool              fontsBuilt               = false;
    bool              endTurnHovered           = false;
    bool              finishButtonHovered      = false;
    bool              finished                 = false;
    bool              turnMessageRunning       = false;
    bool              weakAttackMessageRunning = false;
    bool              goodAttackMessageRunning = false;
    CMessageAnimation message;
    CHudDrawList      drawList; // reused every frame
};
