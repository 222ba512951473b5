#pragma once

#include <deque>
#include <string>

// One key=value line of a property file. Keys are stored in lower case.
struct CPropertyEntry {
    std::string key;
    std::string value;
};

// A small settings file of key=value lines ("gfxconfig.ini", "ter_params.ini").
// The object reflects the file as it was when constructed plus its own changes;
// it never re-reads the file. Keys are case-insensitive, a key that occurs
// twice is found by its later line, and both lines are kept and written back.
class CPropertyFile {
public:
    // Lines are read with this many characters at most (newline excluded).
    static constexpr int maxLineLength = 8191;

    explicit CPropertyFile(const char* fileName);
    ~CPropertyFile()                               = default;
    CPropertyFile(const CPropertyFile&)            = delete;
    CPropertyFile& operator=(const CPropertyFile&) = delete;

    // Reads the file into memory; false for a missing file (neither created
    // nor logged) and for one that cannot be read (logged).
    bool LoadProperties();

    const CPropertyEntry* FindProperty(const char* key) const;
    // A copy of the value in a buffer owned by this object (valid until the
    // next call), or nullptr when the key is missing.
    const char* GetStringProperty(const char* key);
    int         GetIntProperty(const char* key) const;
    float       GetFloatProperty(const char* key) const;

    bool SetProperty(const char* key, const char* value);
    bool SetIntProperty(const char* key, int value);
    bool SetFloatProperty(const char* key, float value);
    // Appends the line key=value (append) or rewrites the whole file (not
    // append); every line written ends with a newline.
    bool SaveProperty(const char* key, const char* value, bool append);

    const std::string& GetFileName() const { return fileName; }

private:
    void AddEntry(const char* key, const char* value);
    bool ReadLines(FILE* file);
    bool RewriteFile(const char* key, const char* value);
    bool AppendToFile(const char* key, const char* value);

    // Newest first: loading pushes each line at the front, so the first entry
    // with a key is the one read (or set) last. A deque keeps entry addresses
    // stable while entries are added, so FindProperty's result stays valid.
    std::deque<CPropertyEntry> entries;
    std::string                fileName;
    std::string                valueBuffer;
};
