#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileGate.h"

// What a shared data folder may hold where a loader expects a regular file, made at run time next to a good file.
// Every loader must refuse it (or, for a missing file, fail) without hanging, and the refusal names the path.
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

// Turns the good file at `path` (relative, with slashes, in the working directory) into the hostile case and
// returns the path to hand the loader: for ".." and root paths the good file stays and is reached the wrong way.
inline std::string MakeHostile(Hostility hostility, const std::string& path, FileKind kind) {
    char folder[4096];
    if (getcwd(folder, sizeof folder) == nullptr) {
        return path;
    }
    const std::string cwd = folder;
    if (hostility == Hostility::throughParent) {
        return "..\\" + cwd.substr(cwd.rfind('/') + 1) + "\\" + path; // the very same file, reached from outside
    }
    if (hostility == Hostility::fromRoot) {
        return cwd + "/" + path;
    }
    std::error_code ignored; // a case that cannot be made leaves the good file, which the test then sees read
    if (hostility == Hostility::oversized) { // sparse: no disk space is used for the lie
        std::filesystem::resize_file(path, CFileGate::MaxBytes(kind) + 1, ignored);
        return path;
    }
    unlink(path.c_str());
    if (hostility == Hostility::folder) {
        mkdir(path.c_str(), 0755);
    } else if (hostility == Hostility::device) {
        std::filesystem::create_symlink("/dev/zero", path, ignored);
    } else if (hostility == Hostility::fifo) {
        mkfifo(path.c_str(), 0644);
    }
    return path;
}
