#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/FileGate.h"

// What a shared data folder may hold where a loader expects a regular file,
// made at run time next to a good file. Every loader must refuse it (or, for
// a missing file, fail) without hanging, and the refusal names the path.
enum class Hostility { missing, throughParent, fromRoot, folder, device, fifo, oversized };

struct CHostileCase {
    const char* label;
    Hostility   hostility;
    const char* gateReason; // the refusal's reason in the error log; nullptr: the gate says nothing
};

inline const std::vector<CHostileCase>& HostileCases() {
    static const std::vector<CHostileCase> cases = {
        {"Missing", Hostility::missing, nullptr},
        {"ThroughParent", Hostility::throughParent, "the path leaves the data folder"},
        {"FromRoot", Hostility::fromRoot, "the path leaves the data folder"},
        {"Folder", Hostility::folder, "not a regular file"},
        {"DeviceLink", Hostility::device, "not a regular file"},
        {"Fifo", Hostility::fifo, "not a regular file"},
        {"Oversized", Hostility::oversized, "larger than the"},
    };
    return cases;
}

// Turns the good file at `path` (relative, with slashes, in the working
// directory) into the hostile case and returns the path to hand the loader:
// for ".." and root paths the good file stays and is reached the wrong way.
inline std::string MakeHostile(Hostility hostility, const std::string& path, FileKind kind) {
    char folder[4096];
    if (getcwd(folder, sizeof folder) == nullptr) {
        return path;
    }
    const std::string cwd      = folder;
    const std::string baseName = cwd.substr(cwd.rfind('/') + 1);
    switch (hostility) {
    case Hostility::missing:
        unlink(path.c_str());
        break;
    case Hostility::throughParent:
        return "..\\" + baseName + "\\" + path; // the very same file, reached from outside
    case Hostility::fromRoot:
        return cwd + "/" + path;
    case Hostility::folder:
        unlink(path.c_str());
        mkdir(path.c_str(), 0755);
        break;
    case Hostility::device:
        unlink(path.c_str());
        if (symlink("/dev/zero", path.c_str()) != 0) {
            return path;
        }
        break;
    case Hostility::fifo:
        unlink(path.c_str());
        mkfifo(path.c_str(), 0644);
        break;
    case Hostility::oversized:
        // Sparse: no disk space is used for the lie.
        if (truncate(path.c_str(), static_cast<off_t>(CFileGate::MaxBytes(kind) + 1)) != 0) {
            return path;
        }
        break;
    }
    return path;
}
