#include "render/ProgramFunctions.h"

#include "platform/GlEntryPoints.h"

bool CProgramFunctions::Load() {
    // Bitwise & so that every missing function is reported, not just the first.
    const bool all = CGlEntryPoints::Get("glGenProgramsARB", genPrograms) &
                     CGlEntryPoints::Get("glDeleteProgramsARB", deletePrograms) &
                     CGlEntryPoints::Get("glProgramStringARB", programString) &
                     CGlEntryPoints::Get("glBindProgramARB", bindProgram) &
                     CGlEntryPoints::Get("glProgramEnvParameter4fARB", programEnvParameter4f);
    if (!all) {
        *this = CProgramFunctions();
    }
    return all;
}
