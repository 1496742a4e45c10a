#include "desktop/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>
#ifdef AICP_XINERAMA
#include <X11/extensions/Xinerama.h>
#endif

#include <algorithm>
#include <vector>

#include "desktop/icon.h"

namespace desktop {
namespace {

// Code page 1252 as UTF-8: Latin-1, but for the code page's own characters at 0x80 to 0x9F.
std::string Utf8(const std::string& text) {
    static const char16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    for (unsigned char c : text) {
        char32_t code = c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

void SetCardinals(Display* display, ::Window window, Atom property,
                  const std::vector<long>& values) {
    XChangeProperty(display, window, property, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

// A property's 32-bit items (longs, as Xlib gives them); empty when the window has none of
// that type, or is gone: a window manager's own window may be a stale one. Only such a window's
// errors are kept from the program's handler; the root window is always there, and is read
// without the two extra round trips to the server.
std::vector<long> Items(Display* display, ::Window window, Atom property, Atom type) {
    bool mayBeGone = window != DefaultRootWindow(display);
    XErrorHandler reporting = nullptr;
    if (mayBeGone) {
        XSync(display, False);
        reporting = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format,
                           &count, &after, &data) == Success &&
        actualType == type && format == 32) {
        const long* values = reinterpret_cast<const long*>(data);
        items.assign(values, values + count);
    }
    if (data)
        XFree(data);
    if (mayBeGone) {
        XSync(display, False);
        XSetErrorHandler(reporting);
    }
    return items;
}

}  // namespace

Manager RunningManager(Display* display, const WindowManagerAtoms& atoms) {
    ::Window root = DefaultRootWindow(display);
    std::vector<long> check = Items(display, root, atoms.check, XA_WINDOW);
    if (check.empty() ||
        Items(display, static_cast<::Window>(check[0]), atoms.check, XA_WINDOW) != check)
        return Manager::kNone;
    for (long atom : Items(display, root, atoms.supported, XA_ATOM)) {
        if (static_cast<Atom>(atom) == atoms.activeWindow)
            return Manager::kActivates;
    }
    return Manager::kOther;
}

void RequestActivation(Display* display, const WindowManagerAtoms& atoms, ::Window window,
                       ::Window active, Time time) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atoms.activeWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // from an application
    event.xclient.data.l[1] = static_cast<long>(time);
    event.xclient.data.l[2] = static_cast<long>(active);
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

Area WorkArea(Display* display, const WindowManagerAtoms& atoms, int x, int y) {
    int screen = DefaultScreen(display);
    std::vector<Area> monitors;
#ifdef AICP_XINERAMA
    int count = 0;
    if (XineramaScreenInfo* info =
            XineramaIsActive(display) ? XineramaQueryScreens(display, &count) : nullptr) {
        for (int i = 0; i < count; ++i) {
            monitors.push_back(Area{info[i].x_org, info[i].y_org, info[i].x_org + info[i].width,
                                    info[i].y_org + info[i].height});
        }
        XFree(info);
    }
#endif
    if (monitors.empty())
        monitors.push_back(
            Area{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    Area area = monitors[0];
    for (const Area& m : monitors) {
        if (x >= m.left && x < m.right && y >= m.top && y < m.bottom) {
            area = m;
            break;
        }
    }
    // The work area is one rectangle per desktop, over all the monitors: the panels' share of
    // this monitor is what lies outside it.
    ::Window root = RootWindow(display, screen);
    std::vector<long> desktop = Items(display, root, atoms.currentDesktop, XA_CARDINAL);
    std::vector<long> work = Items(display, root, atoms.workArea, XA_CARDINAL);
    std::size_t at = desktop.empty() ? 0 : static_cast<std::size_t>(desktop[0]) * 4;
    if (work.size() >= at + 4) {
        Area inside{std::max(area.left, static_cast<int>(work[at])),
                    std::max(area.top, static_cast<int>(work[at + 1])),
                    std::min(area.right, static_cast<int>(work[at] + work[at + 2])),
                    std::min(area.bottom, static_cast<int>(work[at + 1] + work[at + 3]))};
        if (inside.left < inside.right && inside.top < inside.bottom)
            area = inside;
    }
    return area;
}

void InternAtoms(Display* display, WindowManagerAtoms* atoms) {
    // All in one round trip to the server: each one costs the start of the window.
    const char* names[] = {"WM_PROTOCOLS",
                           "WM_DELETE_WINDOW",
                           "WM_TAKE_FOCUS",
                           "_MOTIF_WM_HINTS",
                           "_NET_WM_NAME",
                           "UTF8_STRING",
                           "_NET_WM_ICON",
                           "_NET_WM_PID",
                           "_NET_SUPPORTED",
                           "_NET_ACTIVE_WINDOW",
                           "_NET_SUPPORTING_WM_CHECK",
                           "_NET_WORKAREA",
                           "_NET_CURRENT_DESKTOP"};
    Atom* fields[] = {&atoms->protocols,     &atoms->deleteWindow, &atoms->takeFocus,
                      &atoms->motifHints,    &atoms->name,         &atoms->utf8,
                      &atoms->icon,          &atoms->pid,          &atoms->supported,
                      &atoms->activeWindow,  &atoms->check,        &atoms->workArea,
                      &atoms->currentDesktop};
    constexpr int kCount = sizeof fields / sizeof fields[0];
    Atom found[kCount] = {};
    XInternAtoms(display, const_cast<char**>(names), kCount, False, found);
    for (int i = 0; i < kCount; ++i)
        *fields[i] = found[i];
}

void Introduce(Display* display, const WindowManagerAtoms& atoms, ::Window window, int x, int y,
               int width, int height, const std::string& title) {
    Atom protocols[] = {atoms.deleteWindow, atoms.takeFocus};
    XSetWMProtocols(display, window, protocols, 2);
    XSizeHints* size = XAllocSizeHints();
    size->flags = USPosition | PMinSize | PMaxSize;
    size->x = x;
    size->y = y;
    size->min_width = size->max_width = width;
    size->min_height = size->max_height = height;
    XSetWMNormalHints(display, window, size);
    XFree(size);
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    XSetWMHints(display, window, hints);
    XFree(hints);
    XClassHint classHint{const_cast<char*>("AIControlPanel"), const_cast<char*>("AIControlPanel")};
    XSetClassHint(display, window, &classHint);
    // The process, with the machine that it runs on, as the window manager wants them together.
    char host[256] = {};
    char* hostName = host;
    XTextProperty machine{};
    if (gethostname(host, sizeof host - 1) == 0 &&
        XStringListToTextProperty(&hostName, 1, &machine)) {
        XSetWMClientMachine(display, window, &machine);
        XFree(machine.value);
        SetCardinals(display, window, atoms.pid, {static_cast<long>(getpid())});
    }
    std::vector<long> icon = {kIconSize, kIconSize};
    for (std::uint32_t argb : ApplicationIcon())
        icon.push_back(static_cast<long>(argb));
    SetCardinals(display, window, atoms.icon, icon);
    long motif[5] = {2, 0, 0, 0, 0};  // decorations: none
    XChangeProperty(display, window, atoms.motifHints, atoms.motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);
    SetTitle(display, atoms, window, title);
}

void SetTitle(Display* display, const WindowManagerAtoms& atoms, ::Window window,
              const std::string& title) {
    XStoreName(display, window, title.c_str());
    std::string utf8 = Utf8(title);
    XChangeProperty(display, window, atoms.name, atoms.utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
}

}  // namespace desktop
