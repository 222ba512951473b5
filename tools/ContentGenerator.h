#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CXmlFile;
namespace LevelLayout {
struct Design;
}

// Writes every missing file of the game's data folder from fixed seeds.
// A file that exists is never touched, so committed and edited files win;
// media derived from the level (patch textures, placed objects) are made
// from the level files as they stand on disk. Each file is written under a
// temporary name and linked into place, so two generators running at once
// (a plain and a sanitized build) never leave a half-written file.
class CContentGenerator {
public:
    explicit CContentGenerator(const std::string& dataFolder);

    // False when a file could not be written; the reason is in the error log.
    bool Run();
    int  GetWrittenCount() const { return writtenCount; }

    using ByteSource = std::function<std::vector<uint8_t>()>;
    using XmlSource  = std::function<bool(CXmlFile&)>;
    using TextSource = std::function<std::string()>;

    // Each produces the file only when it is missing; true when it exists afterwards.
    bool EnsureBytes(const std::string& relativePath, const ByteSource& source);
    bool EnsureText(const std::string& relativePath, const TextSource& source);
    bool EnsureXml(const std::string& relativePath, const XmlSource& source);

    // One level's files and media (shared files not included).
    bool RunLevel(const LevelLayout::Design& design);

    std::string PathOf(const std::string& relativePath) const;
    bool        Exists(const std::string& relativePath) const;

private:
    bool        Publish(const std::string& temporary, const std::string& final);
    std::string TemporaryName(const std::string& final) const;

    std::string folder;
    int         writtenCount = 0;
};
