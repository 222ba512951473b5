#include "app/Application.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

CApplication* GetApp() {
    static CApplication* application = new CApplication();
    return application;
}

CApplication::CApplication() {}

float CApplication::GetFrameTime() const {
    return firstFrame || frameTimer.fps <= 0.0f ? 0.0f : 1.0f / frameTimer.fps;
}

void CApplication::AddDebugLine(const char* format, ...) {
    if (!options.debugInfo && !options.editorMode) {
        return;
    }
    char    line[debugLineSize];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    debugLines.emplace_back(line);
}

bool CApplication::IsWordInList(const char* list, const char* name) {
    if (list == nullptr || name == nullptr || *name == '\0') {
        return false;
    }
    const size_t length = strlen(name);
    for (const char* word = list; *word != '\0';) {
        const char*  end        = strchr(word, ' ');
        const size_t wordLength = end != nullptr ? static_cast<size_t>(end - word) : strlen(word);
        if (wordLength == length && strncmp(word, name, length) == 0) {
            return true;
        }
        if (end == nullptr) {
            break;
        }
        word = end + 1;
    }
    return false;
}

bool CApplication::IsExtensionSupported(const char* name) {
    return IsWordInList(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}
