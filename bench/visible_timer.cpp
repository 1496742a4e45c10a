// Times a program's start to its window on screen: from starting it to the X server's report that a
// top-level window named "AI Control Panel" is mapped. The server tells the moment itself, so the
// figure does not depend on how often someone asks. The program is then ended, and the timer waits
// until its window is gone, so that the next start finds the screen as this one did.
//
//   visible_timer PROGRAM [ARGUMENT...]
//
// Prints the milliseconds; exit code 1 when the program ends before its window shows.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

constexpr char kCaption[] = "AI Control Panel";

double Milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Whether the window's name, in either of the two properties a program may set, is the caption.
bool NamedCaption(Display* display, Window window) {
    for (Atom property : {XA_WM_NAME, XInternAtom(display, "_NET_WM_NAME", False)}) {
        Atom type;
        int format;
        unsigned long length, after;
        unsigned char* value = nullptr;
        bool named = XGetWindowProperty(display, window, property, 0, 64, False, AnyPropertyType,
                                        &type, &format, &length, &after, &value) == Success &&
                     value && format == 8 && length == sizeof(kCaption) - 1 &&
                     std::memcmp(value, kCaption, length) == 0;
        if (value) {
            XFree(value);
        }
        if (named) {
            return true;
        }
    }
    return false;
}

// Waits up to the deadline for the next event; false when none came.
bool NextEvent(Display* display, XEvent* event, double deadline) {
    while (!XPending(display)) {
        double left = deadline - Milliseconds();
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        if (left <= 0 || poll(&connection, 1, left < 10 ? static_cast<int>(left) + 1 : 10) < 0) {
            return false;
        }
        if (left < 10 && !XPending(display)) {
            return false;
        }
    }
    XNextEvent(display, event);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: visible_timer PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "visible_timer: no X display\n");
        return 2;
    }
    Window root = DefaultRootWindow(display);
    // Maps and destructions of top-level windows; a window mapped before it is named is watched
    // for its name.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    double started = Milliseconds();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    Window shown = 0;
    double shownAt = 0;
    for (XEvent event; !shown;) {
        int status;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "visible_timer: %s ended before its window showed\n", argv[1]);
            return 1;
        }
        if (!NextEvent(display, &event, Milliseconds() + 50)) {
            continue;
        }
        if (event.type == MapNotify && event.xmap.event == root) {
            if (NamedCaption(display, event.xmap.window)) {
                shown = event.xmap.window;
                shownAt = Milliseconds();
            } else {
                // Named later: its name is watched, and asked again once watched.
                XSelectInput(display, event.xmap.window, PropertyChangeMask);
                if (NamedCaption(display, event.xmap.window)) {
                    shown = event.xmap.window;
                    shownAt = Milliseconds();
                }
            }
        } else if (event.type == PropertyNotify && NamedCaption(display, event.xproperty.window)) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, event.xproperty.window, &attributes) &&
                attributes.map_state == IsViewable) {
                shown = event.xproperty.window;
                shownAt = Milliseconds();
            }
        }
    }
    std::printf("%.2f\n", shownAt - started);
    std::fflush(stdout);

    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    double deadline = Milliseconds() + 5000;
    for (XEvent event; NextEvent(display, &event, deadline);) {
        if ((event.type == DestroyNotify && event.xdestroywindow.window == shown) ||
            (event.type == UnmapNotify && event.xunmap.window == shown)) {
            break;
        }
    }
    XCloseDisplay(display);
    return 0;
}
