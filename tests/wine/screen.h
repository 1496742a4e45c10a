#pragma once
// What the probe sees of the control panel in another process: its controls found as a person
// finds them (by caption, or by the group box they stand in), their screen rectangles, and the
// points where a person would click. Failures throw ProbeError.
#include <windows.h>

#include <string>
#include <vector>

namespace probe {

inline constexpr const char* kPanelClass = "DLGCLASS";
inline constexpr const char* kPanelCaption = "AI Control Panel";

struct ProbeError {
    std::string why;
};

[[noreturn]] void Fail(const std::string& why);

HWND Panel();
std::string ClassOf(HWND window);
// Asks the window itself (WM_GETTEXT), as a person reading the screen would see it.
std::string TextOf(HWND window);
bool IsClass(HWND window, const char* name);
RECT ScreenRect(HWND window);
POINT Centre(const RECT& rect);
std::vector<HWND> Children(HWND parent);

// A push button or check box with exactly this caption.
HWND ButtonNamed(const std::string& caption);
// The control of the given class lying inside the group box with this caption.
HWND InGroup(const std::string& caption, const char* className);
HWND Slider(const std::string& caption);
HWND Tabs();
// The program's open "Error" boxes, the one on top first, and the message of one.
std::vector<HWND> Boxes();
std::string BoxText(HWND box);

// A rectangle that a control message fills in the control's client coordinates, in screen pixels.
RECT ControlRect(HWND control, UINT message, WPARAM wParam);
std::vector<std::string> TabTexts(HWND tabs);
int TabIndex(HWND tabs, const std::string& text);
// Where the slider's thumb centre stands at a position; a point in the channel beside the thumb.
POINT TickPoint(HWND slider, int position);
POINT ChannelPoint(HWND slider, const std::string& side);
// The middle of the panel's close box.
POINT CloseBoxPoint(HWND panel);

}  // namespace probe
