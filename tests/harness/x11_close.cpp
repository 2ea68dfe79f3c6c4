// x11-close WINDOW: asks an X11 window to close as a window manager's close box does, by
// sending it WM_PROTOCOLS / WM_DELETE_WINDOW. Exits 1 when the window does not take
// that protocol or cannot be reached.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: x11-close WINDOW-ID\n");
        return 2;
    }
    char* end = nullptr;
    const Window window = strtoul(argv[1], &end, 0);
    if (!end || *end || window == 0) {
        fprintf(stderr, "x11-close: '%s' is no window id\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "x11-close: cannot open the display\n");
        return 1;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom* offered = nullptr;
    int count = 0;
    bool takesDelete = false;
    if (XGetWMProtocols(display, window, &offered, &count)) {
        for (int i = 0; i < count; ++i) takesDelete |= offered[i] == deleteWindow;
        XFree(offered);
    }
    if (!takesDelete) {
        fprintf(stderr, "x11-close: window 0x%lx does not take WM_DELETE_WINDOW\n", window);
        XCloseDisplay(display);
        return 1;
    }
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}
