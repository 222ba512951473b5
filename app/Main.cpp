#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "app/ConfigDialog.h"
#include "app/SavedGamesDialog.h"
#include "platform/ConfigDialogView.h"

namespace {

// Created before main runs, so the frame clock and the sound library are
// started also when the player cancels the dialog.
CApplication* const application = GetApp();

} // namespace

int main(int argc, char** argv) {
    application->SetInstance(CProgramInstance{argc, argv});
    if (!CConfigDialogView::OpenDisplay()) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "ridgeline: cannot open the X display \"%s\", so the configuration dialog cannot be shown\n",
                     display != nullptr ? display : "");
        application->Shutdown(false);
        return 1;
    }
    CConfigDialog dialog;
    if (CConfigDialogView::Show(dialog) != CConfigDialog::resultStart) {
        application->Shutdown(false);
        return 0;
    }
    // With games in the saves folder, the player chooses one or a new game.
    CSavedGamesDialog savedGames(CSavedGames::List());
    if (savedGames.HasGames() && CConfigDialogView::Show(savedGames) == CSavedGamesDialog::resultStart) {
        application->SetGameStart(savedGames.GetChoice());
    }
    return application->Run() ? 1 : 0;
}
