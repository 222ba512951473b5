#pragma once

#include <string>
#include <vector>

#include "session/GameLog.h"

// Writes a game log as the game is played: each line is written whole and
// reaches the disk (fdatasync) before Append returns, so that a program
// killed at any moment loses at most the command being written. A log is
// never a link: it is created new (never over an existing file) and
// continued only when it is a regular file.
class CGameLogWriter {
public:
    CGameLogWriter() = default;
    ~CGameLogWriter();
    CGameLogWriter(const CGameLogWriter&)            = delete;
    CGameLogWriter& operator=(const CGameLogWriter&) = delete;

    // A new log at path with the header and the entries so far (a game
    // taken over from a replay). False, with the reason, when the file
    // exists or cannot be written.
    bool Create(const std::string& path, const CGameLogHeader& header, const std::vector<CLogEntry>& entries,
                std::string& error);
    // Goes on appending to a loaded log. Its dropped lines are cut off first
    // so that new lines follow the valid ones; more than a cut-short last
    // line is kept aside in "<path>.dropped" before that.
    bool Continue(const std::string& path, const CLoadedLog& log, std::string& error);
    // The entry as the next line. False after a failed write (logged once);
    // the game goes on without its log.
    bool Append(const CLogEntry& entry);
    void Close();

    bool               IsOpen() const { return descriptor >= 0; }
    int                GetEntryCount() const { return entryCount; }
    const std::string& GetPath() const { return path; }

private:
    bool WriteAndSync(const std::string& text);

    int         descriptor = -1;
    int         entryCount = 0;
    bool        failed     = false;
    std::string path;
};
