#pragma once

#include <string>
#include <vector>

// One unit entry of a team file: the unit file, its tile and the offset of
// the tile it looks at.
struct CTeamEntry {
    std::string fileName;
    int         positionX = 0;
    int         positionY = 0;
    int         lookX     = 0;
    int         lookY     = 0;
};

// A team file: the team's special effect and its numbered unit entries,
// read up to the first missing number or the first entry that lacks a value.
class CTeamFile {
public:
    static constexpr size_t maxEffectLength   = 255;
    static constexpr size_t maxFileNameLength = 511;
    // Look offsets only name a direction; larger ones are clamped so that
    // position +/- offset stays far inside the int range.
    static constexpr int maxLookOffset = 1 << 20;

    // False when the file cannot be opened or has no "effectSpecial"; a
    // missing "units" element is an empty team.
    bool Load(const char* path);

    const std::string&             GetEffectSpecial() const { return effectSpecial; }
    const std::vector<CTeamEntry>& GetEntries() const { return entries; }

private:
    std::string             effectSpecial;
    std::vector<CTeamEntry> entries;
};
