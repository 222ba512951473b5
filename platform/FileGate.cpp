#include "platform/FileGate.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/ErrorReport.h"
#include "platform/DataPath.h"

namespace {

constexpr size_t readChunkBytes = 65536;

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

void Refuse(const char* operation, const char* path, const char* reason) {
    ReportError("CFileGate::%s: refused %s: %s", operation, path, reason);
}

// Opens the descriptor without waiting on a FIFO or a device, then insists on
// a regular file. Returns -1 with errno set (0 after a refusal, which is
// logged unless quiet).
int OpenRegularFile(const char* operation, const char* path, int flags, bool quiet) {
    const std::string resolved   = CDataPath::Resolve(path);
    const int         descriptor = open(resolved.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return -1;
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        if (!quiet) {
            Refuse(operation, path, "not a regular file");
        }
        errno = 0;
        return -1;
    }
    // Reads and writes of a regular file do not block anyway; the flag only
    // kept the open itself from waiting.
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

int64_t FileSize(FILE* file) {
    struct stat info;
    return fstat(fileno(file), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

template <typename Buffer> bool ReadAll(const char* path, FileKind kind, Buffer& bytes, bool* missing) {
    bytes.clear();
    FILE* file = CFileGate::OpenForReading(path, kind, missing);
    if (file == nullptr) {
        return false;
    }
    const int64_t limit = CFileGate::MaxBytes(kind);
    bytes.reserve(static_cast<size_t>(FileSize(file)));
    char   chunk[readChunkBytes];
    size_t count = 0;
    bool   good  = true;
    while ((count = fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (static_cast<int64_t>(bytes.size() + count) > limit) {
            Refuse("ReadWholeFile", path, "it grew past its size bound while being read");
            good = false;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    if (good && ferror(file) != 0) {
        ReportError("CFileGate::ReadWholeFile: error reading %s", path);
        good = false;
    }
    fclose(file);
    if (!good) {
        bytes.clear();
    }
    return good;
}

} // namespace

int64_t CFileGate::MaxBytes(FileKind kind) {
    switch (kind) {
    case FileKind::text:
        return maxTextBytes;
    case FileKind::image:
        return maxImageBytes;
    case FileKind::model:
        return maxModelBytes;
    case FileKind::sound:
        return maxSoundBytes;
    case FileKind::music:
        return maxMusicBytes;
    }
    return 0;
}

const char* CFileGate::KindName(FileKind kind) {
    switch (kind) {
    case FileKind::text:
        return "text";
    case FileKind::image:
        return "image";
    case FileKind::model:
        return "model";
    case FileKind::sound:
        return "sound";
    case FileKind::music:
        return "music";
    }
    return "";
}

// The data folder is the working directory: a path that starts at the root
// or climbs with ".." may name anything on the machine.
bool CFileGate::IsInsideDataFolder(const char* path) {
    if (path == nullptr || IsSeparator(path[0])) {
        return false;
    }
    const char* component = path;
    for (const char* c = path;; ++c) {
        if (*c == '\0' || IsSeparator(*c)) {
            if (c - component == 2 && component[0] == '.' && component[1] == '.') {
                return false;
            }
            if (*c == '\0') {
                return true;
            }
            component = c + 1;
        }
    }
}

FILE* CFileGate::OpenForReading(const char* path, FileKind kind, bool* missing) {
    if (missing != nullptr) {
        *missing = false;
    }
    if (path == nullptr) {
        return nullptr;
    }
    if (!IsInsideDataFolder(path)) {
        Refuse("OpenForReading", path, "the path leaves the data folder");
        return nullptr;
    }
    const int descriptor = OpenRegularFile("OpenForReading", path, O_RDONLY, false);
    if (descriptor < 0) {
        // A missing file is for the caller to report; any other failure to
        // open (a refusal was logged already) is logged here.
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            if (missing != nullptr) {
                *missing = true;
            }
        } else if (error != 0) {
            ReportError("CFileGate::OpenForReading: cannot open %s: %s", path, strerror(error));
        }
        return nullptr;
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0 || static_cast<int64_t>(info.st_size) > MaxBytes(kind)) {
        char reason[160];
        snprintf(reason, sizeof reason, "larger than the %lld bytes a %s file may have (%lld bytes)",
                 static_cast<long long>(MaxBytes(kind)), KindName(kind), static_cast<long long>(info.st_size));
        Refuse("OpenForReading", path, reason);
        close(descriptor);
        return nullptr;
    }
    FILE* file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        close(descriptor);
    }
    return file;
}

bool CFileGate::ReadWholeFile(const char* path, FileKind kind, std::string& bytes, bool* missing) {
    return ReadAll(path, kind, bytes, missing);
}

bool CFileGate::ReadWholeFile(const char* path, FileKind kind, std::vector<uint8_t>& bytes, bool* missing) {
    return ReadAll(path, kind, bytes, missing);
}

FILE* CFileGate::OpenForWriting(const char* path, const char* mode, bool quiet) {
    if (path == nullptr || mode == nullptr || (mode[0] != 'w' && mode[0] != 'a')) {
        return nullptr;
    }
    if (!IsInsideDataFolder(path)) {
        if (!quiet) {
            Refuse("OpenForWriting", path, "the path leaves the data folder");
        }
        return nullptr;
    }
    const bool append   = mode[0] == 'a';
    const bool readable = strchr(mode, '+') != nullptr;
    // No O_TRUNC: a device must be refused before anything is done to it.
    const int flags      = (readable ? O_RDWR : O_WRONLY) | O_CREAT | (append ? O_APPEND : 0);
    const int descriptor = OpenRegularFile("OpenForWriting", path, flags, quiet);
    if (descriptor < 0) {
        return nullptr;
    }
    if (!append && ftruncate(descriptor, 0) != 0) {
        close(descriptor);
        return nullptr;
    }
    FILE* file = fdopen(descriptor, append ? (readable ? "a+" : "a") : (readable ? "w+" : "w"));
    if (file == nullptr) {
        close(descriptor);
    }
    return file;
}
