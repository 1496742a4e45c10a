#pragma once
// The headless driver of the own layer: what front ends (and tests) use to play a person at the
// keyboard and screen, and to see what such a person would see. What only tests need (recording
// messages, answering boxes, scripts of input) lives in tests/support and reaches the layer through
// the hooks of platform/own/hooks.h.
//
// Geometry. Every rectangle is in screen pixels. The screen is kScreenWidth x kScreenHeight and
// has no task bar, so the work area is the whole screen. Dialog units become pixels with the fixed
// base units kBaseUnitX x kBaseUnitY (6 x 13, what MS Sans Serif 8 pt gives at 96 DPI), whatever
// the template's font: x px = MulDiv(x, 6, 4), y px = MulDiv(y, 13, 8). A top-level window with a
// caption has a 3-pixel dialog frame and an 18-pixel caption bar with a 1-pixel line beneath it;
// its close box is the 16 x 14 square at the right end of the bar (WindowInfo::closeBox).
//
// Input. Injected input waits in the layer's input queue, after posted messages, as the
// platform's hardware input does; it is turned into window messages (hit-tested through
// WM_NCHITTEST, routed to the capture or focus window) when GetMessageA or PeekMessageA takes it.
// Nothing runs until something pumps messages: the program's own loop, a modal message box, or
// DoEvents() here.
//
// Waiting. When GetMessageA finds nothing to return (no posted message, no input, no window to
// paint, no timer due) it asks the InputSource installed with SetInputSource for more. A source
// that has none left returns false; the layer then reports the windows on screen to stderr and
// aborts, since a real run would wait forever.
//
// Time. Timers fire by GetTickCount, the system's monotonic clock unless a test moves a clock of
// its own (platform/own/hooks.h). MillisecondsToNextTimer tells a front end how long it may wait.
//
// Not modelled, since the program does not rely on it: drawing (a window only knows that it wants
// painting, never which part), moving and sizing windows, the non-client messages of activation
// and positioning (WM_NCACTIVATE, WM_WINDOWPOSCHANGING and the like), WM_SETCURSOR and
// WM_MOUSEACTIVATE, and the dialog manager's keyboard interface outside message boxes.

#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;
inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

// ---- What is on screen

struct WindowInfo {
    HWND hwnd;
    HWND parent;            // null for top-level windows
    std::string className;  // "Button", "Static", "msctls_trackbar32", "SysTabControl32"...
    std::string text;
    DWORD style;
    DWORD exStyle;
    int id;         // control id (-1 for the group boxes of a dialog); 0 for top-level windows
    RECT rect;      // window rectangle, screen pixels
    RECT client;    // client rectangle, screen pixels
    RECT closeBox;  // empty unless the window has a caption with a close box
    int depth;      // 0 for top-level windows, 1 for their children...
    int zOrder;     // position among its siblings (or among top-level windows), 0 on top
    bool visible;   // the window and all its ancestors have WS_VISIBLE
    bool focused;   // has the keyboard focus
    bool active;    // is the active top-level window
    bool enabled;   // not WS_DISABLED
};

// Every window, top-level windows in z-order (top first), each followed depth-first by its
// children in z-order: the order in which a front end draws them back to front is the reverse.
std::vector<WindowInfo> Windows();
bool GetWindowInfo(HWND hwnd, WindowInfo* info);
// The first child of parent (any depth) with this class and text; null when there is none.
HWND FindChild(HWND parent, const std::string& className, const std::string& text);
// The visible top-level window whose rectangle holds the point, the topmost; null for none.
HWND TopLevelWindowAt(POINT screen);

// A window text as a person reads it: without the '&' that marks a mnemonic ("&&" stands for
// one '&'), and cut into its lines (CR dropped).
std::string WithoutMnemonics(const std::string& text);
std::vector<std::string> TextLines(const std::string& text);

struct TrackbarState {
    int min, max, page, line, pos;
    RECT channel;  // screen pixels
    RECT thumb;    // screen pixels
    bool dragging;
};
bool GetTrackbarState(HWND slider, TrackbarState* state);

struct TabState {
    std::vector<std::string> items;
    std::vector<RECT> itemRects;  // screen pixels, one per item
    int selected;                 // -1 when none
};
bool GetTabState(HWND tab, TabState* state);

struct ButtonState {
    DWORD type;    // style & BS_TYPEMASK
    WPARAM check;  // BST_UNCHECKED, BST_CHECKED...
    bool pushed;   // held down by the mouse or space bar
};
bool GetButtonState(HWND button, ButtonState* state);

struct BoxInfo {
    HWND box;
    HWND okButton;
    std::string text;
    std::string title;
    UINT type;
};
// Message boxes that are open, oldest first: back() is the innermost, the one whose modal loop
// runs.
std::vector<BoxInfo> OpenBoxes();

// ---- Input, as a person gives it

void MouseDown(POINT screen);
void MouseMove(POINT screen);
void MouseUp(POINT screen);
void KeyDown(UINT vk);
void KeyUp(UINT vk);
void PressKey(UINT vk);  // down and up
// Another program's window takes the keyboard focus: keys and the button held are let go there,
// without a release for this program, and the mouse capture is released.
void LoseFocus();

// Helpers that aim the mouse; they do nothing for a window that is not on screen. When the point to
// click is covered by another top-level window, the helper first brings the target's top-level
// window forward (as a person does by clicking on it in the task bar); the click itself is always a
// real hit-tested click.
void Click(HWND control);                          // at the centre of its window rectangle
void ClickTab(HWND tab, int index);                // on the item
void ClickSliderThumb(HWND slider);                // focuses it, moves nothing
void ClickSliderChannel(HWND slider, bool right);  // one page left or right of the thumb
void DragSlider(HWND slider, int position);        // thumb to the tick of the position, then let go
void CloseWindow(HWND topLevel);                   // its caption's close box
bool DismissBox();                                 // OK on the innermost open message box
// Brings a top-level window to the front and activates it.
void BringForward(HWND topLevel);
// The screen point at which the slider's thumb stands for a position (its centre).
POINT SliderPointFor(HWND slider, int position);

// ---- Running

// Dispatches every posted message, input and paint that is pending, without waiting and without
// asking the input source. Returns the number of messages dispatched. It stops before a quit
// message and leaves it in the queue for the program's loop (see QuitSeen).
int DoEvents();
// The milliseconds until a timer is due: 0 when one is, -1 when there is none.
int MillisecondsToNextTimer();
// True while a quit message waits in the queue; *code gets its exit code.
bool QuitSeen(int* code = nullptr);

// Where GetMessageA gets more input when it would wait.
class InputSource {
  public:
    virtual ~InputSource();
    // Inject input, post messages or change state; false when there is no more input to give.
    // May block (a terminal waiting for a key). Returning true without giving anything is allowed
    // (the layer asks again), so a source that never gives anything spins.
    virtual bool ProvideInput() = 0;
};
void SetInputSource(InputSource* source);
InputSource* GetInputSource();

}  // namespace headless

namespace own {
// The module handle of the program, for the Linux entry points to pass to WinMain.
HINSTANCE ProgramInstance();
}  // namespace own
