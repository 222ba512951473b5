#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Loaders read files by name: the input goes to a file in the working directory (a scratch folder per target).
inline std::string WriteFuzzInput(const uint8_t* data, size_t size, const char* name) {
    FILE* file = fopen(name, "wb");
    if (file == nullptr) {
        abort();
    }
    fwrite(data, 1, size, file);
    fclose(file);
    return name;
}

// A target's entry point: the body runs on each input, written to the file `name` (then in `path`) unless "".
#define FUZZ_TARGET(name)                                                                                              \
    static void    FuzzOne(const std::string& path, const uint8_t* data, size_t size);                                 \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {                                          \
        FuzzOne(*(name) != '\0' ? WriteFuzzInput(data, size, name) : std::string(), data, size);                       \
        return 0;                                                                                                      \
    }                                                                                                                  \
    static void FuzzOne([[maybe_unused]] const std::string& path, [[maybe_unused]] const uint8_t* data,                \
                        [[maybe_unused]] size_t size)

// Stops the run with a finding when a property of the loaded data fails.
inline void Require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}
