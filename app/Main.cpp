#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Application.h"
#include "app/ConfigDialog.h"
#include "core/Logger.h"
#include "platform/ConfigDialogView.h"
#include "platform/UserPaths.h"

namespace {

constexpr int exitDone    = 0; // the game or the dialog ended as the player asked
constexpr int exitFailure = 1; // no display, or the game could not start
constexpr int exitUsage   = 2; // a command line the program does not understand

enum class Request { play, help, version, unknown };

Request ReadCommandLine(int argc, char** argv) {
    if (argc < 2) {
        return Request::play;
    }
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        return Request::help;
    }
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        return Request::version;
    }
    return Request::unknown;
}

std::string FolderOrWorkingDirectory(const std::string& folder) {
    if (!folder.empty()) {
        return folder;
    }
    char working[4096];
    return getcwd(working, sizeof working) != nullptr ? std::string(working) + "/" : std::string("./");
}

void PrintHelp() {
    const CUserFolders& folders = CUserPaths::GetFolders();
    printf("Usage: %s [--help | --version]\n\n"
           "A turn-based tactics game for two players at one computer. It opens its\n"
           "configuration dialog, then the game; Escape ends it.\n\n",
           CUserPaths::programName);
    printf("Data:        %s\n", FolderOrWorkingDirectory("").c_str());
    printf("Settings:    %s%s\n", FolderOrWorkingDirectory(folders.settings).c_str(), CConfigDialog::settingsFileName);
    printf("Logs:        %s%s, %s\n", FolderOrWorkingDirectory(folders.state).c_str(), CLogger::errorFileName,
           CLogger::infoFileName);
    printf("Saved games: %s%s\n\n", FolderOrWorkingDirectory(folders.state).c_str(), CUserPaths::savesFolderName);
    printf("Exit status: %d when the game or the dialog ended normally, %d when no\n"
           "display can be opened or the game cannot start, %d for a wrong command line.\n",
           exitDone, exitFailure, exitUsage);
}

} // namespace

int main(int argc, char** argv) {
    const Request request = ReadCommandLine(argc, argv);
    if (request == Request::version) {
        printf("%s %s\n", CUserPaths::programName, RIDGELINE_VERSION);
        return exitDone;
    }
    if (request == Request::unknown) {
        fprintf(stderr, "%s: unknown argument \"%s\"; try --help\n", CUserPaths::programName, argv[1]);
        return exitUsage;
    }
    std::string error;
    if (!CUserPaths::Setup(error)) {
        fprintf(stderr, "%s: %s\n", CUserPaths::programName, error.c_str());
        return exitFailure;
    }
    if (request == Request::help) {
        PrintHelp();
        return exitDone;
    }
    // Created once the layout is known (its sound library may log), and
    // before the dialog, so the frame clock and the sound library are
    // started also when the player cancels.
    CApplication* const application = GetApp();
    application->SetInstance(CProgramInstance{argc, argv});
    if (!CConfigDialogView::OpenDisplay()) {
        const char* display = std::getenv("DISPLAY");
        fprintf(stderr, "%s: cannot open the X display \"%s\", so the configuration dialog cannot be shown\n",
                CUserPaths::programName, display != nullptr ? display : "");
        application->Shutdown(false);
        return exitFailure;
    }
    CConfigDialog dialog;
    if (CConfigDialogView::Show(dialog) != CConfigDialog::resultStart) {
        application->Shutdown(false);
        return exitDone;
    }
    return application->Run() ? exitFailure : exitDone;
}
