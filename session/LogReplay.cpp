#include "session/LogReplay.h"

#include <cinttypes>
#include <cstdio>

#include "rules/RulesFingerprint.h"
#include "session/LevelFiles.h"

namespace {

std::string Hex16(uint64_t value) {
    char text[17];
    snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

} // namespace

CGameLogHeader CLogReplay::NewHeader(const std::string& levelName, uint64_t seed, const std::string& startTime) {
    CGameLogHeader header;
    header.formatVersion    = CGameLog::formatVersion;
    header.rulesVersion     = rulesVersion;
    header.rulesFingerprint = ComputeRulesFingerprint();
    header.levelName        = levelName;
    header.levelFilesHash   = CLevelFiles::Hash(levelName);
    header.seed             = seed;
    header.firstTeam        = CMatch::FirstTeamOf(seed);
    header.seats[0]         = "person";
    header.seats[1]         = "person";
    header.startTime        = startTime;
    return header;
}

bool CLogReplay::CheckHeader(const CGameLogHeader& header, std::string& error) {
    if (header.formatVersion != CGameLog::formatVersion) {
        error = "it is a log of format " + std::to_string(header.formatVersion) + "; this program reads format " +
                std::to_string(CGameLog::formatVersion);
    } else if (header.rulesVersion != rulesVersion) {
        error = "it was played by rules version " + std::to_string(header.rulesVersion) + "; these are version " +
                std::to_string(rulesVersion);
    } else if (header.rulesFingerprint != ComputeRulesFingerprint()) {
        error = "its rules fingerprint " + Hex16(header.rulesFingerprint) + " differs from this machine's " +
                Hex16(ComputeRulesFingerprint());
    } else if (!CGameLog::IsValidLevelName(header.levelName)) {
        error = "its level name is not one a level folder may have";
    } else if (header.levelFilesHash != CLevelFiles::Hash(header.levelName)) {
        error = "the files of level " + header.levelName + " differ from those it was played on";
    } else if (header.firstTeam != CMatch::FirstTeamOf(header.seed)) {
        error = "its first team does not follow from its seed";
    } else {
        return true;
    }
    return false;
}

std::unique_ptr<CMatch> CLogReplay::StartMatch(const CGameLogHeader& header, std::string& error) {
    std::unique_ptr<CMatch> match = CMatch::LoadLevel(header.levelName, header.seed, error);
    if (match) {
        match->SetTraceExchanges(false);
        match->Start();
    }
    return match;
}

size_t CLogReplay::Apply(CMatch& match, const std::vector<CLogEntry>& entries, size_t from, size_t to,
                         std::string& error) {
    size_t index = from;
    for (; index < to && index < entries.size(); ++index) {
        const CLogEntry&   entry  = entries[index];
        const CApplyResult result = match.Apply(entry.command);
        const std::string  named  = "command " + std::to_string(index + 1) + " (" + entry.command.ToText() + ")";
        if (!result.Accepted()) {
            error = named + " is refused: " + RefusalText(result.refusal);
            break;
        }
        if (match.StateHash() != entry.stateHash) {
            error = named + " gives state " + Hex16(match.StateHash()) + " where the log has " + Hex16(entry.stateHash);
            break;
        }
    }
    return index - from;
}

std::string CLogReplay::DescribeState(const CMatch& match) {
    const std::string turn = " in turn " + std::to_string(match.GetTurn());
    if (match.IsGameOver()) {
        return "finished, team " + std::to_string(match.GetWinner()) + " won" + turn;
    }
    return "team " + std::to_string(match.GetCurrentTeam()) + " to move" + turn;
}
