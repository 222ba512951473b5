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
// the way the game names them, and a small independent reader of the 3DS
// chunk tree. Header-only, since only *Test.cpp files are compiled into
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

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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

inline uint32_t U16(const std::vector<uint8_t>& bytes, size_t at) {
    return at + 2 <= bytes.size() ? bytes[at] | bytes[at + 1] << 8 : 0;
}

inline uint32_t U32(const std::vector<uint8_t>& bytes, size_t at) {
    return at + 4 <= bytes.size() ? U16(bytes, at) | U16(bytes, at + 2) << 16 : 0;
}

// What a 3DS file holds, counted from its chunks.
struct Model3dsSummary {
    bool wellFormed         = true;
    bool versionFirstInMain = false;
    bool meshVersionFirst   = false; // first sub-chunk of 0x3D3D is 0x3D3E
    int  meshes = 0, faces = 0, materials = 0, texturedMeshes = 0, untexturedMeshes = 0;
    struct Material {
        std::string name, texture;
    };
    std::vector<Material>    materialList;
    std::vector<std::string> faceMaterials; // per mesh, the name its faces use
    std::vector<bool>        hasCoordinates;

    const Material* FindMaterial(const std::string& name) const {
        for (const Material& material : materialList) {
            if (material.name == name) {
                return &material;
            }
        }
        return nullptr;
    }
};

inline std::string CString(const std::vector<uint8_t>& bytes, size_t at, size_t end) {
    std::string text;
    while (at < end && at < bytes.size() && bytes[at] != 0) {
        text += static_cast<char>(bytes[at++]);
    }
    return text;
}

inline void Walk3ds(const std::vector<uint8_t>& bytes, size_t begin, size_t end, Model3dsSummary& summary);

inline void Read3dsChunk(const std::vector<uint8_t>& bytes, uint32_t id, size_t data, size_t end,
                         Model3dsSummary& summary) {
    switch (id) {
    case 0x3D3D:
        summary.meshVersionFirst = U16(bytes, data) == 0x3D3E;
        Walk3ds(bytes, data, end, summary);
        break;
    case 0xAFFF:
        ++summary.materials;
        summary.materialList.emplace_back();
        Walk3ds(bytes, data, end, summary);
        break;
    case 0xA000:
        if (!summary.materialList.empty()) {
            summary.materialList.back().name = CString(bytes, data, end);
        }
        break;
    case 0xA200:
        Walk3ds(bytes, data, end, summary);
        break;
    case 0xA300:
        if (!summary.materialList.empty()) {
            summary.materialList.back().texture = CString(bytes, data, end);
        }
        break;
    case 0x4000: {
        ++summary.meshes;
        summary.faceMaterials.emplace_back();
        summary.hasCoordinates.push_back(false);
        const std::string name = CString(bytes, data, end);
        Walk3ds(bytes, data + name.size() + 1, end, summary);
        break;
    }
    case 0x4100:
        Walk3ds(bytes, data, end, summary);
        break;
    case 0x4120: {
        const uint32_t count = U16(bytes, data);
        summary.faces += static_cast<int>(count);
        Walk3ds(bytes, data + 2 + 8 * static_cast<size_t>(count), end, summary);
        break;
    }
    case 0x4130:
        if (!summary.faceMaterials.empty()) {
            summary.faceMaterials.back() = CString(bytes, data, end);
        }
        break;
    case 0x4140:
        if (!summary.hasCoordinates.empty()) {
            summary.hasCoordinates.back() = true;
        }
        break;
    default:
        break;
    }
}

inline void Walk3ds(const std::vector<uint8_t>& bytes, size_t begin, size_t end, Model3dsSummary& summary) {
    for (size_t at = begin; at < end;) {
        const uint32_t id = U16(bytes, at), length = U32(bytes, at + 2);
        if (length < 6 || at + length > end) {
            summary.wellFormed = false;
            return;
        }
        Read3dsChunk(bytes, id, at + 6, at + length, summary);
        at += length;
    }
}

inline Model3dsSummary Summarise3ds(const std::vector<uint8_t>& bytes) {
    Model3dsSummary summary;
    if (U16(bytes, 0) != 0x4D4D || U32(bytes, 2) != bytes.size()) {
        summary.wellFormed = false;
        return summary;
    }
    summary.versionFirstInMain = U16(bytes, 6) == 0x0002;
    Walk3ds(bytes, 6, bytes.size(), summary);
    for (const std::string& name : summary.faceMaterials) {
        const Model3dsSummary::Material* material = summary.FindMaterial(name);
        if (material != nullptr && !material->texture.empty()) {
            ++summary.texturedMeshes;
        } else {
            ++summary.untexturedMeshes;
        }
    }
    return summary;
}

} // namespace DataFiles
