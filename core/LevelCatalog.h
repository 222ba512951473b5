#pragma once

#include <string>
#include <vector>

// The levels in the data folder: every sub-folder that holds a "Terrain"
// folder or a team file. A level is usable when its terrain parameters,
// heightmap (square, 32 k + 1 samples a side, k a power of two up to 32,
// 24-bit uncompressed), tile file and both team files are there; any other is
// listed with the first reason it cannot be played.
struct CLevelEntry {
    std::string name;    // the folder, as the game names the level
    std::string reason;  // empty when usable
    std::string preview; // the picture the chooser shows, empty when there is none
    int         samplesPerSide = 0;

    bool IsUsable() const { return reason.empty(); }
};

class CLevelCatalog {
public:
    static constexpr const char* defaultLevel = "TestLevel";

    // Scans `folder` (the data folder, normally the working directory);
    // levels are sorted by name.
    explicit CLevelCatalog(const std::string& folder = ".");

    const std::vector<CLevelEntry>& GetLevels() const { return levels; }
    // nullptr when no level has that name.
    const CLevelEntry* Find(const std::string& name) const;
    // `wanted` when it names a usable level; otherwise (with a line in the
    // error log unless it is empty) the default level when usable, else the
    // first usable one, else the default level's name, whose loading then
    // reports what is missing.
    std::string Choose(const std::string& wanted) const;
    // The index of the usable level named `wanted`, else of the default
    // level when usable, else of the first usable one; -1 when none is.
    static int ChooseIndex(const std::vector<CLevelEntry>& levels, const std::string& wanted);

private:
    std::vector<CLevelEntry> levels;
};
