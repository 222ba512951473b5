#pragma once

#include "rules/Combat.h"

// Reads a level's "fight.xml" into the combat parameters. Each key present
// replaces its value; a value that is not finite, or a maxAttack or
// maxDefense not above 0, is refused (logged) and the previous value kept.
// False when the file cannot be opened.
bool LoadFightFile(const char* path, FightParams& fight);
