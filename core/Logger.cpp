#include "core/Logger.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/ErrorReport.h"
#include "platform/FileGate.h"
#include "platform/UserPaths.h"

namespace {

// Appends one formatted line. A log that cannot be opened (read-only folder,
// full disk, or a log name that the write rule refuses, such as a link)
// drops the message: logging never fails its caller and never logs about
// itself, but the first dropped line of each log is named on standard error.
void WriteLine(const char* fileName, bool& firstWrite, const char* format, va_list arguments) {
    const char*       mode = firstWrite ? "w" : "a+";
    const std::string path = CUserPaths::StateFile(fileName);
    FILE*             file = CFileGate::OpenForWriting(path.c_str(), mode, true);
    if (file == nullptr) {
        if (firstWrite) {
            fprintf(stderr, "ridgeline: the log %s cannot be written (%s); its lines are dropped\n", path.c_str(),
                    strerror(errno));
        }
        firstWrite = false;
        return;
    }
    firstWrite = false;
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
