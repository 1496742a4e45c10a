// The headless driver: windows and control states as a person sees them, the walk that front ends
// draw them with, input as a person gives it, and the input source that GetMessageA asks when it
// would wait.
#include "platform/own/headless.h"

#include <algorithm>

#include "platform/own/queue.h"
#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace headless {
namespace {

InputSource* g_source = nullptr;

// Describes a window and then, depth first, its children in z-order: each from its record and its
// parent's placement, so that a walk over every window costs one pass (front ends walk them all
// on every frame).
void Collect(HWND hwnd, const RECT& parentClient, bool parentVisible, int depth, HWND focus,
             HWND active, std::vector<WindowInfo>* out) {
    const own::Window* w = own::FindWindowRecord(hwnd);
    if (!w)
        return;
    RECT rect = w->parent ? own::MovedTo(w->rect, parentClient) : w->rect;
    WindowInfo info{w->handle,
                    w->parent,
                    w->cls->name,
                    w->text,
                    w->style,
                    w->exStyle,
                    w->id,
                    rect,
                    own::ClientRectOf(rect, w->style, w->exStyle),
                    own::CloseBoxRect(rect, w->style, w->exStyle),
                    depth,
                    parentVisible && (w->style & WS_VISIBLE) != 0,
                    focus == w->handle,
                    active == w->handle,
                    (w->style & WS_DISABLED) == 0};
    out->push_back(info);
    for (HWND child : w->children)
        Collect(child, info.client, info.visible, depth + 1, focus, active, out);
}

bool IsContainer(const WindowInfo& w) {
    Kind kind = KindOf(w);
    return kind == Kind::kTabs || kind == Kind::kGroupBox;
}

void Draw(const WindowInfo& w, Painter* painter) {
    switch (KindOf(w)) {
        case Kind::kGroupBox:
            return painter->GroupBox(w);
        case Kind::kPushButton:
            return painter->PushButton(w);
        case Kind::kCheckBox:
            return painter->CheckBox(w);
        case Kind::kSlider:
            return painter->Slider(w);
        case Kind::kTabs:
            return painter->Tabs(w);
        case Kind::kStatic:
            return painter->Static(w);
    }
}

void PaintChildren(const TopLevel& top, HWND parent, Painter* painter) {
    const std::vector<WindowInfo>& all = top.descendants;
    for (bool containers : {true, false}) {
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            if (it->parent != parent || IsContainer(*it) != containers)
                continue;
            Draw(*it, painter);
            PaintChildren(top, it->hwnd, painter);
        }
    }
}

}  // namespace

std::vector<WindowInfo> Windows() {
    std::vector<WindowInfo> out;
    HWND focus = GetFocus();
    HWND active = GetActiveWindow();
    for (HWND top : own::TopLevelWindows())
        Collect(top, RECT{}, true, 0, focus, active, &out);
    return out;
}

bool GetWindowInfo(HWND hwnd, WindowInfo* info) {
    for (const WindowInfo& w : Windows()) {
        if (w.hwnd == hwnd && info) {
            *info = w;
            return true;
        }
    }
    return false;
}

std::vector<TopLevel> VisibleTopLevels() {
    std::vector<TopLevel> tops;
    for (const WindowInfo& w : Windows()) {
        if (w.depth == 0 && w.visible)
            tops.push_back(TopLevel{w, {}});
        else if (w.visible)
            tops.back().descendants.push_back(w);
    }
    std::reverse(tops.begin(), tops.end());
    return tops;
}

bool IsMessageBox(HWND hwnd) {
    return std::any_of(OpenBoxes().begin(), OpenBoxes().end(),
                       [hwnd](const BoxInfo& box) { return box.box == hwnd; });
}

Kind KindOf(const WindowInfo& control) {
    if (own::SameClassName(control.className, own::ButtonInfo::kClassName)) {
        DWORD type = control.style & BS_TYPEMASK;
        if (type == BS_GROUPBOX)
            return Kind::kGroupBox;
        return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? Kind::kPushButton
                                                                 : Kind::kCheckBox;
    }
    if (own::SameClassName(control.className, own::TrackbarInfo::kClassName))
        return Kind::kSlider;
    if (own::SameClassName(control.className, own::TabInfo::kClassName))
        return Kind::kTabs;
    return Kind::kStatic;
}

POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
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

RECT OnScreen(const WindowInfo& control, const RECT& client) {
    return own::MovedTo(client, control.client);
}

Painter::~Painter() = default;

void Paint(const TopLevel& top, Painter* painter) {
    painter->Frame(top.window);
    PaintChildren(top, top.window.hwnd, painter);
}

void MouseDown(POINT screen) {
    own::InjectInput(own::InputKind::kMouseDown, screen, 0);
}
void MouseMove(POINT screen) {
    own::InjectInput(own::InputKind::kMouseMove, screen, 0);
}
void MouseUp(POINT screen) {
    own::InjectInput(own::InputKind::kMouseUp, screen, 0);
}
void KeyDown(UINT vk) {
    own::InjectInput(own::InputKind::kKeyDown, POINT{}, vk);
}
void KeyUp(UINT vk) {
    own::InjectInput(own::InputKind::kKeyUp, POINT{}, vk);
}
void PressKey(UINT vk) {
    KeyDown(vk);
    KeyUp(vk);
}
void LoseFocus() {
    own::InjectInput(own::InputKind::kFocusLost, POINT{}, 0);
}

POINT SliderPointFor(HWND slider, int position) {
    const own::TrackbarInfo* bar = Trackbar(slider);
    WindowInfo info;
    if (!bar || !GetWindowInfo(slider, &info))
        return POINT{};
    RECT channel = OnScreen(info, bar->channel);
    POINT thumb = Centre(OnScreen(info, bar->thumb));
    LONG range = bar->max - bar->min;
    LONG thumbWidth = bar->thumb.right - bar->thumb.left;
    LONG span = channel.right - channel.left - thumbWidth;
    LONG x = channel.left + thumbWidth / 2 + (range > 0 ? span * (position - bar->min) / range : 0);
    // Nudge towards a pixel that the control itself maps to the position.
    for (LONG d = 0; d < span + thumbWidth; ++d) {
        for (LONG candidate : {x - d, x + d}) {
            if (own::TrackbarPositionAt(slider, static_cast<int>(candidate - info.client.left)) ==
                position) {
                return POINT{candidate, thumb.y};
            }
        }
    }
    return POINT{x, thumb.y};
}

void CloseWindow(HWND topLevel) {
    WindowInfo info;
    if (!GetWindowInfo(topLevel, &info) || !info.visible ||
        info.closeBox.right <= info.closeBox.left)
        return;
    POINT p = Centre(info.closeBox);
    if (TopLevelWindowAt(p) != topLevel)
        BringForward(topLevel);
    MouseDown(p);
    MouseUp(p);
}

void BringForward(HWND topLevel) {
    if (IsWindow(topLevel))
        SetActiveWindow(topLevel);
}

int MillisecondsToNextTimer() {
    return own::MillisecondsToNextTimer();
}

bool WorkPending() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

InputSource::~InputSource() = default;

void SetInputSource(InputSource* source) {
    g_source = source;
}

InputSource* GetInputSource() {
    return g_source;
}

}  // namespace headless
