#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "core/XmlFile.h"
#include "rules/Match.h"
#include "platform/DataPath.h"

// Helpers of the shipped-content tests: where data/ is, reading its files
// the way the game names them. Header-only, since only *Test.cpp files are compiled into
// the test programs.
namespace DataFiles {

// data/ of the source tree this test was built from (the build names the
// tree: a file's own name may be relative under a compiler cache).
inline std::string Folder() {
    return std::string(RIDGELINE_SOURCE_DIR) + "/data";
}

// A data path as the game writes it ("units\tank.xml"), resolved with the
// game's case-insensitive rules below data/.
inline std::string Path(const std::string& gamePath) {
    return CDataPath::Resolve((Folder() + "/" + gamePath).c_str());
}

inline bool Exists(const std::string& gamePath) {
    return CDataPath::FileExists((Folder() + "/" + gamePath).c_str());
}

// The game's loaders read from the working directory and refuse paths that
// lead elsewhere, so shipped files are handed to them from inside data/: for
// its lifetime this object makes data/ the working directory.
class CInDataFolder {
public:
    CInDataFolder() {
        char here[4096];
        if (getcwd(here, sizeof here) != nullptr) {
            previous = here;
        }
        entered = chdir(Folder().c_str()) == 0;
    }
    ~CInDataFolder() {
        if (entered && !previous.empty() && chdir(previous.c_str()) != 0) {
            previous.clear();
        }
    }
    CInDataFolder(const CInDataFolder&)            = delete;
    CInDataFolder& operator=(const CInDataFolder&) = delete;

private:
    std::string previous;
    bool        entered = false;
};

// A shipped level's rules in a temporary working folder that links the
// data folders the rules read, so that the logs stay out of data/.
class CShippedLevel {
public:
    explicit CShippedLevel(const std::string& levelName = "TestLevel") : name(levelName) {
        for (const std::string& folderName : {name, std::string("Terrain"), std::string("units")}) {
            const std::string target = Folder() + "/" + folderName;
            if (symlink(target.c_str(), folderName.c_str()) != 0) {
                ADD_FAILURE() << "cannot link " << target;
            }
        }
    }
    std::unique_ptr<CMatch> NewMatch(uint64_t seed, bool trace = false) const {
        std::string             error;
        std::unique_ptr<CMatch> match = CMatch::LoadLevel(name, seed, error);
        EXPECT_TRUE(match) << error;
        if (match) {
            match->SetTraceExchanges(trace);
        }
        return match;
    }

private:
    CTempWorkDir folder;
    std::string  name;
};

// Opens a shipped XML file (a game path such as "units\tank.xml") with the
// game's reader, which holds the whole file once it is open.
inline bool OpenXml(CXmlFile& file, const std::string& gamePath) {
    const CInDataFolder inData;
    return file.Open(gamePath.c_str(), 0);
}

// Standard output of a shell command (with its error output when
// `withErrors`), or "" when it cannot be run.
inline std::string Run(const std::string& command, bool withErrors = false) {
    FILE* pipe = popen((command + (withErrors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
    if (pipe == nullptr) {
        return std::string();
    }
    std::string output;
    char        buffer[4096];
    size_t      count;
    while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, count);
    }
    pclose(pipe);
    return output;
}

// The text of `key` in the file's current element ("" when missing; `found`
// tells which).
inline std::string Text(CXmlFile& file, const char* key, bool* found = nullptr) {
    char       buffer[1024] = {};
    const bool ok           = file.ReadString(key, buffer, sizeof buffer);
    if (found != nullptr) {
        *found = ok;
    }
    return buffer;
}

inline std::string Quote(const std::string& path) {
    return "'" + path + "'";
}

// Every file below data/ whose name ends with `suffix`, as paths relative to data/.
inline std::vector<std::string> FilesEndingWith(const std::string& suffix) {
    const std::string listing = Run("cd " + Quote(Folder()) + " && find . -type f -name '*" + suffix + "' | sort");
    std::vector<std::string> files;
    std::istringstream       lines(listing);
    std::string              line;
    while (std::getline(lines, line)) {
        if (line.size() > 2) {
            files.push_back(line.substr(2));
        }
    }
    return files;
}

} // namespace DataFiles
