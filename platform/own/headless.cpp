// The headless driver: windows and control states as a person sees them, input as a person gives
// it, and the pump that tests use in place of the program's own loop.
#include "platform/own/headless.h"

#include <algorithm>
#include <cstdio>

#include "platform/own/controls.h"
#include "platform/own/dialog.h"
#include "platform/own/message_box.h"
#include "platform/own/queue.h"
#include "platform/own/window.h"

namespace headless {
namespace {

RECT Offset(RECT r, const RECT& origin) {
    return RECT{r.left + origin.left, r.top + origin.top, r.right + origin.left,
                r.bottom + origin.top};
}

POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// What GetWindowInfo gives, computed from the record and its parent's placement, so that a walk
// over every window costs one pass (front ends walk them all on every frame).
WindowInfo Describe(const own::Window& w, const RECT& parentClient, bool parentVisible, HWND focus,
                    HWND active) {
    RECT rect = w.rect;
    if (w.parent) {
        rect = Offset(rect, parentClient);
    }
    RECT nc = own::NonClientFrame(w.style, w.exStyle);
    RECT client{rect.left + nc.left, rect.top + nc.top,
                std::max(rect.left + nc.left, rect.right - nc.right),
                std::max(rect.top + nc.top, rect.bottom - nc.bottom)};
    return WindowInfo{w.handle,
                      w.parent,
                      w.cls->name,
                      w.text,
                      w.style,
                      w.exStyle,
                      w.id,
                      rect,
                      client,
                      own::CloseBoxRect(rect, w.style, w.exStyle),
                      0,
                      0,
                      parentVisible && (w.style & WS_VISIBLE) != 0,
                      focus == w.handle,
                      active == w.handle,
                      (w.style & WS_DISABLED) == 0};
}

void Collect(HWND hwnd, const RECT& parentClient, bool parentVisible, int depth, int zOrder,
             HWND focus, HWND active, std::vector<WindowInfo>* out) {
    const own::Window* w = own::FindWindowRecord(hwnd);
    if (!w)
        return;
    out->push_back(Describe(*w, parentClient, parentVisible, focus, active));
    out->back().depth = depth;
    out->back().zOrder = zOrder;
    RECT client = out->back().client;
    bool visible = out->back().visible;
    int z = 0;
    for (HWND child : w->children)
        Collect(child, client, visible, depth + 1, z++, focus, active, out);
}

bool Inside(const RECT& r, POINT p) {
    return PtInRect(&r, p) != FALSE;
}

// Raises the target's top-level window when another one lies over the point to click.
void Uncover(HWND target, POINT p) {
    HWND top = own::TopLevelOf(target);
    for (HWND other : own::TopLevelWindows()) {
        if (other == top)
            return;
        if (IsWindowVisible(other) && Inside(own::ScreenWindowRect(other), p)) {
            BringForward(top);
            return;
        }
    }
}

void ClickAt(HWND target, POINT p) {
    if (!IsWindowVisible(target))
        return;
    Uncover(target, p);
    MouseDown(p);
    MouseUp(p);
}

}  // namespace

std::vector<WindowInfo> Windows() {
    std::vector<WindowInfo> out;
    out.reserve(own::WindowCount());
    HWND focus = GetFocus();
    HWND active = GetActiveWindow();
    int z = 0;
    for (HWND top : own::TopLevelWindows())
        Collect(top, RECT{}, true, 0, z++, focus, active, &out);
    return out;
}

bool GetWindowInfo(HWND hwnd, WindowInfo* info) {
    own::Window* w = own::FindWindowRecord(hwnd);
    if (!w || !info)
        return false;
    RECT parentClient = w->parent ? own::ScreenClientRect(w->parent) : RECT{};
    bool parentVisible = !w->parent || IsWindowVisible(w->parent);
    *info = Describe(*w, parentClient, parentVisible, GetFocus(), GetActiveWindow());
    return true;
}

HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
    own::Window* w = own::FindWindowRecord(parent);
    if (!w)
        return nullptr;
    for (HWND child : w->children) {
        own::Window* c = own::FindWindowRecord(child);
        if (c->cls->name == className && c->text == text)
            return child;
        if (HWND found = FindChild(child, className, text))
            return found;
    }
    return nullptr;
}

HWND TopLevelWindowAt(POINT screen) {
    for (const WindowInfo& w : Windows()) {
        if (w.depth == 0 && w.visible && PtInRect(&w.rect, screen))
            return w.hwnd;
    }
    return nullptr;
}

std::string WithoutMnemonics(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char ch : text) {
        if (ch == '\n')
            lines.emplace_back();
        else if (ch != '\r')
            lines.back() += ch;
    }
    return lines;
}

bool GetTrackbarState(HWND slider, TrackbarState* state) {
    own::TrackbarSnapshot s;
    if (!state || !own::GetTrackbarSnapshot(slider, &s))
        return false;
    RECT client = own::ScreenClientRect(slider);
    *state = TrackbarState{
        s.min,     s.max, s.page, s.line, s.pos, Offset(s.channel, client), Offset(s.thumb, client),
        s.dragging};
    return true;
}

bool GetTabState(HWND tab, TabState* state) {
    own::TabSnapshot s;
    if (!state || !own::GetTabSnapshot(tab, &s))
        return false;
    RECT client = own::ScreenClientRect(tab);
    state->items = s.items;
    state->itemRects.clear();
    for (const RECT& r : s.rects)
        state->itemRects.push_back(Offset(r, client));
    state->selected = s.selected;
    return true;
}

bool GetButtonState(HWND button, ButtonState* state) {
    own::ButtonSnapshot s;
    if (!state || !own::GetButtonSnapshot(button, &s))
        return false;
    *state = ButtonState{s.type, s.check, s.pushed};
    return true;
}

std::vector<BoxInfo> OpenBoxes() {
    std::vector<BoxInfo> out;
    for (const own::OpenBox& b : own::OpenBoxes()) {
        out.push_back(BoxInfo{b.box, b.okButton, b.text, b.title, b.type});
    }
    return out;
}

void MouseDown(POINT screen) {
    own::InjectMouseDown(screen);
}
void MouseMove(POINT screen) {
    own::InjectMouseMove(screen);
}
void MouseUp(POINT screen) {
    own::InjectMouseUp(screen);
}
void KeyDown(UINT vk) {
    own::InjectKeyDown(vk);
}
void KeyUp(UINT vk) {
    own::InjectKeyUp(vk);
}
void PressKey(UINT vk) {
    KeyDown(vk);
    KeyUp(vk);
}
void LoseFocus() {
    own::InjectFocusLost();
}

void Click(HWND control) {
    if (!IsWindow(control))
        return;
    ClickAt(control, Centre(own::ScreenWindowRect(control)));
}

void ClickTab(HWND tab, int index) {
    TabState state;
    if (!GetTabState(tab, &state) || index < 0 ||
        index >= static_cast<int>(state.itemRects.size())) {
        return;
    }
    ClickAt(tab, Centre(state.itemRects[static_cast<std::size_t>(index)]));
}

void ClickSliderThumb(HWND slider) {
    TrackbarState state;
    if (GetTrackbarState(slider, &state))
        ClickAt(slider, Centre(state.thumb));
}

void ClickSliderChannel(HWND slider, bool right) {
    TrackbarState state;
    if (!GetTrackbarState(slider, &state))
        return;
    LONG y = Centre(state.thumb).y;
    LONG x = right ? state.channel.right - 1 : state.channel.left;
    ClickAt(slider, POINT{x, y});
}

POINT SliderPointFor(HWND slider, int position) {
    TrackbarState state;
    if (!GetTrackbarState(slider, &state))
        return POINT{};
    RECT client = own::ScreenClientRect(slider);
    LONG range = state.max - state.min;
    LONG thumbWidth = state.thumb.right - state.thumb.left;
    LONG span = state.channel.right - state.channel.left - thumbWidth;
    LONG x = state.channel.left + thumbWidth / 2 +
             (range > 0 ? span * (position - state.min) / range : 0);
    // Nudge towards a pixel that the control itself maps to the position.
    for (LONG d = 0; d < span + thumbWidth; ++d) {
        for (LONG candidate : {x - d, x + d}) {
            if (own::TrackbarPositionAt(slider, static_cast<int>(candidate - client.left)) ==
                position) {
                return POINT{candidate, Centre(state.thumb).y};
            }
        }
    }
    return POINT{x, Centre(state.thumb).y};
}

void DragSlider(HWND slider, int position) {
    TrackbarState state;
    if (!GetTrackbarState(slider, &state))
        return;
    POINT from = Centre(state.thumb);
    POINT to = SliderPointFor(slider, position);
    if (!IsWindowVisible(slider))
        return;
    Uncover(slider, from);
    MouseDown(from);
    MouseMove(POINT{(from.x + to.x) / 2, from.y});
    MouseMove(to);
    MouseUp(to);
}

void CloseWindow(HWND topLevel) {
    WindowInfo info;
    if (GetWindowInfo(topLevel, &info) && info.closeBox.right > info.closeBox.left)
        ClickAt(topLevel, Centre(info.closeBox));
}

bool DismissBox() {
    const auto& boxes = own::OpenBoxes();
    if (boxes.empty())
        return false;
    Click(boxes.back().okButton);
    return true;
}

void BringForward(HWND topLevel) {
    if (IsWindow(topLevel))
        SetActiveWindow(topLevel);
}

int DoEvents() {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (++count == 100000) {
            std::fprintf(stderr, "headless::DoEvents: still busy after %d messages\n", count);
            break;
        }
    }
    return count;
}

int MillisecondsToNextTimer() {
    return own::MillisecondsToNextTimer();
}

bool QuitSeen(int* code) {
    return own::QuitPending(code);
}

}  // namespace headless
