#include "tests/scenarios/runner/screen.h"

#include <vector>

namespace screen {
namespace {

constexpr const char* kPanelCaption = "AI Control Panel";

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

// The panel's children as the driver reports them.
std::vector<headless::WindowInfo> Children() {
    std::vector<headless::WindowInfo> children;
    HWND panel = Panel();
    for (const headless::WindowInfo& info : headless::Windows()) {
        if (panel && info.parent == panel) {
            children.push_back(info);
        }
    }
    return children;
}

// The first child of a class that lies within the group box with that caption.
HWND InGroup(const std::string& group, const std::string& className) {
    std::vector<headless::WindowInfo> children = Children();
    for (const headless::WindowInfo& box : children) {
        if (box.className != "Button" || (box.style & BS_TYPEMASK) != BS_GROUPBOX ||
            box.text != group) {
            continue;
        }
        for (const headless::WindowInfo& child : children) {
            if (child.className == className && Inside(child.rect, box.rect)) {
                return child.hwnd;
            }
        }
    }
    return nullptr;
}

}  // namespace

HWND Panel() {
    for (const headless::WindowInfo& info : headless::Windows()) {
        if (!info.parent && info.visible && info.text == kPanelCaption) {
            return info.hwnd;
        }
    }
    return nullptr;
}

HWND Slider(const std::string& group) {
    return InGroup(group, "msctls_trackbar32");
}
HWND ValueLabel(const std::string& group) {
    return InGroup(group, "Static");
}

HWND ButtonWithCaption(const std::string& caption) {
    for (const headless::WindowInfo& child : Children()) {
        if (child.className == "Button" && (child.style & BS_TYPEMASK) != BS_GROUPBOX &&
            child.text == caption) {
            return child.hwnd;
        }
    }
    return nullptr;
}

HWND Tabs() {
    for (const headless::WindowInfo& child : Children()) {
        if (child.className == "SysTabControl32") {
            return child.hwnd;
        }
    }
    return nullptr;
}

int TabIndex(const std::string& text) {
    headless::TabState state;
    if (!headless::GetTabState(Tabs(), &state)) {
        return -1;
    }
    for (std::size_t i = 0; i < state.items.size(); ++i) {
        if (state.items[i] == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string SelectedTab() {
    headless::TabState state;
    if (!headless::GetTabState(Tabs(), &state) || state.selected < 0 ||
        state.selected >= static_cast<int>(state.items.size())) {
        return "";
    }
    return state.items[state.selected];
}

std::string Text(HWND window) {
    headless::WindowInfo info;
    return headless::GetWindowInfo(window, &info) ? info.text : "";
}

int SliderPosition(HWND slider) {
    headless::TrackbarState state;
    return headless::GetTrackbarState(slider, &state) ? state.pos : -1000000;
}

bool IsChecked(HWND box) {
    headless::ButtonState state;
    return headless::GetButtonState(box, &state) && state.check == BST_CHECKED;
}

}  // namespace screen
