#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/DataPath.h"

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

} // namespace

CAtomicFile::~CAtomicFile() {
    Abandon();
}

bool CAtomicFile::Open(const char* path) {
    Abandon();
    if (path == nullptr) {
        errno = EINVAL;
        return false;
    }
    targetPath           = CDataPath::Resolve(path);
    temporaryPath        = targetPath + temporarySuffix;
    const int descriptor = open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, newFileMode);
    if (descriptor < 0) {
        return false;
    }
    struct stat old, created;
    if (stat(targetPath.c_str(), &old) == 0 && S_ISREG(old.st_mode) && fstat(descriptor, &created) == 0 &&
        S_ISREG(created.st_mode)) {
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
