#pragma once

#include <string>
#include <vector>

// One kind of ground, as listed in "terraintypes.xml".
struct CTerrainType {
    int         id = 0; // its number in the file, equal to its index
    std::string name;
    float       attack   = 0.0f;
    float       defense  = 0.0f; // added to a unit's defence in combat
    float       movement = 0.0f; // path cost of entering a tile of this type
};

// The terrain types of the game. Tiles refer to them by index; an index of
// -1 (never set) or beyond the list is no terrain type at all: it is not
// passable, has attack, defence and movement 0 and an empty name, so every
// caller may pass a tile's index unchecked.
class CTerrainTypes {
public:
    // Longest name kept; longer names are cut.
    static constexpr size_t maxNameLength = 511;

    // Loads the file; a missing file gives an empty list.
    explicit CTerrainTypes(const char* path);

    int  GetCount() const { return static_cast<int>(types.size()); }
    bool IsValid(int index) const { return index >= 0 && index < GetCount(); }
    // Units may enter a tile only when its terrain type exists.
    bool               IsPassable(int index) const { return IsValid(index); }
    const std::string& GetName(int index) const;
    float              GetAttack(int index) const;
    float              GetDefense(int index) const;
    float              GetMovement(int index) const;

private:
    void Load(const char* path);

    std::vector<CTerrainType> types;
};
