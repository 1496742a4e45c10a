// The Static class: a text that the parent may colour. It is transparent to the mouse, so a click
// on a label reaches what lies beneath.
#include "platform/own/controls.h"
#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace own {
namespace {

struct StaticClass {
    static constexpr const char* kClassName = "Static";
    static constexpr UINT kFirstMessage = 0x0170;  // STM_SETICON
    static constexpr UINT kLastMessage = 0x0173;   // STM_GETIMAGE
};

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_SETTEXT:
            DefWindowProcA(hwnd, message, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        case WM_PAINT:
            return PaintWithParentColours(hwnd, WM_CTLCOLORSTATIC);
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        default:
            return DefControlProc<StaticClass>(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterStaticClass() {
    RegisterSystemClass("Static", 0x0082, StaticProc, 0, nullptr);
}

}  // namespace own
