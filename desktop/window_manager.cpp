#include "desktop/window_manager.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

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

}  // namespace

void InternAtoms(Display* display, WindowManagerAtoms* atoms) {
    // All in one round trip to the server: each one costs the start of the window.
    char* names[] = {const_cast<char*>("WM_PROTOCOLS"),    const_cast<char*>("WM_DELETE_WINDOW"),
                     const_cast<char*>("_MOTIF_WM_HINTS"), const_cast<char*>("_NET_WM_NAME"),
                     const_cast<char*>("UTF8_STRING"),     const_cast<char*>("_NET_WM_ICON"),
                     const_cast<char*>("_NET_WM_PID")};
    Atom* fields[] = {&atoms->protocols, &atoms->deleteWindow, &atoms->motifHints, &atoms->name,
                      &atoms->utf8,      &atoms->icon,         &atoms->pid};
    Atom found[7] = {};
    XInternAtoms(display, names, 7, False, found);
    for (int i = 0; i < 7; ++i)
        *fields[i] = found[i];
}

void Introduce(Display* display, const WindowManagerAtoms& atoms, ::Window window, int x, int y,
               int width, int height, const std::string& title) {
    Atom deleteWindow = atoms.deleteWindow;
    XSetWMProtocols(display, window, &deleteWindow, 1);
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
