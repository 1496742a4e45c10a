// The X side of the desktop front end: one X window per visible top-level window of the layer,
// pictures put with XPutImage when they change, and X pointer, key and close events as input.
#include "desktop/desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "desktop/painter.h"
#include "desktop/pixels.h"

namespace desktop {
namespace {

struct Shown {
    headless::WindowInfo info;
    ::Window xwin = 0;
    Pixels picture{0, 0};
};

// Xlib ends the process when the display goes away; it ends with a code of its own (4), never the
// program's or the entry's, and says why.
int DisplayLost(Display*) {
    std::fputs("AIControlPanel: the X display has gone away; closing without saving\n", stderr);
    std::_Exit(4);
}

// The dialog's font; false with the reason, naming the font's file, in *error.
bool LoadDialogFont(Font* font, std::string* error) {
    if (access(kFontPath, R_OK) != 0) {
        *error = std::string("cannot read the dialog's font ") + kFontPath + ": " +
                 std::strerror(errno) + " (Debian's package fonts-wine holds it)";
        return false;
    }
    return font->Load(kFontPath, kFontHeight, error);
}

bool SomethingForTheLayer() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

UINT VirtualKey(KeySym key) {
    switch (key) {
        case XK_Left:
        case XK_KP_Left:
            return VK_LEFT;
        case XK_Right:
        case XK_KP_Right:
            return VK_RIGHT;
        case XK_Up:
        case XK_KP_Up:
            return VK_UP;
        case XK_Down:
        case XK_KP_Down:
            return VK_DOWN;
        case XK_Home:
        case XK_KP_Home:
            return VK_HOME;
        case XK_End:
        case XK_KP_End:
            return VK_END;
        case XK_Prior:
        case XK_KP_Prior:
            return VK_PRIOR;
        case XK_Next:
        case XK_KP_Next:
            return VK_NEXT;
        case XK_space:
            return VK_SPACE;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_Escape:
            return VK_ESCAPE;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VK_TAB;
        case XK_BackSpace:
            return VK_BACK;
        case XK_Shift_L:
        case XK_Shift_R:
            return VK_SHIFT;
        default:
            if (key >= XK_a && key <= XK_z)
                return static_cast<UINT>('A' + (key - XK_a));
            if (key >= XK_0 && key <= XK_9)
                return static_cast<UINT>('0' + (key - XK_0));
            return 0;
    }
}

bool InCaption(const headless::WindowInfo& w, POINT p) {
    return (w.style & WS_CAPTION) == WS_CAPTION && p.y < w.client.top && p.y >= w.rect.top &&
           p.x >= w.rect.left && p.x < w.rect.right && !PtInRect(&w.closeBox, p);
}

}  // namespace

struct DesktopInput::State {
    Display* display = nullptr;
    Visual* visual = nullptr;
    Atom protocols = 0, deleteWindow = 0, motifHints = 0;
    Font font;
    std::vector<Shown> shown;  // top first
    HWND grabbed = nullptr;    // the top-level window that took the button press
    bool moving = false;       // the press was on the caption: the X window follows the pointer
    int pressRootX = 0, pressRootY = 0, startX = 0, startY = 0;

    Shown* Find(::Window xwin) {
        for (Shown& s : shown) {
            if (s.xwin == xwin)
                return &s;
        }
        return nullptr;
    }
    Shown* Find(HWND hwnd) {
        for (Shown& s : shown) {
            if (s.info.hwnd == hwnd)
                return &s;
        }
        return nullptr;
    }

    void Sync();
    ::Window Create(const headless::WindowInfo& w);
    void Put(const Shown& s);
    void Handle(XEvent* event);
    void Press(Shown* s, const XButtonEvent& e);
    void Motion(Shown* s, const XMotionEvent& e);
};

::Window DesktopInput::State::Create(const headless::WindowInfo& w) {
    int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
    int screen = DefaultScreen(display);
    ::Window xwin = XCreateSimpleWindow(
        display, RootWindow(display, screen), w.rect.left, w.rect.top, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, xwin,
                 ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     KeyPressMask | KeyReleaseMask);
    XSetWMProtocols(display, xwin, &deleteWindow, 1);
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = USPosition | PMinSize | PMaxSize;
    hints->x = w.rect.left;
    hints->y = w.rect.top;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, xwin, hints);
    XFree(hints);
    XClassHint classHint{const_cast<char*>("AIControlPanel"), const_cast<char*>("AIControlPanel")};
    XSetClassHint(display, xwin, &classHint);
    // The window draws its own caption and frame: no decorations from the window manager.
    long motif[5] = {2, 0, 0, 0, 0};
    XChangeProperty(display, xwin, motifHints, motifHints, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(motif), 5);
    XStoreName(display, xwin, w.text.c_str());
    XMapRaised(display, xwin);
    return xwin;
}

void DesktopInput::State::Put(const Shown& s) {
    int width = s.picture.Width(), height = s.picture.Height();
    if (width == 0 || height == 0)
        return;
    XImage* image =
        XCreateImage(display, visual, 24, ZPixmap, 0,
                     reinterpret_cast<char*>(const_cast<Colour*>(s.picture.Data().data())),
                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, width * 4);
    if (!image)
        return;
    XPutImage(display, s.xwin, DefaultGC(display, DefaultScreen(display)), image, 0, 0, 0, 0,
              static_cast<unsigned>(width), static_cast<unsigned>(height));
    image->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image);
}

// Brings the X windows in line with the layer: new windows shown, gone ones closed, changed
// pictures put, titles and stacking order followed.
void DesktopInput::State::Sync() {
    std::vector<TopLevel> tops = VisibleTopLevels();
    std::vector<Shown> next;
    for (const TopLevel& top : tops) {
        Shown s;
        s.info = top.window;
        Shown* old = Find(top.window.hwnd);
        int width = top.window.rect.right - top.window.rect.left;
        int height = top.window.rect.bottom - top.window.rect.top;
        if (old && old->picture.Width() == width && old->picture.Height() == height) {
            s.xwin = old->xwin;
            old->xwin = 0;
            if (old->info.text != top.window.text)
                XStoreName(display, s.xwin, top.window.text.c_str());
            s.picture = std::move(old->picture);
        } else {
            s.xwin = Create(top.window);
        }
        Pixels picture = Paint(top, font);
        if (!picture.SameAs(s.picture)) {
            s.picture = std::move(picture);
            Put(s);
        }
        next.push_back(std::move(s));
    }
    bool restack = next.size() != shown.size();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i].xwin)
            XDestroyWindow(display, shown[i].xwin);
        else if (!restack && shown[i].info.hwnd != next[i].info.hwnd)
            restack = true;
    }
    shown = std::move(next);
    if (grabbed && !Find(grabbed))
        grabbed = nullptr;
    if (restack && shown.size() > 1) {
        std::vector<::Window> order;
        for (const Shown& s : shown)
            order.push_back(s.xwin);
        XRaiseWindow(display, order.front());
        XRestackWindows(display, order.data(), static_cast<int>(order.size()));
    }
    XFlush(display);
}

void DesktopInput::State::Press(Shown* s, const XButtonEvent& e) {
    POINT point{s->info.rect.left + e.x, s->info.rect.top + e.y};
    // The window on top here takes the click even where the layer has another one in front.
    if (headless::TopLevelWindowAt(point) != s->info.hwnd)
        headless::BringForward(s->info.hwnd);
    grabbed = s->info.hwnd;
    moving = InCaption(s->info, point);
    if (moving) {
        ::Window child;
        XTranslateCoordinates(display, s->xwin, DefaultRootWindow(display), 0, 0, &startX, &startY,
                              &child);
        pressRootX = e.x_root;
        pressRootY = e.y_root;
    }
    headless::MouseDown(point);
}

void DesktopInput::State::Motion(Shown* s, const XMotionEvent& e) {
    if (moving) {
        XMoveWindow(display, s->xwin, startX + e.x_root - pressRootX,
                    startY + e.y_root - pressRootY);
        return;
    }
    headless::MouseMove(POINT{s->info.rect.left + e.x, s->info.rect.top + e.y});
}

void DesktopInput::State::Handle(XEvent* event) {
    Shown* s = Find(event->xany.window);
    if (!s)
        return;
    switch (event->type) {
        case Expose:
            if (event->xexpose.count == 0)
                Put(*s);
            return;
        case ButtonPress:
            if (event->xbutton.button == Button1 && !grabbed)
                Press(s, event->xbutton);
            return;
        case MotionNotify:
            // Of moves in a row only the last counts; a move after a press or release stays.
            while (XPending(display)) {
                XEvent next;
                XPeekEvent(display, &next);
                if (next.type != MotionNotify || next.xmotion.window != s->xwin)
                    break;
                XNextEvent(display, event);
            }
            if (grabbed == s->info.hwnd)
                Motion(s, event->xmotion);
            return;
        case ButtonRelease:
            if (event->xbutton.button == Button1 && grabbed == s->info.hwnd) {
                headless::MouseUp(POINT{s->info.rect.left + event->xbutton.x,
                                        s->info.rect.top + event->xbutton.y});
                grabbed = nullptr;
                moving = false;
            }
            return;
        case KeyPress:
        case KeyRelease: {
            UINT vk = VirtualKey(XLookupKeysym(&event->xkey, 0));
            if (vk == 0)
                return;
            if (event->type == KeyPress)
                headless::KeyDown(vk);
            else
                headless::KeyUp(vk);
            return;
        }
        case ClientMessage:
            if (event->xclient.message_type == protocols &&
                static_cast<Atom>(event->xclient.data.l[0]) == deleteWindow) {
                headless::CloseWindow(s->info.hwnd);
            }
            return;
        default:
            return;
    }
}

DesktopInput::DesktopInput() : state_(std::make_unique<State>()) {}

DesktopInput::~DesktopInput() {
    Stop();
}

bool DesktopInput::Start(std::string* error) {
    error->clear();
    std::string name = XDisplayName(nullptr);
    if (name.empty())
        return false;  // no display asked for
    errno = 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        // Xlib tells no reason; a local display's socket leaves one in errno.
        *error = "cannot open the X display \"" + name + "\": " +
                 (errno ? std::strerror(errno) : "no X server answers there, or it refused");
        return false;
    }
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    if (DefaultDepth(display, DefaultScreen(display)) != 24 || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0x00FF00 || visual->blue_mask != 0x0000FF) {
        XCloseDisplay(display);
        *error = "the X display \"" + name + "\" is not a 24-bit true colour one";
        return false;
    }
    if (!LoadDialogFont(&state_->font, error)) {
        XCloseDisplay(display);
        return false;
    }
    XSetIOErrorHandler(DisplayLost);
    state_->display = display;
    state_->visual = visual;
    state_->protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    state_->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    state_->motifHints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    return true;
}

void DesktopInput::Stop() {
    if (!state_->display)
        return;
    for (Shown& s : state_->shown)
        XDestroyWindow(state_->display, s.xwin);
    state_->shown.clear();
    XCloseDisplay(state_->display);
    state_->display = nullptr;
}

bool DesktopInput::Pump() {
    Display* display = state_->display;
    if (!display)
        return false;
    state_->Sync();
    // A round trip, so that every event the server made so far has arrived.
    XSync(display, False);
    XEvent event;
    while (XPending(display)) {
        XNextEvent(display, &event);
        state_->Handle(&event);
    }
    return SomethingForTheLayer();
}

bool DesktopInput::ProvideInput() {
    if (!state_->display)
        return false;
    while (!Pump()) {
        XEvent event;
        XPeekEvent(state_->display, &event);
    }
    return true;
}

}  // namespace desktop
