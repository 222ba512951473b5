// Sanitized builds check for lost memory when the process exits. The window
// library closes the X display in an exit handler it registers in glutInit,
// and closing the display unloads the GL driver: whatever the driver still
// held from its own globals would then be reported as lost, under the name
// of whatever library now lies at its old addresses, and no suppression
// could name it. Sanitized builds therefore link every program with
// --wrap=glutInit (see CMakeLists.txt), so that glutInit comes here first
// and registers the leak check after the window library's handler. Exit
// handlers run in the reverse order of their registration: the check runs
// while every library is still loaded, and the checker's own check at the
// very end of the process then does nothing.
#ifdef RIDGELINE_LEAK_CHECK_BEFORE_EXIT_HANDLERS

#include <sanitizer/lsan_interface.h>

#include <cstdlib>

extern "C" void __real_glutInit(int* argumentCount, char** arguments);

namespace {

void CheckLeaks() {
    __lsan_do_leak_check();
}

} // namespace

extern "C" void __wrap_glutInit(int* argumentCount, char** arguments) {
    __real_glutInit(argumentCount, arguments);
    static const bool registered = std::atexit(CheckLeaks) == 0;
    (void)registered;
}

#endif
