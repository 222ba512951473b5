#pragma once

#include <functional>
#include <utility>
#include <vector>

#include <cstddef>
#include <cstdint>
#include <string>

// A fresh temporary folder that is the working directory for the lifetime of the object, then removed (every
// test already runs in one; a test makes another for a second folder or for its path).
class CTempWorkDir {
public:
    CTempWorkDir();
    ~CTempWorkDir();
    CTempWorkDir(const CTempWorkDir&)            = delete;
    CTempWorkDir& operator=(const CTempWorkDir&) = delete;

    const std::string& Path() const { return path; }

private:
    std::string path;
    std::string previous;
};

// Whole-file helpers for tests (binary, no translation).
void        WriteFile(const std::string& name, const std::string& content);
std::string ReadFile(const std::string& name);
bool        FileExists(const std::string& name);
// Creates every folder of a slash-separated path below the working directory.
void MakeFolders(const std::string& path);

// Ends the test process with a message when the guarded code has not returned within `seconds`: a hang fails
// fast instead of at the suite's time limit.
class CWatchdog {
public:
    CWatchdog(unsigned seconds, const char* what);
    ~CWatchdog();
    CWatchdog(const CWatchdog&)            = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;
};

// Stores `value` in `count` little-endian bytes from `offset` on.
void PutLittleEndian(std::string& bytes, size_t offset, uint32_t value, int count);
// A 24-bit grey BMP of size x size: the value of each pixel (row 0 at the bottom), by default 4 per column.
std::string Bitmap(int size, const std::function<int(int column, int row)>& grey = nullptr);
// The samples of a size x size heightmap, row by row.
std::vector<int> Samples(int size, const std::function<int(int column, int row)>& sample);

// A complete unit file, every key in its documented order; `values` replaces the values of the keys it names,
// `leaveOut` drops one key, `extra` follows.
using CKeyValues = std::vector<std::pair<std::string, std::string>>;
std::string UnitFileText(const CKeyValues& values = {}, const std::string& leaveOut = "",
                         const std::string& extra = "");

// An entry of a team file: a unit file name, its tile and where it looks; `leaveOut` drops one key.
struct CTeamEntryText {
    std::string file;
    int         x, y, lookX, lookY;
};
std::string TeamEntry(int number, const CTeamEntryText& entry, const std::string& leaveOut = "");
// A team file around its entries.
std::string TeamFileText(const std::string& entries, const char* effect = "special.xml");

// A parameterised case's name from its label: letters and digits kept, the rest turned into '_'.
std::string CaseName(const std::string& label);

int CountLinesWith(const std::string& text, const std::string& part);
