#include "platform/DataPath.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <vector>

namespace {

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `component` ignoring case, or the
// component itself when there is none. An exact match always wins, and among
// case-insensitive matches the first in sorted order, so the choice does not
// depend on the order in which the file system lists the folder.
std::string MatchComponent(const std::string& folder, const std::string& component) {
    const std::string exact = folder.empty() ? component : folder + "/" + component;
    if (Exists(exact)) {
        return component;
    }
    DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) {
        return component;
    }
    std::string best;
    while (const dirent* entry = readdir(directory)) {
        if (strcasecmp(entry->d_name, component.c_str()) == 0 && (best.empty() || best > entry->d_name)) {
            best = entry->d_name;
        }
    }
    closedir(directory);
    return best.empty() ? component : best;
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> components;
    std::string              current;
    for (char c : path) {
        if (c == '/') {
            components.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    components.push_back(current);
    return components;
}

} // namespace

std::string CDataPath::Resolve(const char* path) {
    if (path == nullptr) {
        return std::string();
    }
    std::string slashed(path);
    for (char& c : slashed) {
        if (c == '\\') {
            c = '/';
        }
    }
    const bool                     absolute   = !slashed.empty() && slashed[0] == '/';
    std::string                    resolved   = absolute ? "/" : "";
    std::string                    folder     = absolute ? "/" : "";
    const std::vector<std::string> components = SplitComponents(slashed);
    for (size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        if (component.empty() || component == "." || component == "..") {
            // Empty pieces come from doubled or leading separators; "." and ".."
            // are kept as spelled because they always exist.
            if (!component.empty()) {
                resolved += component;
                folder = resolved;
                if (i + 1 < components.size()) {
                    resolved += "/";
                }
            }
            continue;
        }
        const std::string matched = MatchComponent(folder, component);
        resolved += matched;
        folder = resolved;
        if (i + 1 < components.size()) {
            resolved += "/";
        }
    }
    return resolved;
}

bool CDataPath::FileExists(const char* path) {
    struct stat info;
    return path != nullptr && stat(Resolve(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
