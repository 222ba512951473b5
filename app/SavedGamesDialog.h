#pragma once

#include <string>
#include <vector>

#include "platform/DialogForm.h"
#include "session/SavedGames.h"

// How the game begins: a new game, a saved game continued (its log goes on
// being appended to) or a saved game watched as a replay.
struct CGameStart {
    enum Kind { newGame, continueGame, replayGame };
    Kind        kind = newGame;
    std::string logPath;
    std::string levelName; // the saved game's level, played instead of the dialog's
};

// The second start-up window, shown when the saves folder holds games: the
// games newest first with their level, where they stand and their date;
// "Continue" (or "Replay" with the box ticked) starts the chosen one, "New
// game" (also Escape and the close box) a new one. The newest unfinished
// game is chosen at first.
class CSavedGamesDialog : public CDialogForm {
public:
    static constexpr const char* title       = "Saved games";
    static constexpr int         widthUnits  = 260;
    static constexpr int         heightUnits = 66;
    static constexpr int         idGames     = 1201;
    static constexpr int         idReplay    = 1202;
    static constexpr int         resultStart = 1;
    static constexpr int         resultNew   = 2;

    explicit CSavedGamesDialog(std::vector<CSavedGame> games);

    bool HasGames() const { return !games.empty(); }
    // What Start chose; a new game before it or after Cancel.
    CGameStart GetChoice() const { return choice; }
    // One list item: "2026-12-07 22:57  TestLevel  team 2 to move in turn 3  (41 commands)".
    static std::string DescribeGame(const CSavedGame& game);

    static const std::vector<CConfigControl>& GetControls();
    void                                      Initialise(const std::vector<CDisplayMode>& modes) override;
    int                                       Start() override;
    int                                       Cancel() const override { return resultNew; }
    const std::vector<std::string>&           GetItems() const override { return items; }
    int                                       GetSelection() const override { return selection; }
    void                                      SetSelection(int index) override;
    bool                                      IsChecked(int id) const override { return id == idReplay && replay; }
    void                                      SetChecked(int id, bool checked) override;
    const char*                               GetTitle() const override { return title; }
    int                                       GetWidthUnits() const override { return widthUnits; }
    int                                       GetHeightUnits() const override { return heightUnits; }
    const std::vector<CConfigControl>&        GetControlList() const override { return GetControls(); }

private:
    std::vector<CSavedGame>  games;
    std::vector<std::string> items;
    int                      selection = -1;
    bool                     replay    = false;
    CGameStart               choice;
};
