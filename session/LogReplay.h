#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "rules/Match.h"
#include "session/GameLog.h"

// Replaying a log on the rules: whether it may be replayed here, the match
// at its start, and its commands applied with every state hash checked.
class CLogReplay {
public:
    // The header of a game played now on a level of the working directory.
    static CGameLogHeader NewHeader(const std::string& levelName, uint64_t seed, const std::string& startTime);

    // Whether this program replays the log as it was played: same format,
    // rules version and fingerprint, the level's files unchanged and the
    // first team the seed gives. The reason when not.
    static bool CheckHeader(const CGameLogHeader& header, std::string& error);

    // The started match of the header's level and seed; null with the reason.
    static std::unique_ptr<CMatch> StartMatch(const CGameLogHeader& header, std::string& error);

    // Applies entries [from, to) to the match, each checked: refused, or a
    // state hash other than the log's, stops the replay with a message that
    // names the command. Returns how many were applied and matched; after a
    // mismatch the match holds the mismatching command too.
    static size_t Apply(CMatch& match, const std::vector<CLogEntry>& entries, size_t from, size_t to,
                        std::string& error);

    // "unfinished, team 2 to move in turn 3" or "finished, team 1 won in turn 7".
    static std::string DescribeState(const CMatch& match);
};
