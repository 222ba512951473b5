#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/DialogForm.h"
#include "platform/DisplayModes.h"

// What the start-up dialog does, without any toolkit: which display modes it
// offers, which item and boxes it shows selected, and what "Start" writes to
// "gfxconfig.ini". A view draws the controls, forwards the player's changes
// with SetSelection/SetChecked and calls Start or Cancel.
//
// Like a dialog procedure that opens the settings file for every message,
// each of Initialise and Start reads "gfxconfig.ini" afresh.
class CConfigDialog : public CDialogForm {
public:
    static constexpr const char* settingsFileName = "gfxconfig.ini";
    static constexpr const char* title            = "Configuration";
    static constexpr int         widthUnits       = 132;
    static constexpr int         heightUnits      = 231;

    static constexpr int resultStart  = 1;
    static constexpr int resultCancel = 2;

    static constexpr int idResolutions = 1003;
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
    void Initialise(const std::vector<CDisplayMode>& modes) override;
    // Stores the selected item (if any) and every box; returns resultStart.
    int Start() override;
    // Writes nothing.
    int Cancel() const override { return resultCancel; }

    const std::vector<std::string>& GetItems() const override { return items; }
    // -1 when nothing is selected (an empty list).
    int  GetSelection() const override { return selection; }
    void SetSelection(int index) override;
    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;

    const char*                        GetTitle() const override { return title; }
    int                                GetWidthUnits() const override { return widthUnits; }
    int                                GetHeightUnits() const override { return heightUnits; }
    const std::vector<CConfigControl>& GetControlList() const override { return GetControls(); }

private:
    std::vector<std::string> items;
    int                      selection = -1;
    std::map<int, bool>      checked;
};
