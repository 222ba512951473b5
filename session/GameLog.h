#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rules/Command.h"

// What a game log says before its commands: the versions that must match
// to replay it, the level and a hash of every level file the rules read,
// the seed, who plays each team and when the game began.
struct CGameLogHeader {
    int         formatVersion    = 0;
    int         rulesVersion     = 0;
    uint64_t    rulesFingerprint = 0;
    std::string levelName;
    uint64_t    levelFilesHash = 0;
    uint64_t    seed           = 0;
    int         firstTeam      = 1;
    std::string seats[2];  // "person", "computer <level> <seed>" or "remote"
    std::string startTime; // UTC, "YYYY-MM-DDTHH:MM:SSZ"
};

// One accepted command with the state hash after it.
struct CLogEntry {
    CCommand command;
    uint64_t stateHash = 0;
};

// A log as read: the header, the longest prefix of valid command lines, how
// many lines after it were dropped and where the valid prefix ends.
struct CLoadedLog {
    CGameLogHeader         header;
    std::vector<CLogEntry> entries;
    int                    droppedLines = 0;
    size_t                 validBytes   = 0;
    // The dropped part is one line without its line end: the tail of a
    // write cut short, the usual trace of a killed program.
    bool cutShort = false;
};

// The game log, plain text with one record a line; each line ends in
// " #" and eight hex digits of a 32-bit FNV-1a hash of the text before them:
//   ridgeline-log <format>
//   rules <version> fingerprint <16 hex>
//   level <name> files <16 hex>
//   seed <n> first <team>
//   team1 <seat>
//   team2 <seat>
//   start <time>
//   <sequence from 1> <command text> <state hash, 16 hex>
// A header line that is damaged, missing or out of order refuses the whole
// log; after the header, the first line that is not a valid next command
// ends what is read.
class CGameLog {
public:
    static constexpr int formatVersion = 1;
    // Far above any record this format writes (about 60 bytes); a longer
    // line is damage.
    static constexpr size_t maxLineLength = 256;
    // About a million commands: far beyond a game, far below exhausting memory.
    static constexpr int64_t maxFileBytes = 64LL << 20;

    // The line with its checksum and line end.
    static std::string FormatLine(const std::string& text);
    static std::string FormatHeader(const CGameLogHeader& header);
    static std::string FormatEntry(int sequence, const CLogEntry& entry);

    // Reads the bytes of a log. False, with the reason in `error`, when the
    // header cannot be read; otherwise the valid prefix of the commands.
    static bool Parse(const std::string& bytes, CLoadedLog& log, std::string& error);
    // The file through Parse: a missing file, a folder or device, or a file
    // over the size bound is refused.
    static bool Load(const std::string& path, CLoadedLog& log, std::string& error);

    // Whether a level name may appear in a log and name a level folder.
    static bool IsValidLevelName(const std::string& name);
};
