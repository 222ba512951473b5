#include "platform/MessageBox.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/ErrorReport.h"

namespace {

// Box layout in pixels.
constexpr int textSize     = 14;
constexpr int margin       = 12;
constexpr int maxTextWidth = 480; // longer texts wrap
constexpr int buttonWidth  = 80;
constexpr int buttonHeight = 26;

bool                           recording = false;
std::vector<CMessageBoxRecord> recorded;
int                            batchDepth = 0;
std::vector<CMessageBoxRecord> held; // while a batch is open

// '@' starts a symbol in an FLTK label; doubled it stands for itself.
std::string PlainLabel(const char* text) {
    std::string label;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '@') {
            label += '@';
        }
        label += *c;
    }
    return label;
}

// OK (its own window), and Escape or the close box (the window itself).
void HideBox(Fl_Widget* widget, void*) {
    Fl_Window* window = widget->window() != nullptr ? widget->window() : static_cast<Fl_Window*>(widget);
    window->hide();
}

// A modal box with the caption as its title, the text and one OK button,
// which Return presses. The box runs FLTK's event loop itself until it is
// closed, and hands the display back only once the window is gone from the
// screen: the caller (the window library's main loop) takes over events and
// drawing again afterwards.
void ShowBox(const char* caption, const char* text) {
    if (fl_display == nullptr) {
        return;
    }
    const std::string label = PlainLabel(text);
    fl_font(FL_HELVETICA, textSize);
    int textWidth  = maxTextWidth;
    int textHeight = 0;
    fl_measure(label.c_str(), textWidth, textHeight);
    // A little room beyond the measured width, so the label does not wrap again.
    textWidth += textSize / 2;
    const int width  = std::max(textWidth, buttonWidth) + 2 * margin;
    const int height = textHeight + buttonHeight + 3 * margin;

    Fl_Window window((Fl::w() - width) / 2, (Fl::h() - height) / 2, width, height, caption);
    Fl_Box*   message = new Fl_Box(margin, margin, width - 2 * margin, textHeight);
    message->copy_label(label.c_str());
    message->labelsize(textSize);
    message->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    Fl_Return_Button* ok = new Fl_Return_Button(width - margin - buttonWidth, height - margin - buttonHeight,
                                                buttonWidth, buttonHeight, "OK");
    ok->callback(HideBox);
    window.end();
    window.callback(HideBox);
    window.set_modal();
    window.show();
    while (window.shown()) {
        Fl::wait();
    }
    Fl::flush();
    XSync(fl_display, False);
}

} // namespace

void CMessageBox::Show(const char* caption, const char* format, ...) {
    char    text[maxTextLength + 1];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format != nullptr ? format : "", arguments);
    va_end(arguments);
    const char* title = caption != nullptr ? caption : "";
    ReportError("%s: %s", title, text);
    if (batchDepth > 0) {
        held.push_back({title, text});
        return;
    }
    Present({title, text});
}

void CMessageBox::Present(const CMessageBoxRecord& message) {
    if (recording) {
        recorded.push_back(message);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", message.caption.c_str(), message.text.c_str());
    ShowBox(message.caption.c_str(), message.text.c_str());
}

// One message stands as it is; several are listed, each as "caption: text",
// under the gravest caption.
void CMessageBox::ShowHeld() {
    std::vector<CMessageBoxRecord> messages;
    messages.swap(held);
    if (messages.size() <= 1) {
        for (const CMessageBoxRecord& message : messages) {
            Present(message);
        }
        return;
    }
    CMessageBoxRecord combined{messages[0].caption,
                               std::to_string(messages.size()) + " problems with the game's files:"};
    for (size_t i = 0; i < messages.size(); ++i) {
        if (messages[i].caption == "Error") {
            combined.caption = "Error";
        }
        if (i < maxListedMessages) {
            combined.text += "\n" + messages[i].caption + ": " + messages[i].text;
        }
    }
    if (messages.size() > maxListedMessages) {
        combined.text +=
            "\n... and " + std::to_string(messages.size() - maxListedMessages) + " more (see " + "the error log)";
    }
    Present(combined);
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

CMessageBoxBatch::CMessageBoxBatch() {
    ++batchDepth;
}

CMessageBoxBatch::~CMessageBoxBatch() {
    if (--batchDepth == 0) {
        CMessageBox::ShowHeld();
    }
}
