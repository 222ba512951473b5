#include "platform/ErrorReport.h"

#include <cstdarg>
#include <cstdio>

namespace {

ReportSink installedSink = nullptr;

void Report(ReportLevel level, const char* format, va_list arguments) {
    char line[1024];
    vsnprintf(line, sizeof line, format, arguments);
    if (installedSink != nullptr) {
        installedSink(level, line);
    } else {
        fprintf(stderr, "%s\n", line);
    }
}

} // namespace

void SetReportSink(ReportSink sink) {
    installedSink = sink;
}

void ReportError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Report(ReportLevel::error, format, arguments);
    va_end(arguments);
}

void ReportInfo(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Report(ReportLevel::info, format, arguments);
    va_end(arguments);
}
