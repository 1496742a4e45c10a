// Keys and mouse from the terminal, as injected input (see controller.h).
#include "terminal/controller.h"

namespace terminal {
namespace {

UINT VirtualKey(Key key) {
    switch (key) {
        case Key::kTab:
        case Key::kBackTab:
            return VK_TAB;
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
        case Key::kPreviousTab:
            return VK_PRIOR;
        case Key::kPageDown:
        case Key::kNextTab:
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

// The modifier that the terminal's key stands for, held around it.
UINT Modifier(Key key) {
    switch (key) {
        case Key::kBackTab:
            return VK_SHIFT;
        case Key::kNextTab:
        case Key::kPreviousTab:
            return VK_CONTROL;
        default:
            return 0;
    }
}

}  // namespace

Controller::~Controller() = default;

void Controller::OnKey(Key key) {
    if (key == Key::kClose) {
        if (HWND dialog = MainWindow())
            headless::CloseWindow(dialog);
        return;
    }
    UINT modifier = Modifier(key);
    if (modifier)
        headless::KeyDown(modifier);
    headless::PressKey(VirtualKey(key));
    if (modifier)
        headless::KeyUp(modifier);
}

void Controller::CloseInnermost() {
    const std::vector<headless::BoxInfo>& boxes = headless::OpenBoxes();
    if (!boxes.empty())
        headless::CloseWindow(boxes.back().box);
    else
        OnKey(Key::kClose);
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
