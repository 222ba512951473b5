#pragma once

class CConfigDialog;

// Draws the start-up dialog with FLTK: a modal window titled
// "Configuration", centred on the screen, with the controls of
// CConfigDialog laid out in dialog units scaled to the font. Return presses
// "Start"; Escape and the close box mean "Cancel".
class CConfigDialogView {
public:
    // False when no X display can be opened (the dialog cannot be shown).
    static bool IsDisplayAvailable();

    // Initialises the dialog from the primary display's modes, shows it and
    // returns CConfigDialog::resultStart or resultCancel once it closes.
    static int Show(CConfigDialog& dialog);
};
