// The X side of the desktop front end: one X window per visible top-level window of the layer,
// pictures put with XPutImage when they change, and X pointer, key, focus and close events as
// input.
#include "desktop/desktop.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "desktop/painter.h"
#include "desktop/pixels.h"
#include "desktop/window_manager.h"

namespace desktop {
namespace {

struct Shown {
    headless::WindowInfo info;
    ::Window xwin = 0;
    Pixels picture{0, 0};  // in the layer's pixels
    Pixels scaled{0, 0};   // at a scale above 1, as the X window shows it
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
        case XK_Control_L:
        case XK_Control_R:
            return VK_CONTROL;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
            return VK_MENU;
        case XK_F4:
            return VK_F4;
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

// The factor for a screen of so many dots per inch: 96 is the platform's 1.
int ScaleForDpi(double dpi) {
    return dpi >= 240 ? 3 : dpi >= 144 ? 2 : 1;
}

// The screen's Xft.dpi, the setting by which desktops scale their programs; 96 without one.
double ScreenDpi(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (!resources)
        return 96;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    char* type = nullptr;
    XrmValue value{};
    double dpi = 96;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
        dpi = std::atof(value.addr);
    XrmDestroyDatabase(database);
    return dpi;
}

// The scale that AICP_SCALE asks for, 0 without one; a value that is no scale is said and ignored.
int ScaleAskedFor() {
    const char* asked = std::getenv("AICP_SCALE");
    if (!asked || !*asked)
        return 0;
    if ((asked[0] == '1' || asked[0] == '2' || asked[0] == '3') && !asked[1])
        return asked[0] - '0';
    std::fprintf(stderr, "AIControlPanel: AICP_SCALE=%s is not 1, 2 or 3; using the screen's\n",
                 asked);
    return 0;
}

}  // namespace

struct DesktopInput::State {
    Display* display = nullptr;
    Visual* visual = nullptr;
    WindowManagerAtoms atoms;
    Font font;
    int scale = 1;
    std::vector<Shown> shown;  // top first
    HWND grabbed = nullptr;    // the top-level window that took the button press
    bool moving = false;       // the press was on the caption: the X window follows the pointer
    int pressRootX = 0, pressRootY = 0, startX = 0, startY = 0;
    std::set<UINT> keysDown;

    // A point in an X window, in the layer's screen coordinates.
    POINT LayerPoint(const Shown& s, int x, int y) const {
        return POINT{s.info.rect.left + x / scale, s.info.rect.top + y / scale};
    }

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
    void Key(const XKeyEvent& e);
    void FocusLost(const XFocusChangeEvent& e);
};

::Window DesktopInput::State::Create(const headless::WindowInfo& w) {
    int x = w.rect.left * scale, y = w.rect.top * scale;
    int width = (w.rect.right - w.rect.left) * scale, height = (w.rect.bottom - w.rect.top) * scale;
    int screen = DefaultScreen(display);
    ::Window xwin = XCreateSimpleWindow(
        display, RootWindow(display, screen), x, y, static_cast<unsigned>(width),
        static_cast<unsigned>(height), 0, BlackPixel(display, screen), WhitePixel(display, screen));
    // No background: the server draws nothing in the window, which shows nothing of its own
    // until its whole picture is put.
    XSetWindowBackgroundPixmap(display, xwin, None);
    XSelectInput(display, xwin,
                 ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                     KeyPressMask | KeyReleaseMask | FocusChangeMask);
    Introduce(display, atoms, xwin, x, y, width, height, w.text);
    XMapRaised(display, xwin);
    // Mapped at once: the server does its part while the picture is painted.
    XFlush(display);
    // Held keys repeat without releases between the repeats. Asked for once the window is on its
    // way, since the answer is waited for.
    XkbSetDetectableAutoRepeat(display, True, nullptr);
    return xwin;
}

void DesktopInput::State::Put(const Shown& s) {
    const Pixels& shows = scale == 1 ? s.picture : s.scaled;
    int width = shows.Width(), height = shows.Height();
    if (width == 0 || height == 0)
        return;
    XImage* image =
        XCreateImage(display, visual, 24, ZPixmap, 0,
                     reinterpret_cast<char*>(const_cast<Colour*>(shows.Data().data())),
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
        bool created = false;
        int width = top.window.rect.right - top.window.rect.left;
        int height = top.window.rect.bottom - top.window.rect.top;
        if (old && old->picture.Width() == width && old->picture.Height() == height) {
            s.xwin = old->xwin;
            old->xwin = 0;
            if (old->info.text != top.window.text)
                SetTitle(display, atoms, s.xwin, top.window.text);
            s.picture = std::move(old->picture);
            s.scaled = std::move(old->scaled);
        } else {
            s.xwin = Create(top.window);
            created = true;
        }
        Pixels picture = Paint(top, font);
        // A new window is not shown yet: it gets its picture when the server says that it shows
        // (Expose), since what is drawn before then is lost.
        if (!picture.SameAs(s.picture)) {
            s.picture = std::move(picture);
            if (scale > 1)
                s.scaled = s.picture.Scaled(scale);
            if (!created)
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
    POINT point = LayerPoint(*s, e.x, e.y);
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
    headless::MouseMove(LayerPoint(*s, e.x, e.y));
}

// Held keys repeat through the X server's auto-repeat, each repeat one more key press (the
// display was asked to leave out the releases between them); the layer marks the repeats.
void DesktopInput::State::Key(const XKeyEvent& e) {
    UINT vk = VirtualKey(XLookupKeysym(const_cast<XKeyEvent*>(&e), 0));
    if (vk == 0)
        return;
    if (e.type == KeyPress) {
        keysDown.insert(vk);
        headless::KeyDown(vk);
    } else if (keysDown.erase(vk)) {
        headless::KeyUp(vk);
    }
}

// Another window took the keyboard focus (or the window manager grabbed the keyboard): the
// release of what is held now goes elsewhere, so nothing may stay held here.
void DesktopInput::State::FocusLost(const XFocusChangeEvent& e) {
    if (e.detail == NotifyInferior || e.detail == NotifyPointer || (keysDown.empty() && !grabbed))
        return;
    keysDown.clear();
    grabbed = nullptr;
    moving = false;
    headless::LoseFocus();
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
                headless::MouseUp(LayerPoint(*s, event->xbutton.x, event->xbutton.y));
                grabbed = nullptr;
                moving = false;
            }
            return;
        case KeyPress:
        case KeyRelease:
            return Key(event->xkey);
        case FocusOut:
            return FocusLost(event->xfocus);
        case ClientMessage:
            if (event->xclient.message_type == atoms.protocols &&
                static_cast<Atom>(event->xclient.data.l[0]) == atoms.deleteWindow) {
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

bool DesktopInput::Start(int scale, std::string* error) {
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
    InternAtoms(display, &state_->atoms);
    if (scale == 0)
        scale = ScaleAskedFor();
    state_->scale = scale >= 1 && scale <= 3 ? scale : ScaleForDpi(ScreenDpi(display));
    return true;
}

int DesktopInput::Scale() const {
    return state_->scale;
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
    Display* display = state_->display;
    if (!display)
        return false;
    // Until the display sends something, or the program's next timer is due.
    while (!Pump()) {
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        if (!XPending(display))
            poll(&connection, 1, headless::MillisecondsToNextTimer());
    }
    return true;
}

}  // namespace desktop
