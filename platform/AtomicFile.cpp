#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileGate.h"

namespace {

constexpr mode_t newFileMode = 0666; // narrowed by the umask

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is durable only once the folder's entry is on disk. Some file
// systems cannot sync a folder; the data itself is already safe then.
void SyncFolder(const std::string& folder) {
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

// A file that its owner made read-only (or that this user may not write) is
// kept: the rename would replace it although the file itself forbids it.
// Root passes every access check, so the permission bits are read too.
bool IsReadOnly(const std::string& path, const struct stat& info) {
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

// The temporary file, new and not through a link: whatever stands at its
// name (a link planted there, or a file left by a crash) is removed first,
// and an entry that reappears before the create fails the open.
int CreateExclusively(const std::string& path) {
    const int   flags      = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int         descriptor = open(path.c_str(), flags, newFileMode);
    struct stat info;
    if (descriptor < 0 && errno == EEXIST && lstat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode) &&
        unlink(path.c_str()) == 0) {
        descriptor = open(path.c_str(), flags, newFileMode);
    }
    return descriptor;
}

} // namespace

CAtomicFile::~CAtomicFile() {
    Abandon();
}

bool CAtomicFile::Open(const char* path) {
    Abandon();
    targetPath = CFileGate::ResolveForWriting(path, "ReplaceFile", false);
    if (targetPath.empty()) {
        return false;
    }
    struct stat old;
    const bool  exists = lstat(targetPath.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (exists && IsReadOnly(targetPath, old)) {
        errno = EACCES;
        return false;
    }
    temporaryPath        = targetPath + temporarySuffix;
    const int descriptor = CreateExclusively(temporaryPath);
    if (descriptor < 0) {
        return false;
    }
    if (exists) {
        fchmod(descriptor, old.st_mode & 07777);
    }
    stream = fdopen(descriptor, "w");
    if (stream == nullptr) {
        const int error = errno;
        close(descriptor);
        unlink(temporaryPath.c_str());
        errno = error;
        return false;
    }
    return true;
}

bool CAtomicFile::Commit() {
    if (stream == nullptr) {
        errno = EBADF;
        return false;
    }
    int error = 0;
    if (fflush(stream) != 0 || ferror(stream) != 0) {
        error = errno != 0 ? errno : EIO;
    } else if (fsync(fileno(stream)) != 0) {
        error = errno;
    }
    if (fclose(stream) != 0 && error == 0) {
        error = errno;
    }
    stream = nullptr;
    if (error == 0 && rename(temporaryPath.c_str(), targetPath.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporaryPath.c_str());
        errno = error;
        return false;
    }
    SyncFolder(FolderOf(targetPath));
    return true;
}

void CAtomicFile::Abandon() {
    if (stream == nullptr) {
        return;
    }
    const int error = errno;
    fclose(stream);
    stream = nullptr;
    unlink(temporaryPath.c_str());
    errno = error;
}
