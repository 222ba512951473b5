#pragma once

#include "rules/Combat.h"

// Reads a level's combat parameter file: the seven keys of CFightParams as
// top-level elements, in any order. The file is shared with the level, so it
// is untrusted: a key that is missing, is not a finite number or lies outside
// its bounds is named in the error log with the value kept, and a file that
// cannot be read is named once with the rules kept as they are. The bounds
// keep every exchange finite and the divisors away from zero. False when the
// file cannot be read.
bool LoadFightFile(const char* path, CFightParams& fight);
