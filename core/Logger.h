#pragma once

// The two run logs in the state folder (CUserPaths; the working directory
// unless installed): "log_error.txt" for failures and "log_info.txt" for
// information. Each file is truncated at the first message
// of a run and then appended to; every message is opened, written and closed,
// so a line is on disk as soon as the call returns. A run of the program has
// one logger, the one GetLogger() returns.
class CLogger {
public:
    CLogger() = default;

    static constexpr const char* errorFileName = "log_error.txt";
    static constexpr const char* infoFileName  = "log_info.txt";

    void LogError(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void LogInfo(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    bool firstErrorWrite = true;
    bool firstInfoWrite  = true;
};

// The process-wide logger, created on first use and never destroyed.
CLogger* GetLogger();
