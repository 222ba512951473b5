#include "session/SavedGames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/Logger.h"
#include "platform/UserPaths.h"
#include "session/GameLog.h"
#include "session/LogReplay.h"

namespace {

constexpr char logSuffix[] = ".log";

bool EndsWith(const std::string& text, const char* suffix) {
    const size_t length = strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

CSavedGame Describe(const std::string& path) {
    CSavedGame  game;
    CLoadedLog  log;
    std::string error;
    game.path = path;
    if (!CGameLog::Load(path, log, error) || !CLogReplay::CheckHeader(log.header, error)) {
        game.level     = log.header.levelName;
        game.startTime = log.header.startTime;
        game.state     = "cannot be played: " + error;
        return game;
    }
    game.level                    = log.header.levelName;
    game.startTime                = log.header.startTime;
    std::unique_ptr<CMatch> match = CLogReplay::StartMatch(log.header, error);
    if (!match) {
        game.state = "cannot be played: " + error;
        return game;
    }
    game.commands = static_cast<int>(CLogReplay::Apply(*match, log.entries, 0, log.entries.size(), error));
    if (static_cast<size_t>(game.commands) < log.entries.size()) {
        // The match went one command past the last that matched.
        match = CLogReplay::StartMatch(log.header, error);
        CLogReplay::Apply(*match, log.entries, 0, static_cast<size_t>(game.commands), error);
    }
    game.playable = true;
    game.finished = match->IsGameOver();
    game.state    = CLogReplay::DescribeState(*match);
    return game;
}

} // namespace

std::string CSavedGames::Folder() {
    std::string folder = CUserPaths::SavesFolder();
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

bool CSavedGames::EnsureFolder() {
    const std::string folder = Folder();
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        GetLogger()->LogError("CSavedGames: the folder %s cannot be made: %s", folder.c_str(), strerror(errno));
        return false;
    }
    struct stat info;
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        GetLogger()->LogError("CSavedGames: %s is not a folder (a link is not followed); games are not recorded",
                              folder.c_str());
        return false;
    }
    return true;
}

std::string CSavedGames::FormatStartTime(time_t time) {
    struct tm parts;
    gmtime_r(&time, &parts);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string CSavedGames::NewLogPath(time_t time) {
    struct tm parts;
    gmtime_r(&time, &parts);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &parts);
    const std::string base = Folder() + "/" + stamp;
    std::string       path = base + logSuffix;
    struct stat       info;
    for (int number = 2; lstat(path.c_str(), &info) == 0 && number < 1000; ++number) {
        path = base + "-" + std::to_string(number) + logSuffix;
    }
    return path;
}

std::vector<CSavedGame> CSavedGames::List() {
    std::vector<std::string> names;
    if (DIR* folder = opendir(Folder().c_str())) {
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (EndsWith(name, logSuffix) && name[0] != '.') {
                names.push_back(name);
            }
        }
        closedir(folder);
    }
    // Names are start times, so the newest sorts last.
    std::sort(names.rbegin(), names.rend());
    if (names.size() > maxListed) {
        names.resize(maxListed);
    }
    std::vector<CSavedGame> games;
    for (const std::string& name : names) {
        games.push_back(Describe(Folder() + "/" + name));
    }
    return games;
}
