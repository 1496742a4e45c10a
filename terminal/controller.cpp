// Keys and mouse from the terminal, as injected input (see controller.h).
#include "terminal/controller.h"

#include <algorithm>

namespace terminal {
namespace {

bool IsPushButton(HWND hwnd) {
    headless::WindowInfo info;
    if (!headless::GetWindowInfo(hwnd, &info) || !IsClass(info, "Button")) {
        return false;
    }
    DWORD type = info.style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void MoveFocus(bool forward) {
    std::vector<HWND> stops = TabStops(MainWindow());
    if (stops.empty())
        return;
    auto at = std::find(stops.begin(), stops.end(), GetFocus());
    std::size_t next = 0;
    if (at == stops.end()) {
        next = forward ? 0 : stops.size() - 1;
    } else {
        std::size_t index = static_cast<std::size_t>(at - stops.begin());
        next = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
    }
    SetFocus(stops[next]);
}

// Enter and Escape answer the innermost message box, wherever the focus is.
bool AnswerBox(UINT vk) {
    const std::vector<headless::BoxInfo>& boxes = headless::OpenBoxes();
    if (boxes.empty())
        return false;
    HWND box = boxes.back().box;
    if (GetActiveWindow() != box)
        headless::BringForward(box);
    headless::PressKey(vk);
    return true;
}

UINT VirtualKey(Key key) {
    switch (key) {
        case Key::kLeft:
            return VK_LEFT;
        case Key::kRight:
            return VK_RIGHT;
        case Key::kUp:
            return VK_UP;
        case Key::kDown:
            return VK_DOWN;
        case Key::kHome:
            return VK_HOME;
        case Key::kEnd:
            return VK_END;
        case Key::kPageUp:
            return VK_PRIOR;
        case Key::kPageDown:
            return VK_NEXT;
        case Key::kSpace:
            return VK_SPACE;
        case Key::kEnter:
            return VK_RETURN;
        case Key::kEscape:
            return VK_ESCAPE;
        default:
            return 0;
    }
}

}  // namespace

Controller::~Controller() = default;

std::vector<HWND> TabStops(HWND dialog) {
    std::vector<headless::WindowInfo> stops;
    for (const headless::WindowInfo& w : headless::Windows()) {
        bool tabs = IsClass(w, "SysTabControl32");
        if (w.parent == dialog && dialog && w.visible && !(w.style & WS_DISABLED) &&
            ((w.style & WS_TABSTOP) || tabs)) {
            stops.push_back(w);
        }
    }
    // Reading order: by the top edge, then by the left one.
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    std::vector<HWND> handles;
    for (const headless::WindowInfo& w : stops)
        handles.push_back(w.hwnd);
    return handles;
}

void Controller::OnKey(Key key) {
    switch (key) {
        case Key::kTab:
            return MoveFocus(true);
        case Key::kBackTab:
            return MoveFocus(false);
        case Key::kClose:
            if (HWND dialog = MainWindow())
                headless::CloseWindow(dialog);
            return;
        case Key::kEscape:
            if (!AnswerBox(VK_ESCAPE))
                headless::PressKey(VK_ESCAPE);
            return;
        case Key::kEnter:
            if (AnswerBox(VK_RETURN))
                return;
            // The focused push button takes Enter as it takes the space bar.
            headless::PressKey(IsPushButton(GetFocus()) ? VK_SPACE : VK_RETURN);
            return;
        default:
            headless::PressKey(VirtualKey(key));
    }
}

void Controller::OnMouse(const Picture& picture, MouseAction action, int col, int row) {
    if (action == MouseAction::kPress) {
        const Placed* placed = picture.At(col, row);
        if (!placed)
            return;
        POINT point = placed->PointAt(col, row);
        // The window drawn in front takes the click even where another one lies over it.
        if (headless::TopLevelWindowAt(point) != placed->hwnd)
            headless::BringForward(placed->hwnd);
        grabbed_ = placed->hwnd;
        last_ = point;
        headless::MouseDown(point);
        return;
    }
    if (!grabbed_)
        return;
    // A window that went away under the mouse leaves the release where the mouse last was.
    const Placed* placed = picture.Find(grabbed_);
    POINT point = placed ? placed->PointAt(col, row) : last_;
    last_ = point;
    if (action == MouseAction::kMove) {
        headless::MouseMove(point);
    } else {
        headless::MouseUp(point);
        grabbed_ = nullptr;
    }
}

}  // namespace terminal
