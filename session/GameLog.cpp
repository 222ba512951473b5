#include "session/GameLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

constexpr char   checksumMark[]  = " #";
constexpr size_t checksumDigits  = 8;
constexpr size_t checksumLength  = sizeof checksumMark - 1 + checksumDigits;
constexpr size_t maxSeatLength   = 64;
constexpr size_t maxLevelLength  = 64;
constexpr int    headerLineCount = 7;

uint32_t LineChecksum(const char* text, size_t length) {
    uint32_t hash = 0x811C9DC5U;
    for (size_t i = 0; i < length; ++i) {
        hash ^= static_cast<unsigned char>(text[i]);
        hash *= 0x01000193U;
    }
    return hash;
}

bool ParseHex(const std::string& word, size_t digits, uint64_t& value) {
    if (word.size() != digits) {
        return false;
    }
    value = 0;
    for (const char c : word) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<uint64_t>(digit);
    }
    return true;
}

// A decimal number without sign or leading zeros that fits `limit`.
bool ParseNumber(const std::string& word, uint64_t limit, uint64_t& value) {
    if (word.empty() || word.size() > 20 || (word.size() > 1 && word[0] == '0')) {
        return false;
    }
    value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (limit - digit) / 10) {
            return false;
        }
        value = value * 10 + digit;
    }
    return true;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    size_t                   start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(' ', start);
        words.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return words;
}

bool IsPrintableText(const std::string& text, size_t maxLength) {
    if (text.empty() || text.size() > maxLength) {
        return false;
    }
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

std::string Hex16(uint64_t value) {
    char text[17];
    snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

// Cuts the bytes into lines: each line's text (checksum checked and
// removed) and whether it was whole. A line is whole when it ends in a line
// end, is not too long and its checksum holds.
class CLineReader {
public:
    explicit CLineReader(const std::string& bytesValue) : bytes(bytesValue) {}

    bool   AtEnd() const { return position >= bytes.size(); }
    size_t GetPosition() const { return position; }
    // The next line's text; false when the line is damaged (the position
    // then stays at its start).
    bool Next(std::string& text) {
        const size_t end = bytes.find('\n', position);
        if (end == std::string::npos || end - position > CGameLog::maxLineLength || end - position < checksumLength) {
            return false;
        }
        const size_t textLength = end - position - checksumLength;
        const char*  line       = bytes.data() + position;
        uint64_t     checksum   = 0;
        if (memcmp(line + textLength, checksumMark, sizeof checksumMark - 1) != 0 ||
            !ParseHex(std::string(line + textLength + 2, checksumDigits), checksumDigits, checksum) ||
            checksum != LineChecksum(line, textLength)) {
            return false;
        }
        text.assign(line, textLength);
        position = end + 1;
        return true;
    }
    // Lines from the position to the end, a last one without a line end included.
    int CountRemainingLines() const {
        int count = 0;
        for (size_t at = position; at < bytes.size(); ++count) {
            const size_t end = bytes.find('\n', at);
            at               = end == std::string::npos ? bytes.size() : end + 1;
        }
        return count;
    }
    bool RemainderHasNoLineEnd() const { return bytes.find('\n', position) == std::string::npos; }
    void Seek(size_t at) { position = at; }

private:
    const std::string& bytes;
    size_t             position = 0;
};

bool ParseHeaderLine(int index, const std::string& text, CGameLogHeader& header, std::string& error) {
    const std::vector<std::string> words = SplitWords(text);
    uint64_t                       a = 0, b = 0;
    switch (index) {
    case 0:
        if (words.size() != 2 || words[0] != "ridgeline-log" || !ParseNumber(words[1], 1000000, a)) {
            error = "it is not a game log";
            return false;
        }
        header.formatVersion = static_cast<int>(a);
        if (header.formatVersion != CGameLog::formatVersion) {
            error = "it is a log of format " + words[1] + "; this program reads format " +
                    std::to_string(CGameLog::formatVersion);
            return false;
        }
        return true;
    case 1:
        if (words.size() != 4 || words[0] != "rules" || !ParseNumber(words[1], 1000000, a) ||
            words[2] != "fingerprint" || !ParseHex(words[3], 16, b)) {
            break;
        }
        header.rulesVersion     = static_cast<int>(a);
        header.rulesFingerprint = b;
        return true;
    case 2:
        if (words.size() != 4 || words[0] != "level" || !CGameLog::IsValidLevelName(words[1]) || words[2] != "files" ||
            !ParseHex(words[3], 16, b)) {
            break;
        }
        header.levelName      = words[1];
        header.levelFilesHash = b;
        return true;
    case 3:
        if (words.size() != 4 || words[0] != "seed" || !ParseNumber(words[1], UINT64_MAX, a) || words[2] != "first" ||
            (words[3] != "1" && words[3] != "2")) {
            break;
        }
        header.seed      = a;
        header.firstTeam = words[3][0] - '0';
        return true;
    case 4:
    case 5: {
        const std::string key = index == 4 ? "team1 " : "team2 ";
        if (text.compare(0, key.size(), key) != 0 || !IsPrintableText(text.substr(key.size()), maxSeatLength)) {
            break;
        }
        header.seats[index - 4] = text.substr(key.size());
        return true;
    }
    case 6:
        if (words.size() != 2 || words[0] != "start" || !IsPrintableText(words[1], 32)) {
            break;
        }
        header.startTime = words[1];
        return true;
    }
    error = "line " + std::to_string(index + 1) + " of its header is damaged";
    return false;
}

bool ParseEntry(const std::string& text, int sequence, CLogEntry& entry) {
    const size_t first  = text.find(' ');
    const size_t last   = text.rfind(' ');
    uint64_t     number = 0;
    return first != std::string::npos && last > first && ParseNumber(text.substr(0, first), INT32_MAX, number) &&
           static_cast<int>(number) == sequence && ParseHex(text.substr(last + 1), 16, entry.stateHash) &&
           CCommand::FromText(text.substr(first + 1, last - first - 1), entry.command) &&
           entry.command.ToText() == text.substr(first + 1, last - first - 1);
}

} // namespace

std::string CGameLog::FormatLine(const std::string& text) {
    char checksum[16];
    snprintf(checksum, sizeof checksum, "%s%08" PRIx32 "\n", checksumMark, LineChecksum(text.data(), text.size()));
    return text + checksum;
}

std::string CGameLog::FormatHeader(const CGameLogHeader& header) {
    return FormatLine("ridgeline-log " + std::to_string(header.formatVersion)) +
           FormatLine("rules " + std::to_string(header.rulesVersion) + " fingerprint " +
                      Hex16(header.rulesFingerprint)) +
           FormatLine("level " + header.levelName + " files " + Hex16(header.levelFilesHash)) +
           FormatLine("seed " + std::to_string(header.seed) + " first " + std::to_string(header.firstTeam)) +
           FormatLine("team1 " + header.seats[0]) + FormatLine("team2 " + header.seats[1]) +
           FormatLine("start " + header.startTime);
}

std::string CGameLog::FormatEntry(int sequence, const CLogEntry& entry) {
    return FormatLine(std::to_string(sequence) + " " + entry.command.ToText() + " " + Hex16(entry.stateHash));
}

bool CGameLog::Parse(const std::string& bytes, CLoadedLog& log, std::string& error) {
    log = CLoadedLog();
    if (bytes.empty()) {
        error = "the file is empty";
        return false;
    }
    CLineReader reader(bytes);
    std::string text;
    for (int index = 0; index < headerLineCount; ++index) {
        if (!reader.Next(text)) {
            error = reader.AtEnd() ? "its header ends after line " + std::to_string(index)
                                   : "line " + std::to_string(index + 1) + " of its header is damaged";
            if (index == 0) {
                error = "it is not a game log";
            }
            return false;
        }
        if (!ParseHeaderLine(index, text, log.header, error)) {
            return false;
        }
    }
    log.validBytes = reader.GetPosition();
    CLogEntry entry;
    while (!reader.AtEnd()) {
        const size_t lineStart = reader.GetPosition();
        if (!reader.Next(text) || !ParseEntry(text, static_cast<int>(log.entries.size()) + 1, entry)) {
            reader.Seek(lineStart);
            break;
        }
        log.entries.push_back(entry);
        log.validBytes = reader.GetPosition();
    }
    log.droppedLines = reader.CountRemainingLines();
    log.cutShort     = log.droppedLines == 1 && reader.RemainderHasNoLineEnd();
    return true;
}

bool CGameLog::Load(const std::string& path, CLoadedLog& log, std::string& error) {
    log = CLoadedLog();
    // No wait on a FIFO; only a regular file within the bound is read.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        error = std::string("it cannot be opened: ") + strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        error = "it is not a regular file";
        return false;
    }
    if (info.st_size > maxFileBytes) {
        close(descriptor);
        error = "it is larger than " + std::to_string(maxFileBytes >> 20) + " MiB";
        return false;
    }
    std::string bytes;
    char        chunk[65536];
    ssize_t     count = 0;
    while ((count = read(descriptor, chunk, sizeof chunk)) > 0 &&
           static_cast<int64_t>(bytes.size()) + count <= maxFileBytes) {
        bytes.append(chunk, static_cast<size_t>(count));
    }
    close(descriptor);
    if (count != 0) {
        error = count < 0 ? std::string("it cannot be read: ") + strerror(errno) : "it grew past its size bound";
        return false;
    }
    return Parse(bytes, log, error);
}

bool CGameLog::IsValidLevelName(const std::string& name) {
    if (name.empty() || name.size() > maxLevelLength || name[0] == '.') {
        return false;
    }
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                             c == '-' || c == '.';
        if (!allowed) {
            return false;
        }
    }
    return true;
}
