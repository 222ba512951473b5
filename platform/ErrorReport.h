#pragma once

// How the platform layer reports failures without knowing the program's
// logger: the logger installs itself as the sink when the program starts.
// Without a sink (a tool that never logs) lines go to standard error.
enum class ReportLevel { error, info };
using ReportSink = void (*)(ReportLevel level, const char* line);

void SetReportSink(ReportSink sink);
// printf rules; one line each, cut to 1023 characters.
void ReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ReportInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
