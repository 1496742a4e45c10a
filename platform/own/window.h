#pragma once
// Inside the own layer: the window and class records behind the handles, and the helpers that the
// layer's files share. Nothing outside platform/own includes this.

#include <memory>
#include <string>
#include <vector>

#include "platform/own/win32.h"

namespace own {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    bool system = false;  // registered by the layer, found from any module
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> cls;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // null for top-level windows
    int id = 0;
    RECT rect{};  // window rectangle: parent's client coordinates, or screen for top-level
    std::vector<HWND> children;  // z-order, top first
    std::vector<unsigned char> extra;
    LONG_PTR userData = 0;
    DLGPROC dialogProc = nullptr;
    std::shared_ptr<void> controlState;  // owned here, reached through the first extra bytes
    bool updatePending = false;
    bool eraseNeeded = false;
    bool destroying = false;
    bool closeBoxPressed = false;
};

// The live window of a handle; null for null, unknown and already destroyed handles.
Window* FindWindowRecord(HWND hwnd);
// The class registered under a name (case-insensitive) for an instance, or a system class.
std::shared_ptr<const WindowClass> FindClass(const char* nameOrAtom, HINSTANCE instance);
// Registers one of the layer's own classes (Button, Static, the common controls, "#32770").
void RegisterSystemClass(const char* name, ATOM atom, WNDPROC proc, int wndExtra,
                         HBRUSH background);

// Gives a control its state: the window owns it (so it goes with the window, even at exit) and
// the first extra bytes point to it, as the platform's controls keep theirs.
void AttachControlState(HWND hwnd, std::shared_ptr<void> state);
void DetachControlState(HWND hwnd);

// How many windows exist.
std::size_t WindowCount();
// Top-level windows in z-order, top first.
const std::vector<HWND>& TopLevelWindows();
// Moves a top-level window, or a child among its siblings, to the top or the bottom.
void BringToTop(HWND hwnd);
void SendToBottom(HWND hwnd);

// The window rectangle in screen coordinates, and the client rectangle in screen coordinates.
RECT ScreenWindowRect(HWND hwnd);
RECT ScreenClientRect(HWND hwnd);
// The non-client frame that a style gives a window: left/top/right/bottom thickness.
RECT NonClientFrame(DWORD style, DWORD exStyle);
// The top-level window that contains hwnd (hwnd itself for a top-level window).
HWND TopLevelOf(HWND hwnd);

// Calls a window's procedure, telling the message recorder. Never keeps the record across the call.
LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool posted);

// Hides a window that is being destroyed: no WM_SHOWWINDOW, but what lay under it is repainted
// and activation moves on, as with the platform's hiding by window position.
void HideForDestroy(HWND hwnd);

// Activates the top-level window under a click (WA_CLICKACTIVE), raising it.
void ActivateByClick(HWND top);
// Forgets focus, activation and capture; for tear-down between tests.
void ForgetInputState();

// Whether a window wants painting; the paint search walks the window tree.
HWND FindWindowToPaint();
void InvalidateTree(HWND hwnd);

// The close box of a window with a caption and a window menu, screen pixels; empty otherwise.
RECT CloseBoxRect(HWND hwnd);
RECT CloseBoxFor(const RECT& windowRect, DWORD style, DWORD exStyle);

// Hit-testing in screen coordinates, through WM_NCHITTEST as the platform does.
HWND WindowFromScreenPoint(POINT screen, LRESULT* hitCode);

// The dialog base units of every dialog: MS Sans Serif 8 at 96 DPI.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
// The screen on which top-level windows are placed, in pixels.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// The non-client metrics of the classic look: dialog frame and caption.
constexpr int kFrameWidth = 3;
constexpr int kCaptionHeight = 18;
constexpr int kCloseBoxSize = 16;

// Registers the control classes; called once before any class is looked up.
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterDialogClass();
void RegisterTrackbarClass();
void RegisterTabClass();
void EnsureSystemClasses();

// Message boxes that are open, oldest first.
struct OpenBox {
    HWND box;
    HWND okButton;
    std::string text;
    std::string title;
    UINT type;
};
const std::vector<OpenBox>& OpenBoxes();

// Input queue, consulted by GetMessageA after posted messages (input.cpp).
bool TakeInputMessage(MSG* msg);
bool HasPendingInput();
void ClearInput();
void InjectMouseDown(POINT screen);
void InjectMouseMove(POINT screen);
void InjectMouseUp(POINT screen);
void InjectKeyDown(UINT vk);
void InjectKeyUp(UINT vk);

// A rising message time; and whether a quit message waits (with its code).
DWORD NextMessageTime();
bool QuitPending(int* code);

// Every window, top-level and child; for tear-down between tests.
void DestroyAllWindows();
void ResetMessageQueue();

}  // namespace own
