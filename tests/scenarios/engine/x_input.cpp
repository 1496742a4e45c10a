#include "tests/scenarios/engine/x_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace x_input {
static Display* g_display = nullptr;

bool Open() {
    int ignored = 0;
    g_display = XOpenDisplay(nullptr);
    return g_display && XTestQueryExtension(g_display, &ignored, &ignored, &ignored, &ignored);
}

void Move(int x, int y) {
    XTestFakeMotionEvent(g_display, -1, x, y, CurrentTime);
}

void Button(bool down) {
    XTestFakeButtonEvent(g_display, 1, down, CurrentTime);
}

// The key of a virtual-key code (scenario::kKeys names them all).
KeySym Symbol(int vk) {
    switch (vk) {
        case 0x09:
            return XK_Tab;
        case 0x0D:
            return XK_Return;
        case 0x10:
            return XK_Shift_L;
        case 0x11:
            return XK_Control_L;
        case 0x12:
            return XK_Alt_L;
        case 0x1B:
            return XK_Escape;
        case 0x20:
            return XK_space;
        case 0x21:
            return XK_Prior;
        case 0x22:
            return XK_Next;
        case 0x23:
            return XK_End;
        case 0x24:
            return XK_Home;
        case 0x25:
            return XK_Left;
        case 0x26:
            return XK_Up;
        case 0x27:
            return XK_Right;
        case 0x28:
            return XK_Down;
        case 0x73:
            return XK_F4;
        default:
            return NoSymbol;
    }
}

void Key(int vk, bool down) {
    XTestFakeKeyEvent(g_display, XKeysymToKeycode(g_display, Symbol(vk)), down, CurrentTime);
}

void Sync() {
    XSync(g_display, False);
}

}  // namespace x_input
