#include "core/Logger.h"

#include <cstdarg>
#include <cstdio>

#include "platform/ErrorReport.h"
#include "platform/FileGate.h"

namespace {

// Appends one formatted line. A log that cannot be opened (read-only folder,
// full disk, or a log name that is not a regular file) drops the message:
// logging never fails its caller, and never logs about itself.
void WriteLine(const char* fileName, bool& firstWrite, const char* format, va_list arguments) {
    const char* mode = firstWrite ? "w" : "a+";
    firstWrite       = false;
    FILE* file       = CFileGate::OpenForWriting(fileName, mode, true);
    if (file == nullptr) {
        return;
    }
    vfprintf(file, format, arguments);
    fputc('\n', file);
    fclose(file);
}

// Platform code reports through the logger from the program's start on.
void LogPlatformLine(ReportLevel level, const char* line) {
    if (level == ReportLevel::error) {
        GetLogger()->LogError("%s", line);
    } else {
        GetLogger()->LogInfo("%s", line);
    }
}

const bool platformReportsLogged = (SetReportSink(LogPlatformLine), true);

} // namespace

CLogger* GetLogger() {
    static CLogger* logger = new CLogger();
    return logger;
}

void CLogger::LogError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    WriteLine(errorFileName, firstErrorWrite, format, arguments);
    va_end(arguments);
}

void CLogger::LogInfo(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    WriteLine(infoFileName, firstInfoWrite, format, arguments);
    va_end(arguments);
}
