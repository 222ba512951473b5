#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DisplayModes.h"

enum class ConfigControlKind { Label, DropDownList, CheckBox, PushButton, DefaultPushButton, Picture, TextField };

// One control of the start-up dialog. Positions and sizes are in dialog
// units: a quarter of the font's average character width horizontally, an
// eighth of its height vertically.
struct CConfigControl {
    int               id;
    ConfigControlKind kind;
    int               x;
    int               y;
    int               width;
    int               height;
    const char*       text; // nullptr for a list or a picture
    const char*       key;  // the "gfxconfig.ini" key it stands for, or nullptr
};

// A picture for the dialog to show: RGB rows from the top.
struct CDialogPicture {
    int                  width  = 0;
    int                  height = 0;
    std::vector<uint8_t> rgb;
};

// What a toolkit view of the start-up dialog draws and reports back: the
// dialog's logic implements it above the platform layer, so the view knows
// nothing of what the choices mean.
class CDialogForm {
public:
    virtual ~CDialogForm() = default;

    virtual const char*                        GetTitle() const       = 0;
    virtual int                                GetWidthUnits() const  = 0;
    virtual int                                GetHeightUnits() const = 0;
    virtual const std::vector<CConfigControl>& GetControlList() const = 0;

    // Fills the choices from the display's modes before the view shows them.
    virtual void                            Initialise(const std::vector<CDisplayMode>& modes) = 0;
    virtual const std::vector<std::string>& GetItems() const                                   = 0;
    // -1 when nothing is selected.
    virtual int  GetSelection() const             = 0;
    virtual void SetSelection(int index)          = 0;
    virtual bool IsChecked(int id) const          = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    // Any drop-down list by its control's id: its items, which of them may
    // be chosen (the others are shown greyed), and its selection. The
    // display modes' list answers through the calls above.
    virtual std::vector<std::string> GetListItems(int /*id*/) const { return GetItems(); }
    virtual bool                     IsListItemOffered(int /*id*/, int /*index*/) const { return true; }
    virtual int                      GetListSelection(int /*id*/) const { return GetSelection(); }
    virtual void                     SetListSelection(int /*id*/, int index) { SetSelection(index); }
    // What a picture control shows now (it changes with the lists'
    // selections); empty for none.
    virtual CDialogPicture GetPicture(int /*id*/) const { return CDialogPicture(); }
    // A text field's text, and the player's edit of it.
    virtual std::string GetText(int /*id*/) const { return std::string(); }
    virtual void        SetText(int /*id*/, const std::string& /*text*/) {}
    // The dialog's result for "Start", and for "Cancel" (also Escape and the close box).
    virtual int Start()        = 0;
    virtual int Cancel() const = 0;
};
