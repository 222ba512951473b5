#include "core/PropertyFile.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Logger.h"
#include "platform/FileGate.h"

namespace {

std::string LowerCase(const char* text) {
    std::string lower(text != nullptr ? text : "");
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

// Reads one line of at most maxLineLength characters. Returns false at end
// of file. A longer line is consumed to its end and flagged as overlong,
// because its cut-off tail must not come back as a line of its own.
bool ReadLine(FILE* file, std::string& line, bool& overlong) {
    char buffer[CPropertyFile::maxLineLength + 2];
    line.clear();
    overlong = false;
    if (fgets(buffer, sizeof buffer, file) == nullptr) {
        return false;
    }
    line = buffer;
    if (line.size() > static_cast<size_t>(CPropertyFile::maxLineLength) && line.back() != '\n') {
        overlong = true;
        int c;
        while ((c = fgetc(file)) != EOF && c != '\n') {
        }
    }
    return true;
}

// Splits "key=value[=ignored]\n": the key is the text before the first '=',
// the value the text up to the next '=' or the line end. Nothing is trimmed;
// a carriage return before the newline belongs to the line end.
bool SplitLine(const std::string& line, std::string& key, std::string& value) {
    std::string text = line;
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    const size_t separator = text.find('=');
    if (separator == std::string::npos) {
        return false;
    }
    key                 = text.substr(0, separator);
    const size_t valEnd = text.find('=', separator + 1);
    value = text.substr(separator + 1, valEnd == std::string::npos ? std::string::npos : valEnd - separator - 1);
    return !key.empty() && !value.empty();
}

} // namespace

CPropertyFile::CPropertyFile(const char* name) : fileName(name != nullptr ? name : "") {
    LoadProperties();
}

// A missing file is not created (a level folder is no place for files the
// game invents) and not logged: whether it matters is the caller's to say.
// The settings file comes into being with its first saved property.
bool CPropertyFile::LoadProperties() {
    bool  missing = false;
    FILE* file    = CFileGate::OpenForReading(fileName.c_str(), FileKind::text, &missing);
    if (file == nullptr) {
        if (!missing) {
            GetLogger()->LogError("CPropertyFile::LoadProperties: Couldn't load file %s", fileName.c_str());
        }
        return false;
    }
    const bool result = ReadLines(file);
    fclose(file);
    return result;
}

bool CPropertyFile::ReadLines(FILE* file) {
    std::string line;
    bool        overlong = false;
    for (;;) {
        const bool gotLine = ReadLine(file, line, overlong);
        if (ferror(file)) {
            GetLogger()->LogError("CPropertyFile::LoadProperties: Couldn't read from file %s", fileName.c_str());
            return false;
        }
        if (!gotLine) {
            return true;
        }
        std::string key;
        std::string value;
        if (overlong || !SplitLine(line, key, value)) {
            GetLogger()->LogError("CPropertyFile::LoadProperties: Invalid property line in file %s", fileName.c_str());
            continue;
        }
        AddEntry(key.c_str(), value.c_str());
    }
}

void CPropertyFile::AddEntry(const char* key, const char* value) {
    entries.push_front(CPropertyEntry{LowerCase(key), value != nullptr ? value : ""});
}

const CPropertyEntry* CPropertyFile::FindProperty(const char* key) const {
    const std::string lowerKey = LowerCase(key);
    for (const CPropertyEntry& entry : entries) {
        if (entry.key == lowerKey) {
            return &entry;
        }
    }
    return nullptr;
}

const char* CPropertyFile::GetStringProperty(const char* key) {
    const CPropertyEntry* entry = FindProperty(key);
    if (entry == nullptr) {
        return nullptr;
    }
    valueBuffer = entry->value;
    return valueBuffer.c_str();
}

int CPropertyFile::GetIntProperty(const char* key) const {
    const CPropertyEntry* entry = FindProperty(key);
    return entry != nullptr ? static_cast<int>(strtol(entry->value.c_str(), nullptr, 10)) : 0;
}

float CPropertyFile::GetFloatProperty(const char* key) const {
    const CPropertyEntry* entry = FindProperty(key);
    return entry != nullptr ? static_cast<float>(strtod(entry->value.c_str(), nullptr)) : 0.0f;
}

bool CPropertyFile::SetProperty(const char* key, const char* value) {
    if (key == nullptr || value == nullptr) {
        return false;
    }
    const CPropertyEntry* found = FindProperty(key);
    if (found != nullptr) {
        const_cast<CPropertyEntry*>(found)->value = value;
        return SaveProperty(key, value, false);
    }
    AddEntry(key, value);
    return SaveProperty(key, value, true);
}

bool CPropertyFile::SetIntProperty(const char* key, int value) {
    char text[32];
    snprintf(text, sizeof text, "%d", value);
    return SetProperty(key, text);
}

bool CPropertyFile::SetFloatProperty(const char* key, float value) {
    char text[64];
    snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return SetProperty(key, text);
}

bool CPropertyFile::SaveProperty(const char* key, const char* value, bool append) {
    if (key == nullptr || value == nullptr) {
        return false;
    }
    return append ? AppendToFile(key, value) : RewriteFile(key, value);
}

// Every line written ends with a newline, so the next append starts a line
// of its own without leaving an empty one. A file whose last line has no
// newline (written by hand or by an earlier version) gets one first.
bool CPropertyFile::AppendToFile(const char* key, const char* value) {
    FILE* file = CFileGate::OpenForWriting(fileName.c_str(), "a+");
    if (file == nullptr) {
        GetLogger()->LogError("CPropertyFile::SaveProperty: Couldn't open file %s", fileName.c_str());
        return false;
    }
    bool lineOpen = false;
    if (fseek(file, 0, SEEK_END) == 0 && ftell(file) > 0 && fseek(file, -1, SEEK_END) == 0) {
        lineOpen = fgetc(file) != '\n';
    }
    fseek(file, 0, SEEK_END); // a write after a read needs a positioning call
    // A full disk shows only when the buffered line is flushed.
    bool written =
        fprintf(file, "%s%s=%s\n", lineOpen ? "\n" : "", LowerCase(key).c_str(), value) >= 0 && fflush(file) == 0;
    written = fclose(file) == 0 && written;
    if (!written) {
        GetLogger()->LogError("CPropertyFile::SaveProperty: Couldn't append to file %s", fileName.c_str());
    }
    return written;
}

bool CPropertyFile::RewriteFile(const char* key, const char* value) {
    FILE* file = CFileGate::OpenForWriting(fileName.c_str(), "w");
    if (file == nullptr) {
        GetLogger()->LogError("CPropertyFile::SaveProperty: Couldn't open file %s", fileName.c_str());
        return false;
    }
    // Oldest first, so the file keeps its order and a duplicate key's later
    // line stays later.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (fprintf(file, "%s=%s\n", entry->key.c_str(), entry->value.c_str()) < 0) {
            GetLogger()->LogError("CPropertyFile::SaveProperty: Couldn't append to file %s", fileName.c_str());
        }
    }
    if (FindProperty(key) == nullptr) {
        fprintf(file, "%s=%s\n", LowerCase(key).c_str(), value);
    }
    // Lines that did not reach the disk must not be reported as saved.
    bool flushed = fflush(file) == 0;
    flushed      = fclose(file) == 0 && flushed;
    if (!flushed) {
        GetLogger()->LogError("CPropertyFile::SaveProperty: Couldn't append to file %s", fileName.c_str());
    }
    return flushed;
}
