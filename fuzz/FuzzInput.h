#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Loaders read files by name, so each input is written to a file in the
// working directory (scripts/fuzz runs every target in a scratch folder, where
// the logs that loaders write land too). Returns the file's name.
inline std::string WriteFuzzInput(const uint8_t* data, size_t size, const char* name) {
    FILE* file = fopen(name, "wb");
    if (file == nullptr) {
        abort();
    }
    fwrite(data, 1, size, file);
    fclose(file);
    return name;
}

// Stops the run with a finding when a property of the loaded data fails.
inline void Require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}
