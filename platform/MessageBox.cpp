#include "platform/MessageBox.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <cstdarg>
#include <cstdio>

namespace {

bool                           recording = false;
std::vector<CMessageBoxRecord> recorded;

void ShowAlert(const char* caption, const char* text) {
    if (fl_display == nullptr) {
        return;
    }
    fl_message_title(caption);
    fl_alert("%s", text);
}

} // namespace

void CMessageBox::Show(const char* caption, const char* format, ...) {
    char    text[maxTextLength + 1];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format != nullptr ? format : "", arguments);
    va_end(arguments);
    const char* title = caption != nullptr ? caption : "";
    if (recording) {
        recorded.push_back({title, text});
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title, text);
    ShowAlert(title, text);
}

void CMessageBox::StartRecording() {
    recording = true;
    recorded.clear();
}

void CMessageBox::StopRecording() {
    recording = false;
    recorded.clear();
}

const std::vector<CMessageBoxRecord>& CMessageBox::GetRecorded() {
    return recorded;
}
