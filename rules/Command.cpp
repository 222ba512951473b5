#include "rules/Command.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

struct CCommandSyntax {
    CCommand::Kind kind;
    const char*    word;
    int            numbers; // the unit, then the tile
};

const CCommandSyntax syntaxes[] = {
    {CCommand::move, "move", 3},     {CCommand::undo, "undo", 1},   {CCommand::fire, "fire", 3},
    {CCommand::finish, "finish", 1}, {CCommand::endTurn, "end", 0},
};

bool ParseInt(const std::string& word, int& value) {
    if (word.empty() || word.size() > 11) {
        return false;
    }
    char* end         = nullptr;
    errno             = 0;
    const long parsed = std::strtol(word.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT_MIN || parsed > INT_MAX) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

std::string CCommand::ToText() const {
    for (const CCommandSyntax& syntax : syntaxes) {
        if (syntax.kind != kind) {
            continue;
        }
        std::string text     = syntax.word;
        const int   values[] = {unit, x, y};
        for (int i = 0; i < syntax.numbers; ++i) {
            text += ' ' + std::to_string(values[i]);
        }
        return text;
    }
    return "?";
}

bool CCommand::FromText(const std::string& text, CCommand& command) {
    std::istringstream       stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word && words.size() < 5;) {
        words.push_back(word);
    }
    for (const CCommandSyntax& syntax : syntaxes) {
        if (words.empty() || words[0] != syntax.word || static_cast<int>(words.size()) != syntax.numbers + 1) {
            continue;
        }
        CCommand parsed;
        parsed.kind   = syntax.kind;
        int* values[] = {&parsed.unit, &parsed.x, &parsed.y};
        for (int i = 0; i < syntax.numbers; ++i) {
            if (!ParseInt(words[static_cast<size_t>(i) + 1], *values[i])) {
                return false;
            }
        }
        command = parsed;
        return true;
    }
    return false;
}
