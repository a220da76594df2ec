// Asks a window to close the way a window manager's close button does, with a WM_DELETE_WINDOW message
// (xdotool's windowclose destroys the window instead). Usage: wm_close WINDOW-ID, on the display of DISPLAY.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    char* end = nullptr;
    const unsigned long window = argc == 2 ? std::strtoul(argv[1], &end, 0) : 0;
    if (window == 0 || *end != '\0') {
        std::fprintf(stderr, "usage: wm_close WINDOW-ID\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wm_close: cannot open the display\n");
        return 1;
    }
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &ev);
    // An unknown window ends the helper through Xlib's error handler here, with status 1.
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
