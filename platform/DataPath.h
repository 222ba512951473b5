#pragma once

#include <string>

// Data paths are written with backslashes and in inconsistent letter case
// ("Interface\%s" and "interface\%s" name one folder), so each component that
// does not exist exactly as spelled is looked up case-insensitively in its
// parent folder. Files are opened through CFileGate, which resolves paths
// here.
class CDataPath {
public:
    // The path with slashes and every existing component in its on-disk case.
    // Components that match nothing keep their spelling, so opening the result
    // for reading fails exactly like a missing file and opening it for writing
    // creates the file under the resolved folder.
    static std::string Resolve(const char* path);

    // True when the resolved path names an existing regular file.
    static bool FileExists(const char* path);
};
