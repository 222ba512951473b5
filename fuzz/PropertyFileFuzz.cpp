#include <cstdint>

#include "FuzzInput.h"
#include "core/PropertyFile.h"

// Loads a property file, reads it through every accessor, and exercises both
// write paths (append of a new key, rewrite of an existing one).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzInput(data, size, "input.ini");
    CPropertyFile     file(path.c_str());
    file.GetIntProperty("fullscreen");
    file.GetFloatProperty("heightscale");
    file.GetStringProperty("lastresolution");
    file.SetProperty("fuzzkey", "1");
    file.SetIntProperty("fuzzkey", 2);
    CPropertyFile reread(path.c_str());
    reread.GetIntProperty("fuzzkey");
    return 0;
}
