#pragma once

class CDialogForm;

// Draws the start-up dialog with FLTK: a modal window titled
// "Configuration", centred on the screen, with the controls of
// the dialog's form laid out in dialog units scaled to the font. Return presses
// "Start"; Escape and the close box mean "Cancel".
class CConfigDialogView {
public:
    // Connects the toolkit to the X display, for the dialog and later for
    // message boxes; false when no display can be opened. The connection stays
    // open: a virtual X server that loses its last client resets itself, and
    // a connection attempt during the reset fails.
    static bool OpenDisplay();

    // Initialises the form from the primary display's modes, shows it and
    // returns the form's result for "Start" or "Cancel" once it closes.
    // Needs OpenDisplay first.
    static int Show(CDialogForm& dialog);
};
