#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/LevelCatalog.h"
#include "platform/DialogForm.h"
#include "platform/DisplayModes.h"

// What the start-up dialog does, without any toolkit: which display modes and
// levels it offers, which items and boxes it shows selected, and what "Start"
// writes to "gfxconfig.ini". The display settings fill the left column, the
// game's (the level, with its picture) the right one. A view draws the controls, forwards the player's changes
// with SetSelection/SetChecked and calls Start or Cancel.
//
// Like a dialog procedure that opens the settings file for every message,
// each of Initialise and Start reads "gfxconfig.ini" afresh.
class CConfigDialog : public CDialogForm {
public:
    static constexpr const char* settingsFileName = "gfxconfig.ini";
    static constexpr const char* title            = "Configuration";
    static constexpr int         widthUnits       = 270;
    static constexpr int         heightUnits      = 265;

    static constexpr int resultStart  = 1;
    static constexpr int resultCancel = 2;

    static constexpr int idResolutions = 1003;
    static constexpr int idLevels      = 1020;
    static constexpr int idPreview     = 1021; // the selected level's picture
    static constexpr int idRedSeat     = 1015; // who plays team 1: a person or the computer at a level
    static constexpr int idBlueSeat    = 1016;
    static constexpr int idNetwork     = 1022; // this computer only, host a network game, or join one
    static constexpr int idAddress     = 1023; // the host's port, or the address and port to join
    static constexpr int idStart       = 1;
    static constexpr int idCancel      = 2;

    // The joined mode list, terminating zero included, fits in this many
    // bytes, and its "resolutions" line fits the settings file's line limit.
    static constexpr size_t modeListSize = 8192;

    // Every control in tab order.
    static const std::vector<CConfigControl>& GetControls();

    // The modes of at least 640 x 480 and 16 bits per pixel as
    // "%dx%d:%d@%d" items joined by single spaces, in the given order; the
    // modes that no longer fit are left out (and that is logged).
    static std::string FormatModeList(const std::vector<CDisplayMode>& modes);

    // Stores the offered modes as "resolutions", fills the list from that
    // value, selects the item that "lastresolution" begins and checks the
    // boxes whose keys are non-zero.
    // Also lists the levels of the data folder (the working directory).
    void Initialise(const std::vector<CDisplayMode>& modes) override;
    // Lists the levels given (all of them; the unusable ones with their
    // reason) and selects the usable one that "level" names, else the
    // catalogue's choice.
    void Initialise(const std::vector<CDisplayMode>& modes, const std::vector<CLevelEntry>& levels);
    // Stores the selected item (if any), the selected level (if any) and
    // every box; returns resultStart.
    int Start() override;
    // Writes nothing.
    int Cancel() const override { return resultCancel; }

    const std::vector<std::string>& GetItems() const override { return items; }
    // -1 when nothing is selected (an empty list).
    int  GetSelection() const override { return selection; }
    void SetSelection(int index) override;
    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;

    // One text per level: its name, and for an unusable level the reason.
    std::vector<std::string> GetLevelItems() const;
    bool                     IsLevelOffered(int index) const;
    // -1 when no level can be played.
    int  GetLevelSelection() const { return levelSelection; }
    void SetLevelSelection(int index); // ignored for a level that cannot be played
    // The selected level's preview picture; empty when there is none or it
    // cannot be read (that is logged).
    CDialogPicture GetPreview() const;

    std::vector<std::string> GetListItems(int id) const override;
    bool                     IsListItemOffered(int id, int index) const override;
    int                      GetListSelection(int id) const override;
    void                     SetListSelection(int id, int index) override;
    CDialogPicture           GetPicture(int id) const override;
    std::string              GetText(int id) const override;
    void                     SetText(int id, const std::string& text) override;

    const char*                        GetTitle() const override { return title; }
    int                                GetWidthUnits() const override { return widthUnits; }
    int                                GetHeightUnits() const override { return heightUnits; }
    const std::vector<CConfigControl>& GetControlList() const override { return GetControls(); }

private:
    std::vector<std::string> items;
    int                      selection = -1;
    std::vector<CLevelEntry> levels;
    int                      levelSelection = -1;
    std::map<int, bool>      checked;
    int                      seats[2] = {0, 0}; // CSeats::Seat of red and blue
    int                      network  = 0;      // CNetworkMode
    std::string              address;
};
