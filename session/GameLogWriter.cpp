#include "session/GameLogWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/Logger.h"

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The new name of a created file reaches the disk with its folder.
void SyncFolder(const std::string& path) {
    const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

bool WriteAll(int descriptor, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(descriptor, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

// A copy of the whole damaged file, created new beside it.
bool KeepDroppedCopy(const std::string& path, int source, std::string& error) {
    const std::string copyPath = path + ".dropped";
    const int         copy     = open(copyPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (copy < 0) {
        error = "the damaged log cannot be kept aside as " + copyPath + ": " + strerror(errno);
        return false;
    }
    char    chunk[65536];
    ssize_t count = 0;
    bool    good  = lseek(source, 0, SEEK_SET) == 0;
    while (good && (count = read(source, chunk, sizeof chunk)) > 0) {
        good = WriteAll(copy, std::string(chunk, static_cast<size_t>(count)));
    }
    good = good && count == 0 && fdatasync(copy) == 0;
    close(copy);
    if (!good) {
        error = "the damaged log cannot be kept aside as " + copyPath;
    }
    return good;
}

} // namespace

CGameLogWriter::~CGameLogWriter() {
    Close();
}

void CGameLogWriter::Close() {
    if (descriptor >= 0) {
        close(descriptor);
    }
    descriptor = -1;
}

bool CGameLogWriter::Create(const std::string& logPath, const CGameLogHeader& header,
                            const std::vector<CLogEntry>& entries, std::string& error) {
    Close();
    descriptor = open(logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        error = "the log " + logPath + " cannot be created: " + strerror(errno);
        return false;
    }
    path             = logPath;
    failed           = false;
    std::string text = CGameLog::FormatHeader(header);
    for (size_t index = 0; index < entries.size(); ++index) {
        text += CGameLog::FormatEntry(static_cast<int>(index) + 1, entries[index]);
    }
    entryCount = static_cast<int>(entries.size());
    if (!WriteAndSync(text)) {
        error = "the log " + logPath + " cannot be written: " + strerror(errno);
        Close();
        return false;
    }
    SyncFolder(logPath);
    return true;
}

bool CGameLogWriter::Continue(const std::string& logPath, const CLoadedLog& log, std::string& error) {
    Close();
    descriptor = open(logPath.c_str(), O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat info;
    if (descriptor < 0 || fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "the log " + logPath + " cannot be continued: " + (descriptor < 0 ? strerror(errno) : "not a file");
        Close();
        return false;
    }
    path             = logPath;
    failed           = false;
    entryCount       = static_cast<int>(log.entries.size());
    const off_t keep = static_cast<off_t>(log.validBytes);
    if (info.st_size == keep) {
        return true;
    }
    if (!log.cutShort && !KeepDroppedCopy(logPath, descriptor, error)) {
        Close();
        return false;
    }
    if (ftruncate(descriptor, keep) != 0 || fdatasync(descriptor) != 0) {
        error = "the log " + logPath + " cannot be cut to its valid lines: " + strerror(errno);
        Close();
        return false;
    }
    return true;
}

bool CGameLogWriter::Append(const CLogEntry& entry) {
    if (descriptor < 0) {
        return false;
    }
    ++entryCount;
    return WriteAndSync(CGameLog::FormatEntry(entryCount, entry));
}

bool CGameLogWriter::WriteAndSync(const std::string& text) {
    if (WriteAll(descriptor, text) && fdatasync(descriptor) == 0) {
        return true;
    }
    if (!failed) {
        GetLogger()->LogError("CGameLogWriter: the log %s cannot be written (%s); the game goes on unrecorded",
                              path.c_str(), strerror(errno));
    }
    failed = true;
    Close();
    return false;
}
