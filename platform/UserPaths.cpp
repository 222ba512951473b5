#include "platform/UserPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

constexpr mode_t userFolderMode = 0700; // the player's own files are nobody else's

CUserFolders folders;
bool         installed = false;

bool IsAbsolute(const char* value) {
    return value != nullptr && value[0] == '/';
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// The home folder from $HOME, or from the password database when $HOME is
// unset or relative (a service started without a login environment).
std::string HomeFolder(const char* home) {
    if (IsAbsolute(home)) {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && IsAbsolute(entry->pw_dir) ? entry->pw_dir : "";
}

// Creates every missing folder of the path, like mkdir -p.
bool CreateFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), userFolderMode) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat info;
    if (stat(folder.c_str(), &info) != 0) {
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// The absolute path of the running executable.
std::string ExecutablePath() {
    char      path[4096];
    const int length = static_cast<int>(readlink("/proc/self/exe", path, sizeof path - 1));
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

bool HasParentComponent(const std::string& path) {
    const std::string slashed = "/" + path + "/";
    return slashed.find("/../") != std::string::npos;
}

} // namespace

CUserFolders CUserPaths::FoldersFor(const char* home, const char* configHome, const char* stateHome) {
    const std::string homeFolder = HomeFolder(home);
    CUserFolders      result;
    if (IsAbsolute(configHome)) {
        result.settings = WithSlash(configHome) + programName + "/";
    } else if (!homeFolder.empty()) {
        result.settings = WithSlash(homeFolder) + ".config/" + programName + "/";
    }
    if (IsAbsolute(stateHome)) {
        result.state = WithSlash(stateHome) + programName + "/";
    } else if (!homeFolder.empty()) {
        result.state = WithSlash(homeFolder) + ".local/state/" + programName + "/";
    }
    return result;
}

std::string CUserPaths::InstalledDataFolder(const std::string& executable) {
    const size_t slash = executable.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    const std::string dataFolder = executable.substr(0, slash) + dataFolderSuffix;
    struct stat       info;
    const std::string marker = dataFolder + "/" + installMarkerName;
    return stat(marker.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? dataFolder : "";
}

bool CUserPaths::Setup(std::string& error) {
    const std::string dataFolder = InstalledDataFolder(ExecutablePath());
    if (dataFolder.empty()) {
        UseFolders(CUserFolders{});
        return true;
    }
    const CUserFolders found = FoldersFor(getenv("HOME"), getenv("XDG_CONFIG_HOME"), getenv("XDG_STATE_HOME"));
    if (found.settings.empty() || found.state.empty()) {
        error = "no home folder is known (set HOME or XDG_CONFIG_HOME and XDG_STATE_HOME)";
        return false;
    }
    if (chdir(dataFolder.c_str()) != 0) {
        error = "cannot enter the data folder " + dataFolder + ": " + strerror(errno);
        return false;
    }
    UseFolders(found);
    return true;
}

void CUserPaths::UseFolders(const CUserFolders& chosen) {
    installed = !chosen.settings.empty();
    folders   = installed ? CUserFolders{WithSlash(chosen.settings), WithSlash(chosen.state)} : CUserFolders{};
}

bool CUserPaths::IsInstalled() {
    return installed;
}

const CUserFolders& CUserPaths::GetFolders() {
    return folders;
}

std::string CUserPaths::SettingsFile(const char* name) {
    return InFolder(folders.settings, name, "settings");
}

std::string CUserPaths::StateFile(const char* name) {
    return InFolder(folders.state, name, "log");
}

std::string CUserPaths::SavesFolder() {
    return InFolder(folders.state + savesFolderName, "", "saved games");
}

std::string CUserPaths::InFolder(const std::string& folder, const char* name, const char* what) {
    // Each folder is named at most once when it cannot be created: the
    // logger asks for its files on every line.
    static std::set<std::string> reported;
    if (!folder.empty() && !CreateFolders(folder) && reported.insert(folder).second) {
        fprintf(stderr, "%s: cannot create the %s folder %s: %s\n", programName, what, folder.c_str(), strerror(errno));
    }
    return folder + name;
}

bool CUserPaths::IsInsideUserFolder(const char* path) {
    if (!installed || !IsAbsolute(path) || HasParentComponent(path)) {
        return false;
    }
    for (const std::string& root : GetWritableRoots()) {
        if (strncmp(path, root.c_str(), root.size()) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> CUserPaths::GetWritableRoots() {
    if (!installed) {
        return {};
    }
    return {folders.settings, folders.state};
}
