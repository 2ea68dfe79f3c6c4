// x11-saver [SECONDS]: prints the X server's screen-saver state, "on" while the saver
// runs and "off" (or "disabled") otherwise, from the MIT-SCREEN-SAVER extension. With
// SECONDS, first sets the saver to start after that long without input, and resets it.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "x11-saver: cannot open the display\n");
        return 1;
    }
    int event = 0, error = 0;
    if (!XScreenSaverQueryExtension(display, &event, &error)) {
        fprintf(stderr, "x11-saver: no MIT-SCREEN-SAVER extension\n");
        return 1;
    }
    if (argc > 1) {
        XSetScreenSaver(display, atoi(argv[1]), 0, PreferBlanking, AllowExposures);
        XForceScreenSaver(display, ScreenSaverReset);
        XSync(display, False);
    }
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    XScreenSaverQueryInfo(display, DefaultRootWindow(display), info);
    puts(info->state == ScreenSaverOn ? "on" : info->state == ScreenSaverOff ? "off" : "disabled");
    XFree(info);
    XCloseDisplay(display);
    return 0;
}
