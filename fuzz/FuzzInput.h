#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Loaders read files by name, so each input is written to a file in the
// working directory (scripts/fuzz runs every target in a scratch folder, where
// the logs that loaders write land too). Returns the file's name.
std::string WriteFuzzInput(const uint8_t* data, size_t size, const char* name);
