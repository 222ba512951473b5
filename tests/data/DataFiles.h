#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/XmlFile.h"
#include "rules/Match.h"

// Helpers of the shipped-content tests: where data/ is, reading its files the way the game names them.
namespace DataFiles {

// data/ of the source tree this test was built from (a file's own name may be relative under a compiler cache).
inline std::string Folder() {
    return std::string(RIDGELINE_SOURCE_DIR) + "/data";
}

// The loaders read from the working directory and refuse paths that lead elsewhere: for its lifetime this object
// makes a temporary working directory linking every folder of data/ but saves, so that logs stay out of data/.
class CDataLinks {
public:
    CDataLinks() {
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            const std::string name = entry.path().filename().string();
            if (entry.is_directory() && name != "saves" && symlink(entry.path().c_str(), name.c_str()) != 0) {
                ADD_FAILURE() << "cannot link " << entry.path();
            }
        }
    }

private:
    CTempWorkDir folder;
};

// A shipped level's rules, loaded in such a folder.
class CShippedLevel : public CDataLinks {
public:
    explicit CShippedLevel(const std::string& levelName = "TestLevel") : name(levelName) {}
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
    std::string name;
};

// The text of `key` in the file's current element ("" when missing).
inline std::string Text(CXmlFile& file, const char* key) {
    char buffer[1024] = {};
    file.ReadString(key, buffer, sizeof buffer);
    return buffer;
}

} // namespace DataFiles
