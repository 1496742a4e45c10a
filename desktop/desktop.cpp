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

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "desktop/painter.h"
#include "desktop/window_manager.h"

namespace desktop {
namespace {

struct Shown {
    headless::WindowInfo info;
    ::Window xwin = 0;
    bool mapped = false;      // the server says that it is (its window manager's requests wait)
    bool reparented = false;  // a window manager has put it into a frame of its own
    POINT placed{};           // where we put it
    Pixels picture{0, 0};     // in the layer's pixels
    Pixels scaled{0, 0};      // at a scale above 1, as the X window shows it
};

// Xlib ends the process when the display goes away; it ends with a code of its own (4), never the
// program's or the entry's, and says why.
int DisplayLost(Display*) {
    std::fputs("AIControlPanel: the X display has gone away; closing without saving\n", stderr);
    std::_Exit(4);
}

// A request that the server refused (a window that a window manager has just closed, say) costs
// at most that request: the dialog goes on, and its edits with it. Xlib's own handler would end
// the program.
int RequestRefused(Display* display, XErrorEvent* error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr,
                 "AIControlPanel: the X server refused a request (%s; request %d.%d); going on\n",
                 text, error->request_code, error->minor_code);
    return 0;
}

// The dialog's font; false with the reason, naming the font's file, in *error.
bool LoadDialogFont(Font* font, std::string* error) {
    if (access(kFontPath, R_OK) != 0) {
        *error = std::string("cannot read the dialog's font ") + kFontPath + ": " +
                 std::strerror(errno) + " (Debian's package fonts-wine holds it)";
        return false;
    }
    return font->Load(kFontPath, own::kFontHeight, error);
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
    if (int scale = ScaleNamed(asked))
        return scale;
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
    bool scaleAsked = false;      // by --scale or AICP_SCALE, not from the screen
    bool scaleSettled = false;    // fitted to the monitor, once the first window is known
    std::vector<Shown> shown;     // top first
    bool restack = false;         // the layer's order has changed since the X windows followed it
    HWND activated = nullptr;     // the window last activated, at our request or the user's
    HWND requested = nullptr;     // asked of the window manager, which has not focused it yet
    Time userTime = CurrentTime;  // of the last key or button: what activation requests are for
    HWND grabbed = nullptr;       // the top-level window that took the button press
    bool moving = false;          // the press was on the caption: the X window follows the pointer
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

    // The X window's rectangle on the root, wherever a window manager has put it.
    Area OnRoot(const Shown& s) const {
        int x = 0, y = 0;
        ::Window child;
        XTranslateCoordinates(display, s.xwin, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        return Area{x, y, x + s.picture.Width() * scale, y + s.picture.Height() * scale};
    }

    bool Viewable() const {
        XWindowAttributes attributes;
        for (const Shown& s : shown) {
            if (!XGetWindowAttributes(display, s.xwin, &attributes) ||
                attributes.map_state != IsViewable)
                return false;
        }
        return true;
    }

    void Sync();
    void SettleScale(const std::vector<headless::TopLevel>& tops);
    POINT Place(const headless::WindowInfo& w, const Shown* dialog);
    ::Window Create(const headless::WindowInfo& w, POINT at, const Shown* dialog);
    void Stack(const std::vector<Shown>& gone = {});
    void HandFocus(const Shown& to, const std::vector<Shown>& gone);
    void FocusGained(Shown* s, const XFocusChangeEvent& e);
    void Put(const Shown& s);
    void Handle(XEvent* event);
    void Press(Shown* s, const XButtonEvent& e);
    void Motion(Shown* s, const XMotionEvent& e);
    void Key(const XKeyEvent& e);
    void FocusLost(const XFocusChangeEvent& e);
};

// The scale that the first window asks for, when it would not fit the work area of the monitor it
// opens on, falls back to the largest that fits; one that was asked for says so.
void DesktopInput::State::SettleScale(const std::vector<headless::TopLevel>& tops) {
    scaleSettled = true;
    // The dialog beneath any boxes, else the window at the back.
    auto dialog = std::find_if(tops.begin(), tops.end(), [](const headless::TopLevel& top) {
        return !headless::IsMessageBox(top.window.hwnd);
    });
    const headless::WindowInfo* first = &(dialog != tops.end() ? *dialog : tops.front()).window;
    int width = first->rect.right - first->rect.left, height = first->rect.bottom - first->rect.top;
    Area area = first->style & DS_CENTER
                    ? WorkArea(display, atoms, -1, -1)
                    : WorkArea(display, atoms, first->rect.left * scale, first->rect.top * scale);
    int fits = scale;
    while (fits > 1 &&
           (width * fits > area.right - area.left || height * fits > area.bottom - area.top))
        --fits;
    if (fits < scale && scaleAsked) {
        std::fprintf(stderr,
                     "AIControlPanel: at scale %d the window (%dx%d) would not fit the screen's "
                     "work area (%dx%d); drawing it at scale %d\n",
                     scale, width * scale, height * scale, area.right - area.left,
                     area.bottom - area.top, fits);
    }
    scale = fits;
}

// Where a new window goes on the real screen, as the platform places a window with no owner: a
// dialog with DS_CENTER in the middle of the primary monitor's work area, another at its own
// position, a message box centred over the dialog; each then wholly inside the work area of its
// monitor.
POINT DesktopInput::State::Place(const headless::WindowInfo& w, const Shown* dialog) {
    int width = (w.rect.right - w.rect.left) * scale, height = (w.rect.bottom - w.rect.top) * scale;
    int x = w.rect.left * scale, y = w.rect.top * scale;
    Area area;
    if (dialog && headless::IsMessageBox(w.hwnd)) {
        // Where the dialog stands; until it shows, a window manager may have it in a frame
        // that it has not placed yet.
        Area over = OnRoot(*dialog);
        if (!dialog->mapped) {
            over = Area{dialog->placed.x, dialog->placed.y,
                        dialog->placed.x + (over.right - over.left),
                        dialog->placed.y + (over.bottom - over.top)};
        }
        area = WorkArea(display, atoms, (over.left + over.right) / 2, (over.top + over.bottom) / 2);
        x = over.left + (over.right - over.left - width) / 2;
        y = over.top + (over.bottom - over.top - height) / 2;
    } else if (headless::IsMessageBox(w.hwnd) || (w.style & DS_CENTER)) {
        area = WorkArea(display, atoms, -1, -1);
        x = (area.left + area.right - width) / 2;
        y = (area.top + area.bottom - height) / 2;
    } else {
        area = WorkArea(display, atoms, x, y);
    }
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    return POINT{x, y};
}

::Window DesktopInput::State::Create(const headless::WindowInfo& w, POINT at, const Shown* dialog) {
    int x = at.x, y = at.y;
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
                     KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask);
    Introduce(display, atoms, xwin, x, y, width, height, w.text);
    // A window manager keeps a box above its dialog, and may centre it there itself.
    if (dialog && headless::IsMessageBox(w.hwnd))
        XSetTransientForHint(display, xwin, dialog->xwin);
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
    std::vector<headless::TopLevel> tops = headless::VisibleTopLevels();
    if (!scaleSettled && !tops.empty())
        SettleScale(tops);
    std::vector<Shown> next(tops.size());
    const Shown* dialog = nullptr;
    // Back to front: a box is placed over its dialog, which must stand by then.
    for (std::size_t i = 0; i < tops.size(); ++i) {
        const headless::TopLevel& top = tops[i];
        Shown& s = next[tops.size() - 1 - i];
        s.info = top.window;
        Shown* old = Find(top.window.hwnd);
        bool created = false;
        int width = top.window.rect.right - top.window.rect.left;
        int height = top.window.rect.bottom - top.window.rect.top;
        if (old && old->picture.Width() == width && old->picture.Height() == height) {
            s.xwin = old->xwin;
            s.mapped = old->mapped;
            s.reparented = old->reparented;
            s.placed = old->placed;
            old->xwin = 0;
            if (old->info.text != top.window.text)
                SetTitle(display, atoms, s.xwin, top.window.text);
            s.picture = std::move(old->picture);
            s.scaled = std::move(old->scaled);
        } else {
            s.placed = Place(top.window, dialog);
            s.xwin = Create(top.window, s.placed, dialog);
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
        if (!dialog && !headless::IsMessageBox(s.info.hwnd))
            dialog = &s;
    }
    restack = restack || next.size() != shown.size();
    for (std::size_t i = 0; i < shown.size() && !restack; ++i)
        restack = !shown[i].xwin && shown[i].info.hwnd != next[i].info.hwnd;
    std::swap(shown, next);
    if (grabbed && !Find(grabbed))
        grabbed = nullptr;
    if (requested && !Find(requested))
        requested = nullptr;
    // The focus goes on before the windows that had it go.
    Stack(next);
    for (const Shown& gone : next) {
        if (gone.xwin)
            XDestroyWindow(display, gone.xwin);
    }
    XFlush(display);
}

// The X windows in the layer's order. Without a window manager they are siblings under the root,
// restacked as the layer's windows are. A window manager puts each into a frame of its own, and
// stacks and focuses them itself: the one on top is activated through it, or raised alone. Where
// one of our windows has the focus (among them those about to go, in *gone), it is ours to hand on
// at once, so that no key falls between the windows while the window manager answers.
void DesktopInput::State::Stack(const std::vector<Shown>& gone) {
    if (shown.empty() || (!restack && shown.front().info.hwnd == activated))
        return;
    const Shown& top = shown.front();
    if (!top.mapped)
        return;  // again once it is: a window manager takes no requests for it before
    bool framed = false;
    for (const Shown& s : shown)
        framed = framed || s.reparented;
    Manager manager =
        std::max(framed ? Manager::kOther : Manager::kNone, RunningManager(display, atoms));
    if (manager == Manager::kNone) {
        if (restack && shown.size() > 1) {
            std::vector<::Window> order;
            for (const Shown& s : shown)
                order.push_back(s.xwin);
            XRaiseWindow(display, order.front());
            XRestackWindows(display, order.data(), static_cast<int>(order.size()));
        }
    } else if (top.info.hwnd != activated) {
        HandFocus(top, gone);
        const Shown* was = activated ? Find(activated) : nullptr;
        if (manager == Manager::kActivates) {
            RequestActivation(display, atoms, top.xwin, was ? was->xwin : 0, userTime);
            requested = top.info.hwnd;
        } else {
            XRaiseWindow(display, top.xwin);
        }
    }
    restack = false;
    activated = top.info.hwnd;
}

void DesktopInput::State::HandFocus(const Shown& to, const std::vector<Shown>& gone) {
    ::Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    bool ours = Find(focus) != nullptr;
    for (const Shown& s : gone)
        ours = ours || (s.xwin && s.xwin == focus);
    XWindowAttributes attributes;
    if (ours && XGetWindowAttributes(display, to.xwin, &attributes) &&
        attributes.map_state == IsViewable)
        XSetInputFocus(display, to.xwin, RevertToParent, CurrentTime);
}

// The window manager has given one of our windows the keyboard focus (a click, Alt+Tab, a box
// that closed): the layer activates that window, so that keys go where the user sees the focus.
// While the layer has put another one on top, and our request to activate that one is still to
// go or on its way (a box that opened as its dialog was mapped), a focus that the request will
// undo is let be, as is one that comes during a click.
void DesktopInput::State::FocusGained(Shown* s, const XFocusChangeEvent& e) {
    if ((e.detail != NotifyAncestor && e.detail != NotifyNonlinear) || e.mode == NotifyGrab ||
        e.mode == NotifyUngrab)
        return;
    HWND top = shown.front().info.hwnd;
    if ((requested || top != activated || grabbed) && s->info.hwnd != top)
        return;  // a click in progress activates what it clicks
    requested = nullptr;
    activated = s->info.hwnd;
    headless::WindowInfo now;
    if (headless::GetWindowInfo(s->info.hwnd, &now) && !now.active)
        headless::BringForward(s->info.hwnd);
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

// Another program's window took the keyboard focus (or the window manager grabbed the keyboard):
// the release of a key held now goes elsewhere, so nothing may stay held here. The button's
// release comes to us all the same (the server's grab of the pointer for the press), unless the
// window manager grabbed it. A focus that moves between our own windows (a window manager focusing
// the box that is being clicked) lets nothing go.
void DesktopInput::State::FocusLost(const XFocusChangeEvent& e) {
    if (e.detail == NotifyInferior || e.detail == NotifyPointer ||
        (keysDown.empty() && (!grabbed || e.mode != NotifyGrab)))
        return;
    ::Window focus = None;
    int revert = 0;
    if (e.mode != NotifyGrab && XGetInputFocus(display, &focus, &revert) && Find(focus))
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
    if (event->type == KeyPress || event->type == ButtonPress)
        userTime = event->type == KeyPress ? event->xkey.time : event->xbutton.time;
    if (event->type == KeyPress || event->type == ButtonRelease)
        requested = nullptr;  // the user has acted on what the screen shows now
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
        case FocusIn:
            return FocusGained(s, event->xfocus);
        case MapNotify:
            s->mapped = true;
            return Stack();
        case UnmapNotify:
            s->mapped = false;
            return;
        case ReparentNotify:
            s->reparented = event->xreparent.parent != DefaultRootWindow(display);
            return;
        case ClientMessage:
            if (event->xclient.message_type != atoms.protocols)
                return;
            if (static_cast<Atom>(event->xclient.data.l[0]) == atoms.deleteWindow)
                headless::CloseWindow(s->info.hwnd);
            // The window manager leaves the focus to us (the focus comes back as FocusIn).
            if (static_cast<Atom>(event->xclient.data.l[0]) == atoms.takeFocus && s->mapped)
                XSetInputFocus(display, s->xwin, RevertToParent,
                               static_cast<Time>(event->xclient.data.l[1]));
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
    XSetErrorHandler(RequestRefused);
    state_->display = display;
    state_->visual = visual;
    InternAtoms(display, &state_->atoms);
    if (scale == 0)
        scale = ScaleAskedFor();
    state_->scaleAsked = scale != 0;
    state_->scale = scale != 0 ? scale : ScaleForDpi(ScreenDpi(display));
    return true;
}

bool DesktopInput::Holding() const {
    return state_->grabbed != nullptr;
}

POINT DesktopInput::OnScreen(POINT point) {
    // A window manager shows a new window in its own time: a click before then lands beneath it.
    for (int wait = 0; wait < 400 && state_->display && !state_->Viewable(); ++wait) {
        Pump();
        usleep(5000);
    }
    HWND top = headless::TopLevelWindowAt(point);
    const Shown* s = top ? state_->Find(top) : nullptr;
    if (!s || !state_->display)
        return POINT{point.x * state_->scale, point.y * state_->scale};
    Area area = state_->OnRoot(*s);
    return POINT{area.left + (point.x - s->info.rect.left) * state_->scale,
                 area.top + (point.y - s->info.rect.top) * state_->scale};
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
    return headless::WorkPending();
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
