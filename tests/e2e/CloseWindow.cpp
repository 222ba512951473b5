// Sends a window the close box's request (WM_DELETE_WINDOW), as a window manager would; Xvfb has none.
// Usage: ridgeline-close-window WINDOW_ID   (decimal or 0x hexadecimal)

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    char*               end    = nullptr;
    const unsigned long window = argc == 2 ? std::strtoul(argv[1], &end, 0) : 0;
    if (argc != 2 || window == 0 || end == argv[1] || *end != '\0') {
        std::fprintf(stderr, "usage: ridgeline-close-window WINDOW_ID\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "ridgeline-close-window: cannot open the display\n");
        return 1;
    }
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type         = ClientMessage;
    event.xclient.window       = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format       = 32;
    event.xclient.data.l[0]    = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1]    = CurrentTime;
    const Status sent          = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
