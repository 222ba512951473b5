#pragma once

#include <string>
#include <vector>

#include "platform/DisplayModes.h"

enum class ConfigControlKind { Label, DropDownList, CheckBox, PushButton, DefaultPushButton };

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
    const char*       text; // nullptr for the list
    const char*       key;  // the "gfxconfig.ini" key it stands for, or nullptr
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
    // The dialog's result for "Start", and for "Cancel" (also Escape and the close box).
    virtual int Start()        = 0;
    virtual int Cancel() const = 0;
};
