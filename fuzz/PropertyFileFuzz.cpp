#include "FuzzInput.h"
#include "core/PropertyFile.h"

// Every accessor, and both write paths (append of a new key, rewrite of an existing one).
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
