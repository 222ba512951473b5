#pragma once

#include <string>
#include <vector>

// The folders of an installed copy's own files: the settings, and the
// state (the logs, with saved games in "saves/" below it). Each ends with a
// slash.
struct CUserFolders {
    std::string settings;
    std::string state;
};

// Where the player's files go. A copy that runs from its source tree (or
// from any data folder that is not installed) keeps every file in the
// working directory, its data folder. An installed copy is recognised by
// where its executable lies: "<prefix>/games/ridgeline" (or bin/) with the
// marker file in "<prefix>/share/ridgeline/". It then reads its data there (that folder
// becomes the working directory) and writes nothing there: the settings go
// to $XDG_CONFIG_HOME/ridgeline/ (default ~/.config/ridgeline/), the logs
// and saved games to $XDG_STATE_HOME/ridgeline/ (default
// ~/.local/state/ridgeline/). Each folder is created (mode 0700) when a
// file in it is first asked for; a folder that cannot be created is named
// on standard error once.
class CUserPaths {
public:
    static constexpr const char* programName       = "ridgeline";
    static constexpr const char* dataFolderSuffix  = "/../share/ridgeline";
    static constexpr const char* installMarkerName = "installed-data";
    static constexpr const char* savesFolderName   = "saves/";

    // The folders of an installed copy from the environment's values
    // (nullptr or "" when unset). Relative values are ignored, as the base
    // directory rules ask; with no usable home either, both folders are "".
    static CUserFolders FoldersFor(const char* home, const char* configHome, const char* stateHome);

    // The installed data folder that belongs to this executable path, or ""
    // when the executable is not part of an installed copy.
    static std::string InstalledDataFolder(const std::string& executable);

    // Decides the layout of this run from the running executable and the
    // environment. For an installed copy the working directory becomes the
    // data folder; false, with `error` set, when it cannot be entered or no
    // user folder can be named.
    static bool Setup(std::string& error);

    // Uses the installed layout with these folders (Setup, and tests); an
    // empty `settings` returns to the working-directory layout.
    static void UseFolders(const CUserFolders& folders);
    static bool IsInstalled();

    // The path of a file in the settings folder or the state folder, and the
    // saved games' folder; in the working-directory layout the bare name
    // (and "saves/"). The folder is created on first use.
    static std::string SettingsFile(const char* name);
    static std::string StateFile(const char* name);
    static std::string SavesFolder();

    // The same paths without creating anything (for --help).
    static const CUserFolders& GetFolders();

    // True for an absolute path below one of the user folders without a ".."
    // component (false in the working-directory layout).
    static bool IsInsideUserFolder(const char* path);
    // The user folders a write may reach (none in the working-directory
    // layout, where the data folder is the only one).
    static std::vector<std::string> GetWritableRoots();

private:
    static std::string InFolder(const std::string& folder, const char* name, const char* what);
};
