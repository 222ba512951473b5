#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"

// Writes particles/<name>: every key at a plain default (4 still white particles of size 10 living 1 s, SMOKE),
// changed by a list such as "count=1 lifeFrom=2"; "key=" with no value leaves the key out.
inline void WriteEffect(const std::string& name, const std::string& changes = "") {
    std::vector<std::pair<std::string, std::string>> keys = {
        {"count", "4"},    {"velXfrom", "0"},   {"velXto", "0"},    {"velYfrom", "0"},        {"velYto", "0"},
        {"velZfrom", "0"}, {"velZto", "0"},     {"startFrom", "0"}, {"startTo", "0"},         {"lifeFrom", "1"},
        {"lifeTo", "1"},   {"startAgain", "0"}, {"size", "10"},     {"angle", "0"},           {"colorA", "255"},
        {"colorR", "255"}, {"colorG", "255"},   {"colorB", "255"},  {"texture", "white.tga"}, {"type", "SMOKE"}};
    std::istringstream list(changes);
    for (std::string change; list >> change;) {
        const size_t equals = change.find('=');
        for (auto& key : keys) {
            if (key.first == change.substr(0, equals)) {
                key.second = change.substr(equals + 1);
            }
        }
    }
    std::string text;
    for (const auto& key : keys) {
        if (!key.second.empty()) {
            text += "<" + key.first + ">" + key.second + "</" + key.first + ">\n";
        }
    }
    MakeFolders("particles");
    WriteFile("particles/" + name, text);
}
