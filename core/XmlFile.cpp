#include "core/XmlFile.h"

#include <cctype>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/DataPath.h"
#include "platform/FileGate.h"
#include "core/Logger.h"

namespace {

bool IsNameUsable(const char* name) {
    return name != nullptr && strlen(name) <= CXmlFile::maxNameLength;
}

std::string OpenTag(const char* name) {
    return std::string("<") + name + ">";
}

std::string CloseTag(const char* name) {
    return std::string("</") + name + ">";
}

std::string NumberName(int number) {
    char name[16];
    snprintf(name, sizeof name, "%d", number);
    return name;
}

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Appends characters that satisfy `accept` while the token has room.
template <typename Predicate>
void TakeWhile(const std::string& text, size_t& at, std::string& token, size_t limit, Predicate accept) {
    while (at < text.size() && token.size() < limit && accept(text[at])) {
        token += text[at++];
    }
}

// The integer text at `at` as the stream extractor sees it: a sign, then a
// hexadecimal ("0x"), octal (leading "0") or decimal number, 15 characters
// at most. Reading stops at the first character that is not valid in the base.
std::string IntegerToken(const std::string& text, size_t at) {
    std::string  token;
    const size_t limit = CXmlFile::maxIntegerChars;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        token += text[at++];
    }
    if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
        token.size() + 2 < limit && IsHexDigit(at + 2 < text.size() ? text[at + 2] : '\0')) {
        token += text.substr(at, 2);
        at += 2;
        TakeWhile(text, at, token, limit, IsHexDigit);
    } else if (at < text.size() && text[at] == '0') {
        TakeWhile(text, at, token, limit, IsOctalDigit);
    } else {
        TakeWhile(text, at, token, limit, IsDecimalDigit);
    }
    return token;
}

// The float text at `at`: sign, digits, point, digits, exponent, 20 characters
// at most. Empty when no mantissa digit comes.
std::string FloatToken(const std::string& text, size_t at) {
    std::string  token;
    const size_t limit    = CXmlFile::maxFloatChars;
    size_t       mantissa = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        token += text[at++];
    }
    size_t before = token.size();
    TakeWhile(text, at, token, limit, IsDecimalDigit);
    mantissa += token.size() - before;
    if (at < text.size() && text[at] == '.' && token.size() < limit) {
        token += text[at++];
        before = token.size();
        TakeWhile(text, at, token, limit, IsDecimalDigit);
        mantissa += token.size() - before;
    }
    if (mantissa == 0) {
        return std::string();
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E') && token.size() < limit) {
        token += text[at++];
        if (at < text.size() && (text[at] == '+' || text[at] == '-') && token.size() < limit) {
            token += text[at++];
        }
        TakeWhile(text, at, token, limit, IsDecimalDigit);
    }
    return token;
}

} // namespace

CXmlFile::~CXmlFile() {
    Close();
}

bool CXmlFile::Open(const char* path, int request) {
    Close();
    if (path == nullptr || (request != modeReading && request != modeWriting)) {
        return false;
    }
    if (request == modeWriting) {
        // The old file stays until Close has written the new one completely;
        // the file gate's write rule refuses (and names) a path outside.
        if (!outputFile.Open(path)) {
            return false;
        }
        output = outputFile.GetStream();
        mode   = modeWriting;
        return true;
    }
    if (!CFileGate::ReadWholeFile(path, FileKind::text, input)) {
        return false;
    }
    mode = modeReading;
    return true;
}

// A write that failed anywhere, or the last buffered bytes failing to reach
// the file (a full disk often shows only then), makes the close fail, so a
// save is never reported done when it is not.
bool CXmlFile::Close() {
    bool written = true;
    if (output != nullptr) {
        // Only a document whose elements were all ended and whose every write
        // succeeded replaces the old file.
        written = mode == modeWriting && !writeFailed && outputFile.Commit();
        outputFile.Abandon();
        output = nullptr;
    }
    writeFailed = false;
    input.clear();
    input.shrink_to_fit();
    position        = 0;
    scopeStart      = 0;
    outerScopeStart = 0;
    scopeEndTag.clear();
    elementName.clear();
    subElementName.clear();
    mode = modeClosed;
    return written;
}

bool CXmlFile::IsReading() const {
    return mode == modeReading || mode == modeReadingElement || mode == modeReadingSubElement;
}

bool CXmlFile::IsWritingValues() const {
    return mode == modeWriting || mode == modeWritingSubElement;
}

bool CXmlFile::MatchesAt(size_t at, const std::string& text) const {
    return at <= input.size() && input.compare(at, text.size(), text) == 0;
}

// Scans for `tag` from the current position to the end of the current element
// (its closing tag, or the end of the file), then wraps once to the element's
// start and fails on passing the starting position again. Each step consumes
// at least one character, so the scan ends after at most two passes.
bool CXmlFile::Search(const std::string& tag) {
    if (!IsReading() || tag.empty()) {
        return false;
    }
    const size_t start   = position;
    bool         wrapped = false;
    const bool   scoped  = mode != modeReading && !scopeEndTag.empty();
    for (;;) {
        if (position >= input.size()) {
            if (wrapped) {
                return false;
            }
            position = scopeStart;
            wrapped  = true;
            continue;
        }
        const char c = input[position++];
        if (wrapped && position > start) {
            return false;
        }
        if (scoped && c == scopeEndTag[0] && MatchesAt(position - 1, scopeEndTag)) {
            if (wrapped) {
                return false;
            }
            position = scopeStart;
            wrapped  = true;
            continue;
        }
        if (c != tag[0]) {
            continue;
        }
        size_t matched = 1;
        while (matched < tag.size() && position < input.size() && input[position] == tag[matched]) {
            ++position;
            ++matched;
        }
        if (matched == tag.size()) {
            return true;
        }
        if (position < input.size()) {
            ++position; // the differing character is consumed, as the stream scan does
        }
    }
}

bool CXmlFile::FindOpenTag(const char* name) {
    return IsNameUsable(name) && Search(OpenTag(name));
}

bool CXmlFile::FindCloseTag(const char* name) {
    return IsNameUsable(name) && Search(CloseTag(name));
}

bool CXmlFile::EnterElement(const char* name) {
    if (mode != modeReading || !FindOpenTag(name)) {
        return false;
    }
    scopeStart  = position;
    elementName = name;
    scopeEndTag = CloseTag(name);
    mode        = modeReadingElement;
    return true;
}

bool CXmlFile::LeaveElement() {
    if (mode != modeReadingElement) {
        return false;
    }
    mode = modeReading;
    scopeEndTag.clear();
    if (!FindCloseTag(elementName.c_str())) {
        return false;
    }
    elementName.clear();
    scopeStart = 0;
    return true;
}

bool CXmlFile::EnterSubElement(const char* name) {
    if (mode != modeReadingElement || !FindOpenTag(name)) {
        return false;
    }
    outerScopeStart = scopeStart;
    scopeStart      = position;
    subElementName  = name;
    scopeEndTag     = CloseTag(name);
    mode            = modeReadingSubElement;
    return true;
}

bool CXmlFile::EnterSubElement(int number) {
    return EnterSubElement(NumberName(number).c_str());
}

bool CXmlFile::LeaveSubElement() {
    if (mode != modeReadingSubElement) {
        return false;
    }
    mode        = modeReadingElement;
    scopeEndTag = CloseTag(elementName.c_str());
    if (!FindCloseTag(subElementName.c_str())) {
        return false;
    }
    subElementName.clear();
    scopeStart = outerScopeStart;
    return true;
}

// Finds the value's tag and the number text behind it (after white space).
// An empty token means the value does not start with a number: the tag was
// found, nothing is consumed, and the caller stores nothing.
bool CXmlFile::ReadNumberToken(bool floating, std::string& token) {
    token.clear();
    lastValueWasNumber = false;
    while (position < input.size() && std::isspace(static_cast<unsigned char>(input[position]))) {
        ++position;
    }
    token = floating ? FloatToken(input, position) : IntegerToken(input, position);
    return !token.empty();
}

bool CXmlFile::ReadInt(const char* name, int& value) {
    if ((mode != modeReading && mode != modeReadingSubElement) || !FindOpenTag(name)) {
        return false;
    }
    std::string token;
    if (ReadNumberToken(false, token)) {
        char*           end    = nullptr;
        const long long parsed = strtoll(token.c_str(), &end, 0);
        if (end != token.c_str()) {
            position += static_cast<size_t>(end - token.c_str());
            lastValueWasNumber = true;
            value              = parsed > INT_MAX ? INT_MAX : parsed < INT_MIN ? INT_MIN : static_cast<int>(parsed);
        }
    }
    return true;
}

bool CXmlFile::ReadUInt(const char* name, unsigned& value) {
    if ((mode != modeReading && mode != modeReadingSubElement) || !FindOpenTag(name)) {
        return false;
    }
    std::string token;
    if (ReadNumberToken(false, token)) {
        const bool         negative  = token[0] == '-';
        const char*        digits    = token.c_str() + (token[0] == '-' || token[0] == '+' ? 1 : 0);
        char*              end       = nullptr;
        unsigned long long magnitude = strtoull(digits, &end, 0);
        if (end != digits) {
            position += static_cast<size_t>(end - token.c_str());
            lastValueWasNumber = true;
            magnitude          = magnitude > UINT_MAX ? UINT_MAX : magnitude;
            // A minus sign wraps as the unsigned extractor does ("-1" is the largest value).
            value = negative ? 0u - static_cast<unsigned>(magnitude) : static_cast<unsigned>(magnitude);
        }
    }
    return true;
}

bool CXmlFile::ReadFloat(const char* name, float& value) {
    if ((mode != modeReading && mode != modeReadingSubElement) || !FindOpenTag(name)) {
        return false;
    }
    std::string token;
    if (ReadNumberToken(true, token)) {
        char*        end    = nullptr;
        const double parsed = strtod(token.c_str(), &end);
        if (end != token.c_str()) {
            position += static_cast<size_t>(end - token.c_str());
            lastValueWasNumber = true;
            value              = parsed > FLT_MAX ? FLT_MAX : parsed < -FLT_MAX ? -FLT_MAX : static_cast<float>(parsed);
        }
    }
    return true;
}

bool CXmlFile::ReadBool(const char* name, bool& value) {
    int number = -1;
    if (!ReadInt(name, number) || (number != 0 && number != 1)) {
        return false;
    }
    value = number == 1;
    return true;
}

bool CXmlFile::ReadString(const char* name, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0 || (mode != modeReading && mode != modeReadingSubElement) ||
        !FindOpenTag(name)) {
        return false;
    }
    // Stops at the next '<' (consumed), when the buffer is full, or at the end
    // of a malformed file that has no '<' behind the value.
    size_t stored = 0;
    while (stored + 1 < size && position < input.size()) {
        const char c = input[position++];
        if (c == '<') {
            break;
        }
        buffer[stored++] = c;
    }
    buffer[stored] = '\0';
    return true;
}

bool CXmlFile::WriteText(const char* text) {
    if (fputs(text, output) < 0) {
        writeFailed = true;
        return false;
    }
    return true;
}

bool CXmlFile::Flush() {
    if (fflush(output) != 0) {
        writeFailed = true;
        return false;
    }
    return true;
}

bool CXmlFile::WriteOpenTag(const char* name) {
    if ((!IsWritingValues() && mode != modeWritingElement) || !IsNameUsable(name)) {
        return false;
    }
    return WriteText(OpenTag(name).c_str());
}

bool CXmlFile::WriteCloseTag(const char* name) {
    if ((!IsWritingValues() && mode != modeWritingElement) || !IsNameUsable(name)) {
        return false;
    }
    return WriteText((CloseTag(name) + "\n").c_str());
}

bool CXmlFile::BeginWriteElement(const char* name) {
    if (mode != modeWriting || !IsNameUsable(name)) {
        return false;
    }
    const bool written = WriteText((OpenTag(name) + "\n").c_str()) && Flush();
    elementName        = name;
    mode               = modeWritingElement;
    return written;
}

bool CXmlFile::EndWriteElement() {
    if (mode != modeWritingElement) {
        return false;
    }
    const bool written = WriteCloseTag(elementName.c_str());
    elementName.clear();
    mode = modeWriting;
    return written;
}

bool CXmlFile::BeginWriteSubElement(const char* name) {
    if (mode != modeWritingElement || !IsNameUsable(name)) {
        return false;
    }
    const bool written = WriteText((OpenTag(name) + "\n").c_str()) && Flush();
    subElementName     = name;
    mode               = modeWritingSubElement;
    return written;
}

bool CXmlFile::BeginWriteSubElement(int number) {
    return BeginWriteSubElement(NumberName(number).c_str());
}

bool CXmlFile::EndWriteSubElement() {
    if (mode != modeWritingSubElement) {
        return false;
    }
    const bool written = WriteCloseTag(subElementName.c_str());
    subElementName.clear();
    mode = modeWritingElement;
    return written;
}

bool CXmlFile::WriteValue(const char* name, const char* text) {
    if (!IsWritingValues() || !IsNameUsable(name) || text == nullptr) {
        return false;
    }
    return WriteOpenTag(name) && WriteText(text) && WriteCloseTag(name);
}

bool CXmlFile::WriteInt(const char* name, int value) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return WriteValue(name, text);
}

bool CXmlFile::WriteUInt(const char* name, unsigned value) {
    char text[16];
    snprintf(text, sizeof text, "%u", value);
    return WriteValue(name, text);
}

bool CXmlFile::WriteFloat(const char* name, float value) {
    // Six significant digits, fixed unless the exponent is below -4 or at least 6.
    char text[32];
    snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return WriteValue(name, text);
}

bool CXmlFile::WriteString(const char* name, const char* value) {
    return WriteValue(name, value);
}

bool CXmlFile::WriteBool(const char* name, bool value) {
    return WriteValue(name, value ? "1" : "0");
}
