#pragma once
// Inside the own layer: the window records behind the handles, the window tree and z-order, the
// geometry of the classic look, and the procedure call that every message goes through. Nothing
// outside platform/own includes this.

#include <memory>
#include <string>
#include <vector>

#include "platform/own/win32.h"
#include "platform/own/window_class.h"

namespace own {

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> cls;
    WNDPROC proc = nullptr;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // null for top-level windows
    int id = 0;
    RECT rect{};  // window rectangle: parent's client coordinates, or screen for top-level
    std::vector<HWND> children;  // z-order, top first
    std::vector<unsigned char> extra;
    std::shared_ptr<void> controlState;  // a control class's state (controls.h)
    bool updatePending = false;
    bool eraseNeeded = false;
    bool destroying = false;
    bool closeBoxPressed = false;
};

// The live window of a handle; null for null, unknown and already destroyed handles.
Window* FindWindowRecord(HWND hwnd);
// The same, for the platform's functions: a handle that names no live window sets the last error.
Window* CheckedWindow(HWND hwnd);
// Top-level windows in z-order, top first.
const std::vector<HWND>& TopLevelWindows();
// Moves a top-level window, or a child among its siblings, to the top.
void BringToTop(HWND hwnd);
// Destroys every window, top-level and child.
void DestroyAllWindows();

// Calls a window's procedure, telling the procedure observer. Never keeps the record across the
// call.
LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool posted);

// The non-client metrics of the classic look: dialog frame and caption bar; a line of the frame's
// colour parts the bar from the client area.
constexpr int kFrameWidth = 3;
constexpr int kCaptionHeight = 18;
constexpr int kCaptionLine = 1;
constexpr int kCloseBoxSize = 16;

// The window rectangle in screen coordinates, and the client rectangle in screen coordinates.
RECT ScreenWindowRect(HWND hwnd);
RECT ScreenClientRect(HWND hwnd);
// The non-client frame that a style gives a window: left/top/right/bottom thickness.
RECT NonClientFrame(DWORD style, DWORD exStyle);
// The client rectangle inside a window rectangle, in the same coordinates.
RECT ClientRectOf(const RECT& windowRect, DWORD style, DWORD exStyle);
// A rectangle given relative to the top left corner of origin, in origin's coordinates.
RECT MovedTo(const RECT& r, const RECT& origin);
// The close box of a window with this rectangle and these styles: a square at the right end of
// the caption, when there is a caption with a window menu; empty otherwise.
RECT CloseBoxRect(const RECT& windowRect, DWORD style, DWORD exStyle);
// The top-level window that contains hwnd (hwnd itself for a top-level window).
HWND TopLevelOf(HWND hwnd);

}  // namespace own
