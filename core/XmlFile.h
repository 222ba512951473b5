#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "platform/AtomicFile.h"

// Reader and writer of the game's XML-looking data files. It is not a tree
// parser: it scans for the literal tags <name> and </name> and knows three
// depths, the top level, a first-level element and a second-level element.
// Every search runs from the current position to the end of the current
// element (or file) and then wraps once to the element's start, so values
// and list items may stand in any order.
//
// Usage of a reader: Open(path, 0); top-level Read*; EnterElement(list);
// for n = 0, 1, ...: EnterSubElement(n), Read*, LeaveSubElement; LeaveElement;
// Close. Writers mirror this with BeginWrite*/EndWrite*.
class CXmlFile {
public:
    enum Mode {
        modeReading           = 0,
        modeWriting           = 1,
        modeClosed            = 2,
        modeReadingElement    = 3,
        modeWritingElement    = 4,
        modeReadingSubElement = 5,
        modeWritingSubElement = 6,
    };

    // Tags are built in buffers of this size, "</" + name + ">" + terminator,
    // so a name has at most maxNameLength characters; longer names fail.
    static constexpr size_t tagBufferSize = 512;
    static constexpr size_t maxNameLength = tagBufferSize - 4;
    // Characters the number extractors take at most after white space.
    static constexpr int maxIntegerChars = 15;
    static constexpr int maxFloatChars   = 20;

    CXmlFile() = default;
    ~CXmlFile();
    CXmlFile(const CXmlFile&)            = delete;
    CXmlFile& operator=(const CXmlFile&) = delete;

    // request 0 opens for reading (through CFileGate: a text file inside the
    // data folder), 1 starts writing a new version of the file (the old one
    // stays until Close replaces it).
    bool Open(const char* path, int request);
    // After writing: true only when the document was ended and every write
    // reached the disk; the file is replaced then and only then.
    bool Close();

    bool FindOpenTag(const char* name);
    bool FindCloseTag(const char* name);

    bool EnterElement(const char* name);
    bool LeaveElement();
    bool EnterSubElement(const char* name);
    bool EnterSubElement(int number);
    bool LeaveSubElement();

    // Typed reads work at the top level and inside a second-level element.
    // A read that fails leaves the variable unchanged. A value that does not
    // start with a number finds its tag (true) but stores nothing.
    bool ReadInt(const char* name, int& value);
    bool ReadUInt(const char* name, unsigned& value);
    bool ReadFloat(const char* name, float& value);
    bool ReadBool(const char* name, bool& value);
    // After ReadInt, ReadUInt or ReadFloat found its tag: whether a number
    // stood behind it (and was stored), so a caller can name text that is none.
    bool LastValueWasNumber() const { return lastValueWasNumber; }
    // Copies at most size - 1 characters up to the next '<' and terminates.
    bool ReadString(const char* name, char* buffer, size_t size);

    bool WriteOpenTag(const char* name);
    bool WriteCloseTag(const char* name);
    bool BeginWriteElement(const char* name);
    bool EndWriteElement();
    bool BeginWriteSubElement(const char* name);
    bool BeginWriteSubElement(int number);
    bool EndWriteSubElement();

    bool WriteInt(const char* name, int value);
    bool WriteUInt(const char* name, unsigned value);
    bool WriteFloat(const char* name, float value);
    bool WriteString(const char* name, const char* value);
    bool WriteBool(const char* name, bool value);

    int GetMode() const { return mode; }

private:
    bool IsReading() const;
    bool IsWritingValues() const;
    bool Search(const std::string& tag);
    bool MatchesAt(size_t position, const std::string& text) const;
    bool ReadNumberToken(bool floating, std::string& token);
    bool WriteValue(const char* name, const char* text);
    bool WriteText(const char* text);
    bool Flush();

    int         mode = modeClosed;
    std::string input; // the whole file being read; positions are byte offsets
    size_t      position           = 0;
    FILE*       output             = nullptr; // outputFile's stream while writing
    bool        writeFailed        = false;   // a write since Open failed
    bool        lastValueWasNumber = false;
    CAtomicFile outputFile;

    size_t      scopeStart      = 0;
    size_t      outerScopeStart = 0;
    std::string scopeEndTag;
    std::string elementName;
    std::string subElementName;
};
