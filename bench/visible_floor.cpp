// The floor for the desktop window's start: a bare Xlib program that maps a window of the given
// size, with the dialog's caption as its name, and draws nothing; it runs until it is ended.
//
//   visible_floor WIDTH HEIGHT
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    int width = argc == 3 ? std::atoi(argv[1]) : 0;
    int height = argc == 3 ? std::atoi(argv[2]) : 0;
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: visible_floor WIDTH HEIGHT\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "visible_floor: no X display\n");
        return 2;
    }
    int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(
        display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, "AI Control Panel");
    XMapWindow(display, window);
    XFlush(display);
    for (XEvent event;;)
        XNextEvent(display, &event);
}
