#include <cstdio>

#include "FuzzInput.h"
#include "app/ConfigDialog.h"

// The start-up dialog on an arbitrary "gfxconfig.ini": the stored modes and choice are read and matched, every
// box is read, and "Start" writes the choices into the same file.
FUZZ_TARGET(CConfigDialog::settingsFileName) {
    const std::vector<CDisplayMode> modes = {
        {1280, 1024, 32, 60}, {1024, 768, 32, 75}, {640, 480, 16, 0}, {320, 200, 8, 70}};
    CConfigDialog dialog;
    dialog.Initialise(size % 2 == 0 ? modes : std::vector<CDisplayMode>());
    dialog.SetSelection(static_cast<int>(size % 5) - 1);
    for (const CConfigControl& control : CConfigDialog::GetControls()) {
        dialog.SetChecked(control.id, !dialog.IsChecked(control.id));
    }
    dialog.Start();
    std::remove(CConfigDialog::settingsFileName);
}
