#include "platform/FileGate.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/ErrorReport.h"
#include "platform/DataPath.h"
#include "platform/UserPaths.h"

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
int OpenRegularFile(const char* operation, const char* path, const std::string& resolved, int flags, bool quiet) {
    const int descriptor = open(resolved.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        if (errno == ELOOP && (flags & O_NOFOLLOW) != 0) {
            if (!quiet) {
                Refuse(operation, path, "the name is a symbolic link");
            }
            errno = ELOOP;
        }
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

bool IsBelow(const std::string& folder, const std::string& root) {
    return folder == root || (folder.compare(0, root.size(), root) == 0 && folder[root.size()] == '/');
}

// The path with every link followed, or "" when it does not exist.
std::string RealPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return std::string();
    }
    std::string result(real);
    free(real);
    return result;
}

// The folders a write may reach: the user folders of an installed copy, the
// working directory otherwise.
std::vector<std::string> WritableRoots() {
    std::vector<std::string> roots = CUserPaths::GetWritableRoots();
    if (!CUserPaths::IsInstalled()) {
        roots.push_back(".");
    }
    return roots;
}

// Why the path may not be written, or nullptr when the rule allows it.
const char* WriteRefusal(const char* path, const std::string& resolved) {
    if (!CUserPaths::IsInsideUserFolder(path)) {
        if (!CFileGate::IsInsideDataFolder(path)) {
            return "the path leaves the data folder";
        }
        if (CUserPaths::IsInstalled()) {
            return "the data folder of an installed copy is not written to";
        }
    }
    const size_t      slash  = resolved.find_last_of('/');
    const std::string folder = RealPath(slash == std::string::npos ? "." : resolved.substr(0, slash + 1));
    if (!folder.empty()) {
        bool inside = false;
        for (const std::string& root : WritableRoots()) {
            const std::string realRoot = RealPath(root);
            inside                     = inside || (!realRoot.empty() && IsBelow(folder, realRoot));
        }
        if (!inside) {
            return "its folder is a link to outside the data and user folders";
        }
    }
    struct stat info;
    if (lstat(resolved.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        return "the name is a symbolic link";
    }
    return nullptr;
}

// A process over its file-size limit gets SIGXFSZ, which ends it by default;
// ignored, the write fails with EFBIG like one on a full disk.
void IgnoreFileSizeSignal() {
    static const bool ignored = signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)ignored;
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
    if (!IsInsideDataFolder(path) && !CUserPaths::IsInsideUserFolder(path)) {
        Refuse("OpenForReading", path, "the path leaves the data folder");
        return nullptr;
    }
    const int descriptor = OpenRegularFile("OpenForReading", path, CDataPath::Resolve(path), O_RDONLY, false);
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

std::string CFileGate::ResolveForWriting(const char* path, const char* operation, bool quiet) {
    IgnoreFileSizeSignal();
    if (path == nullptr) {
        errno = EINVAL;
        return std::string();
    }
    const std::string resolved = CDataPath::Resolve(path);
    const char*       refusal  = WriteRefusal(path, resolved);
    if (refusal != nullptr) {
        if (!quiet) {
            Refuse(operation, path, refusal);
        }
        errno = EPERM;
        return std::string();
    }
    return resolved;
}

FILE* CFileGate::OpenForWriting(const char* path, const char* mode, bool quiet) {
    if (path == nullptr || mode == nullptr || (mode[0] != 'w' && mode[0] != 'a')) {
        return nullptr;
    }
    const std::string resolved = ResolveForWriting(path, "OpenForWriting", quiet);
    if (resolved.empty()) {
        return nullptr;
    }
    const bool append   = mode[0] == 'a';
    const bool readable = strchr(mode, '+') != nullptr;
    // No O_TRUNC: a device must be refused before anything is done to it.
    // O_NOFOLLOW closes the gap between the rule's check and the open.
    const int flags      = (readable ? O_RDWR : O_WRONLY) | O_CREAT | O_NOFOLLOW | (append ? O_APPEND : 0);
    const int descriptor = OpenRegularFile("OpenForWriting", path, resolved, flags, quiet);
    if (descriptor < 0) {
        return nullptr;
    }
    // A written file with a second name elsewhere would change that file too.
    struct stat info;
    if (fstat(descriptor, &info) != 0 || info.st_nlink > 1) {
        if (!quiet) {
            Refuse("OpenForWriting", path, "the file has other names (hard links)");
        }
        close(descriptor);
        errno = EPERM;
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
