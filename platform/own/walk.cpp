// The front ends' one walk of the controls (see walk.h).
#include "platform/own/walk.h"

namespace headless {
namespace {

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

Painter::~Painter() = default;

void Paint(const TopLevel& top, Painter* painter) {
    painter->Frame(top.window);
    PaintChildren(top, top.window.hwnd, painter);
}

}  // namespace headless
