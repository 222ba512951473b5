#pragma once

#include <cstdio>
#include <string>

// Writes a file so that its old contents survive every failure: the new text
// goes to "<file>.tmp" in the same folder, and only when all of it reached
// the disk (flushed, no stream error, fsync, closed) does a rename put it in
// the old file's place. A crash, a full disk or a folder that cannot be
// written leaves the previous file as it was. The folder is synced after the
// rename so the new name is on disk too. The target must pass the file
// gate's write rule; the temporary file is created new (O_EXCL) and never
// through a link, and a read-only target is kept, not replaced.
class CAtomicFile {
public:
    static constexpr const char* temporarySuffix = ".tmp";

    CAtomicFile() = default;
    // Abandons an uncommitted write.
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&)            = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Creates the temporary file beside the data path's file (resolved like
    // every data path). The new file gets the old file's permissions. False,
    // with errno set, when the write rule refuses the path (EPERM, logged),
    // the target is read-only (EACCES) or the file cannot be created.
    bool Open(const char* path);
    // The stream to write to; null when nothing is open.
    FILE* GetStream() const { return stream; }
    // Flushes, syncs and closes the temporary file and renames it over the
    // target. On any failure the temporary file is removed, the target is
    // untouched, errno tells the first failure, and the result is false.
    bool Commit();
    // Closes and removes the temporary file; the target is untouched.
    void Abandon();

    const std::string& GetTargetPath() const { return targetPath; }
    const std::string& GetTemporaryPath() const { return temporaryPath; }

private:
    FILE*       stream = nullptr;
    std::string targetPath;
    std::string temporaryPath;
};
