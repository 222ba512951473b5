#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The kinds of file the game reads; each has its own size bound.
enum class FileKind { text, image, model, sound, music };

// Every file the game opens passes this gate. Levels, units and models are
// files that players edit and share, so a data path is untrusted: it must
// stay inside the data folder (the working directory) or, for the player's
// own files, inside a user folder (CUserPaths), and what it names
// must be a regular file no larger than its kind allows. A device, a FIFO or
// a folder where a file should be, or a path through ".." or from the root,
// is refused with a line in the error log naming the path; the caller then
// takes its failure path. A file that does not exist is not logged here:
// whether a missing file is an error is the caller's to say.
//
// Paths are game paths: backslashes or slashes, letter case resolved by
// CDataPath.
class CFileGate {
public:
    // Size bounds per kind, far above anything the game ships and far below
    // what would exhaust memory or time:
    // - text (XML, property files, vertex programs): 1 MiB. The files are a
    //   few kilobytes; the XML reader may scan an element twice per value.
    // - image: a 4096 x 4096 picture of four bytes per pixel plus 1 MiB for
    //   headers, image ID and colour map.
    // - model: 16 MiB, about a dozen meshes with every 16-bit count at its limit.
    // - sound: 16 MiB; a sample is decoded whole into memory (and may grow
    //   several times on conversion to the mixer's format).
    // - music: 256 MiB; a stream is decoded while it plays.
    static constexpr int64_t maxTextBytes  = 1LL << 20;
    static constexpr int64_t maxImageBytes = (4096LL * 4096 * 4) + (1LL << 20);
    static constexpr int64_t maxModelBytes = 16LL << 20;
    static constexpr int64_t maxSoundBytes = 16LL << 20;
    static constexpr int64_t maxMusicBytes = 256LL << 20;

    static int64_t     MaxBytes(FileKind kind);
    static const char* KindName(FileKind kind);

    // True when the path is relative and has no ".." component (a read or a
    // write may then reach it); nothing is logged.
    static bool IsInsideDataFolder(const char* path);

    // A stream for binary reading, or nullptr: missing files silently (and
    // `missing` set when given), refused ones with a line in the error log.
    // The file cannot block the open (a FIFO is refused, not waited on).
    static FILE* OpenForReading(const char* path, FileKind kind, bool* missing = nullptr);

    // The whole file through OpenForReading; false (and the buffer empty) on
    // any failure, including a file that grows past its bound while read.
    static bool ReadWholeFile(const char* path, FileKind kind, std::string& bytes, bool* missing = nullptr);
    static bool ReadWholeFile(const char* path, FileKind kind, std::vector<uint8_t>& bytes, bool* missing = nullptr);

    // The rule of every write (OpenForWriting, and CAtomicFile's replace):
    // - the path is a data path (relative, no "..") in the working-directory
    //   layout, or an absolute path below a user folder (CUserPaths); an
    //   installed copy never writes into its data folder;
    // - the folder, with every link in it followed, still lies inside the
    //   data folder or that user folder;
    // - the final name is not a symbolic link (and, for a write in place,
    //   not a file with other names);
    // - a file-size limit fails the write (EFBIG) instead of ending the
    //   program: SIGXFSZ is ignored from the first write on.
    // The resolved path, or "" with errno set and, unless quiet, a line
    // naming the path and the reason.
    static std::string ResolveForWriting(const char* path, const char* operation, bool quiet);

    // "w" (create or truncate), "a" (append) or "a+" (append, reading
    // allowed); text and binary are the same here. Refused, with a line, by
    // the write rule above or for an existing target that is not a regular
    // file. `quiet` drops the line: the logger opens its own files through
    // here and cannot log about them.
    static FILE* OpenForWriting(const char* path, const char* mode, bool quiet = false);
};
