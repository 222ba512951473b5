#include "app/Logger.h"

#include <cstdarg>
#include <cstdio>

#include "platform/DataPath.h"

namespace {

// Appends one formatted line. A log that cannot be opened (read-only folder,
// full disk) drops the message: logging never fails its caller.
void WriteLine(const char* fileName, bool& firstWrite, const char* format, va_list arguments) {
    const char* mode = firstWrite ? "w" : "a+";
    firstWrite       = false;
    FILE* file       = CDataPath::OpenFile(fileName, mode);
    if (file == nullptr) {
        return;
    }
    vfprintf(file, format, arguments);
    fputc('\n', file);
    fclose(file);
}

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
