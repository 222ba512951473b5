#pragma once

#include <string>
#include <vector>

// One message as a box showed it (or, while recording, would have shown it).
struct CMessageBoxRecord {
    std::string caption;
    std::string text;
};

// The model loader's "Error" and "Warning" boxes. Each message always goes to
// the error log and to standard error as "caption: text"; when the program
// has a display open (the start-up dialog opened it) a modal box with the
// caption as its title, the text and an OK button is shown as well. OK,
// Return, Escape and the close box close it; the call returns once it is
// closed and gone from the screen.
//
// Tests switch on recording: messages are then collected and logged, but
// nothing is shown or printed, so a loader's complaints can be checked
// without a display.
class CMessageBox {
public:
    static void Show(const char* caption, const char* format, ...) __attribute__((format(printf, 2, 3)));

    static void StartRecording();
    // Ends recording and forgets what was recorded.
    static void                                  StopRecording();
    static const std::vector<CMessageBoxRecord>& GetRecorded();

    // Longer texts are cut to this many characters.
    static constexpr size_t maxTextLength = 1023;
    // A box of held messages lists at most this many; the log has them all.
    static constexpr size_t maxListedMessages = 20;

private:
    friend class CMessageBoxBatch;
    static void Present(const CMessageBoxRecord& message);
    static void ShowHeld();
};

// While a batch object lives, messages go to the log at once but their boxes
// are held; when the outermost batch ends, one box shows them all (a single
// message as it would have been shown alone). A damaged level pack then asks
// for one answer, not one per broken file.
class CMessageBoxBatch {
public:
    CMessageBoxBatch();
    ~CMessageBoxBatch();
    CMessageBoxBatch(const CMessageBoxBatch&)            = delete;
    CMessageBoxBatch& operator=(const CMessageBoxBatch&) = delete;
};
