#include "tests/scenarios/engine/x_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

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
    XSync(g_display, False);
}

void Key(unsigned keysym, bool down) {
    XTestFakeKeyEvent(g_display, XKeysymToKeycode(g_display, keysym), down, CurrentTime);
    XSync(g_display, False);
}

}  // namespace x_input
