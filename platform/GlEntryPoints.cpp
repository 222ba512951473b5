#include "platform/GlEntryPoints.h"

#include <GL/freeglut.h>

#include "platform/ErrorReport.h"

void* CGlEntryPoints::GetAddress(const char* name) {
    if (name == nullptr || *name == '\0') {
        return nullptr;
    }
    return reinterpret_cast<void*>(glutGetProcAddress(name));
}

void CGlEntryPoints::ReportMissing(const char* name) {
    ReportError("CGlEntryPoints::Get: no entry point for %s", name != nullptr ? name : "(null)");
}
