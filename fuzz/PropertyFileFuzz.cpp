#include "FuzzInput.h"
#include "core/PropertyFile.h"

// Loads a property file, reads it through every accessor, and exercises both
// write paths (append of a new key, rewrite of an existing one).
FUZZ_TARGET("input.ini") {
    CPropertyFile file(path.c_str());
    file.GetIntProperty("fullscreen");
    file.GetFloatProperty("heightscale");
    file.GetStringProperty("lastresolution");
    file.SetProperty("fuzzkey", "1");
    file.SetIntProperty("fuzzkey", 2);
    CPropertyFile reread(path.c_str());
    reread.GetIntProperty("fuzzkey");
}
