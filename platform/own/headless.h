#pragma once
// The headless driver of the own layer: what front ends (and tests) use to play a person at the
// keyboard and screen, and to see what such a person would see. What only tests need (recording
// messages, answering boxes, scripts of input, aimed clicks, the pump) lives in tests/support and
// reaches the layer through the hooks of platform/own/hooks.h.
//
// Geometry. Windows' rectangles are in screen pixels. The screen is kScreenWidth x kScreenHeight
// and has no task bar, so the work area is the whole screen. Dialog units become pixels with the
// fixed base units kBaseUnitX x kBaseUnitY (6 x 13, what MS Sans Serif 8 pt gives at 96 DPI),
// whatever the template's font: x px = MulDiv(x, 6, 4), y px = MulDiv(y, 13, 8). A top-level window
// with a caption has a 3-pixel dialog frame and an 18-pixel caption bar with a 1-pixel line beneath
// it; its close box is the 16 x 14 square at the right end of the bar (WindowInfo::closeBox).
//
// Input. Injected input waits in the layer's input queue, after posted messages, as the
// platform's hardware input does; it is turned into window messages (hit-tested through
// WM_NCHITTEST, routed to the capture or focus window) when GetMessageA or PeekMessageA takes it.
// Nothing runs until something pumps messages: the program's own loop or a modal message box.
//
// Not modelled, since the program does not rely on it: drawing (a window only knows that it wants
// painting, never which part), moving and sizing windows, the non-client messages of activation
// and positioning (WM_NCACTIVATE, WM_WINDOWPOSCHANGING and the like), WM_SETCURSOR and
// WM_MOUSEACTIVATE, double clicks, and mnemonics ('&' in a control's text) in the dialog manager.

#include <string>
#include <vector>

#include "platform/own/controls.h"
#include "platform/own/font.h"  // the dialog font's metrics, for the front ends to draw in
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
    bool visible;   // the window and all its ancestors have WS_VISIBLE
    bool focused;   // has the keyboard focus
    bool active;    // is the active top-level window
    bool enabled;   // not WS_DISABLED
};

// Every window, top-level windows in z-order (top first), each followed depth-first by its
// children in z-order: the order in which a front end draws them back to front is the reverse.
std::vector<WindowInfo> Windows();
bool GetWindowInfo(HWND hwnd, WindowInfo* info);
// The visible top-level window whose rectangle holds the point, the topmost; null for none.
HWND TopLevelWindowAt(POINT screen);

// A visible top-level window and its visible descendants, as Windows() lists them.
struct TopLevel {
    WindowInfo window;
    std::vector<WindowInfo> descendants;
};
// The visible top-level windows, back to front: the order in which a front end draws them.
std::vector<TopLevel> VisibleTopLevels();
// Whether the window is one of the OpenBoxes().
bool IsMessageBox(HWND hwnd);

// What a front end draws a control as: by its class, matched without case as the platform matches
// class names, and a button by its type. Any other class is drawn as a static.
enum class Kind { kGroupBox, kPushButton, kCheckBox, kSlider, kTabs, kStatic };
Kind KindOf(const WindowInfo& control);
POINT Centre(const RECT& r);

// A window text as a person reads it: without the '&' that marks a mnemonic ("&&" stands for
// one '&'), and cut into its lines (CR dropped).
std::string WithoutMnemonics(const std::string& text);
std::vector<std::string> TextLines(const std::string& text);

// A control's own state, read in place: null unless the window is a live control of that class.
// Its rectangles are in the control's client pixels; OnScreen turns them into screen pixels.
const own::TrackbarInfo* Trackbar(HWND slider);
const own::TabInfo* Tabs(HWND tab);
const own::ButtonInfo* Button(HWND button);
RECT OnScreen(const WindowInfo& control, const RECT& client);

struct BoxInfo {
    HWND box;
    HWND okButton;
    std::string text;
    std::string title;
    UINT type;
};
// Message boxes that are open, oldest first: back() is the innermost, the one whose modal loop
// runs.
const std::vector<BoxInfo>& OpenBoxes();

// ---- Drawing them: one walk for every front end

// What a front end implements to draw, in pixels or in cells, as a renderer's backend does.
class Painter {
  public:
    virtual ~Painter();
    // The top-level window itself: its frame, caption and face.
    virtual void Frame(const WindowInfo& top) = 0;
    virtual void GroupBox(const WindowInfo& control) = 0;
    virtual void PushButton(const WindowInfo& control) = 0;
    virtual void CheckBox(const WindowInfo& control) = 0;
    virtual void Slider(const WindowInfo& control) = 0;
    virtual void Tabs(const WindowInfo& control) = 0;
    virtual void Static(const WindowInfo& control) = 0;
};

// The one walk: the frame, then the controls back to front, each before its own children, each by
// its KindOf. Among siblings, tab controls and group boxes come first, since the controls that lie
// on them show over them whatever their z-order.
void Paint(const TopLevel& top, Painter* painter);

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

// Clicks the close box of a top-level window's caption, first bringing the window forward (as a
// person does by clicking on it in the task bar) when another one covers the box.
void CloseWindow(HWND topLevel);
// Brings a top-level window to the front and activates it.
void BringForward(HWND topLevel);
// The screen point at which the slider's thumb stands for a position (its centre).
POINT SliderPointFor(HWND slider, int position);

// ---- Running

// The milliseconds until a timer is due (0 when one is, -1 when there is none): how long a front
// end may wait. Timers fire by GetTickCount, the system's monotonic clock unless a test moves a
// clock of its own (platform/own/hooks.h).
int MillisecondsToNextTimer();
// Whether the layer has something to do (a message, input, a window to paint, a timer due): a
// front end that has given input stops waiting then.
bool WorkPending();

// Where GetMessageA gets more input when it finds nothing to return (no posted message, no input,
// no window to paint, no timer due). With no source, or one that has no more, the layer reports
// the windows on screen to stderr and aborts, since a real run would wait forever.
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
