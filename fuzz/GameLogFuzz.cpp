#include "FuzzInput.h"
#include "session/GameLog.h"
#include "session/GameLogWriter.h"

// What loads must format and parse back to equal header and commands (a reader that took more than the writer
// could write shows here); continued, the log is cut back to its valid lines and loads with nothing dropped.
FUZZ_TARGET("input.log") {
    CLoadedLog  log;
    std::string error;
    if (!CGameLog::Load(path, log, error)) {
        return;
    }
    std::string text = CGameLog::FormatHeader(log.header);
    for (size_t index = 0; index < log.entries.size(); ++index) {
        text += CGameLog::FormatEntry(static_cast<int>(index) + 1, log.entries[index]);
    }
    CLoadedLog again;
    Require(CGameLog::Parse(text, again, error) && again.entries.size() == log.entries.size() &&
            again.droppedLines == 0 && again.validBytes == log.validBytes &&
            CGameLog::FormatHeader(again.header) == CGameLog::FormatHeader(log.header));
    CGameLogWriter writer;
    if (writer.Continue(path, log, error)) {
        writer.Close();
        Require(CGameLog::Load(path, again, error) && again.droppedLines == 0 &&
                again.entries.size() == log.entries.size());
    }
}
