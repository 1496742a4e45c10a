// Message boxes: a "#32770" window with the text and an OK button, and a modal
// loop that goes on fetching and dispatching every message of the thread (so windows that the box
// does not own stay usable), the box's own through the dialog manager, until OK (clicked, or Enter
// or Space), Escape or the close box ends it. A quit message ends the loop too and is posted again
// for the outer loop, as the platform does.
#include <algorithm>
#include <utility>

#include "platform/own/dialog.h"
#include "platform/own/headless.h"
#include "platform/own/hooks.h"
#include "platform/own/message_box.h"
#include "platform/own/window.h"

namespace {
own::BoxObserver g_observer = nullptr;
std::vector<headless::BoxInfo> g_open;

constexpr int kTextLeft = 12;
constexpr int kTextId = 0xFFFF;

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        // A box with only OK answers OK however it is dismissed.
        EndDialog(box, IDOK);
        return TRUE;
    }
    return FALSE;
}

HWND Child(HWND box, const char* cls, const std::string& text, DWORD style, const RECT& r, int id) {
    return CreateWindowExA(WS_EX_NOPARENTNOTIFY, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                           r.left, r.top, r.right - r.left, r.bottom - r.top, box,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr,
                           nullptr);
}

// Laid out as the platform lays out a box with one button and no icon: the text 12 pixels in and
// 8 down, at least as wide as the button with a third of its width either side; the button, twice
// a line high and twice as wide, under the text; the box centred on the screen.
HWND CreateBox(const std::string& text, const std::string& title, HWND* ok) {
    // Measured in the lines that the front ends draw.
    std::vector<std::string> lines = headless::TextLines(text);
    std::size_t longest = 0;
    for (const std::string& line : lines)
        longest = std::max(longest, line.size());
    int buttonHeight = 2 * headless::kBaseUnitY;
    int buttonWidth = 2 * std::max(2 * headless::kBaseUnitX, buttonHeight);
    int textHeight = static_cast<int>(lines.size()) * headless::kBaseUnitY;
    int textWidth = std::max(static_cast<int>(longest) * headless::kBaseUnitX,
                             buttonWidth + 2 * (buttonWidth / 3) - kTextLeft);
    int textBand = 16 + textHeight;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    RECT nc = own::NonClientFrame(style, WS_EX_DLGMODALFRAME);
    int width = 2 * kTextLeft + textWidth + nc.left + nc.right;
    int height = 8 + textBand + buttonHeight + nc.top + nc.bottom;
    HWND box = CreateWindowExA(
        WS_EX_DLGMODALFRAME, WC_DIALOG, title.c_str(), style, (headless::kScreenWidth - width) / 2,
        (headless::kScreenHeight - height) / 2, width, height, nullptr, nullptr, nullptr, nullptr);
    if (!box)
        return nullptr;
    own::FindDialogInfo(box, true)->proc = BoxProc;
    // The text and the button each start a group, so that the arrows keep the focus on the button.
    Child(box, "Static", text, WS_GROUP | SS_LEFT,
          RECT{kTextLeft, (textBand - textHeight) / 2, kTextLeft + textWidth,
               (textBand + textHeight) / 2},
          kTextId);
    int buttonLeft = (width - buttonWidth) / 2;
    *ok =
        Child(box, "Button", "OK", WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON,
              RECT{buttonLeft, textBand, buttonLeft + buttonWidth, textBand + buttonHeight}, IDOK);
    return box;
}

// The modal loop. Returns the box's result, or 0 when a quit message ended it.
int RunModal(HWND box) {
    INT_PTR result = 0;
    while (IsWindow(box) && !own::DialogEnded(box, &result)) {
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return 0;
        }
        if (got == -1)
            return 0;
        if (!own::DialogEnded(box, nullptr) && !IsDialogMessageA(box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(result);
}

}  // namespace

namespace own {
BoxObserver SetBoxObserver(BoxObserver observer) {
    return std::exchange(g_observer, observer);
}
void ForgetBoxes() {
    g_open.clear();
}
}  // namespace own

const std::vector<headless::BoxInfo>& headless::OpenBoxes() {
    return g_open;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    std::string body = text ? text : "";
    std::string title = caption ? caption : "Error";
    HWND ok = nullptr;
    HWND box = CreateBox(body, title, &ok);
    if (!box)
        return 0;
    bool disableOwner = owner && IsWindow(owner) && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    const headless::BoxInfo open{box, ok, body, title, type};
    g_open.push_back(open);
    ShowWindow(box, SW_SHOWNORMAL);
    if (g_observer)
        g_observer(open);
    int result = RunModal(box);
    std::erase_if(g_open, [box](const headless::BoxInfo& b) { return b.box == box; });
    if (IsWindow(box))
        DestroyWindow(box);
    if (disableOwner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    return result;
}
