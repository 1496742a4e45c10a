#include "tests/scenarios/engine/screen.h"

#include <cstdlib>

namespace scenario {
namespace {

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

std::string Unescaped(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\\' && i + 1 < field.size()) {
            char e = field[++i];
            c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
        }
        out += c;
    }
    return out;
}

class Fields {
  public:
    explicit Fields(const std::string& line) {
        std::size_t start = 0;
        for (;;) {
            std::size_t end = line.find('\t', start);
            fields_.push_back(line.substr(start, end - start));
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }
    std::size_t size() const { return fields_.size(); }
    int Number() {
        const std::string& field = Next();
        char* end = nullptr;
        long value = std::strtol(field.c_str(), &end, 10);
        ok_ = ok_ && !field.empty() && !*end;
        return static_cast<int>(value);
    }
    Rect Rectangle() {
        Rect r;
        r.left = Number();
        r.top = Number();
        r.right = Number();
        r.bottom = Number();
        return r;
    }
    std::string Text() { return Unescaped(Next()); }
    bool ok() const { return ok_ && next_ == fields_.size(); }

  private:
    const std::string& Next() {
        static const std::string none;
        if (next_ >= fields_.size()) {
            ok_ = false;
            return none;
        }
        return fields_[next_++];
    }
    std::vector<std::string> fields_;
    std::size_t next_ = 1;
    bool ok_ = true;
};

}  // namespace

Point Centre(const Rect& rect) {
    return Point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

const Control* Screen::InGroup(const std::string& group, const std::string& className) const {
    for (const Control& box : controls) {
        if (!box.groupBox || box.text != group) {
            continue;
        }
        for (const Control& child : controls) {
            if (child.className == className && Inside(child.rect, box.rect)) {
                return &child;
            }
        }
    }
    return nullptr;
}

const Control* Screen::Button(const std::string& caption) const {
    for (const Control& child : controls) {
        if (child.className == "Button" && !child.groupBox && child.text == caption) {
            return &child;
        }
    }
    return nullptr;
}

std::string Screen::SelectedTab() const {
    return selectedTab >= 0 && selectedTab < static_cast<int>(tabs.size()) ? tabs[selectedTab]
                                                                           : "";
}

bool ParseScreenLine(const std::string& line, Screen* screen) {
    Fields f(line);
    std::string kind = line.substr(0, line.find('\t'));
    if (kind == "panel") {
        screen->panel = true;
        screen->frame = f.Rectangle();
        screen->client = f.Rectangle();
        screen->closeBox = f.Rectangle();
    } else if (kind == "control") {
        Control c;
        c.className = f.Text();
        c.id = f.Number();
        c.rect = f.Rectangle();
        c.buttonType = f.Number();
        c.groupBox = c.className == "Button" && c.buttonType == 7;
        c.checkBox = c.className == "Button" && (c.buttonType == 2 || c.buttonType == 3);
        c.checked = f.Number() != 0;
        c.text = f.Text();
        screen->controls.push_back(c);
    } else if (kind == "slider") {
        int id = f.Number();
        Control* slider = nullptr;
        for (Control& c : screen->controls) {
            slider = c.id == id ? &c : slider;
        }
        if (!slider) {
            return false;
        }
        slider->slider = true;
        slider->min = f.Number();
        slider->max = f.Number();
        slider->pos = f.Number();
        slider->channel = f.Rectangle();
        slider->thumb = f.Rectangle();
    } else if (kind == "tab") {
        screen->tabRects.push_back(f.Rectangle());
        if (f.Number()) {
            screen->selectedTab = static_cast<int>(screen->tabs.size());
        }
        screen->tabs.push_back(f.Text());
    } else if (kind == "box") {
        Box b;
        b.frame = f.Rectangle();
        b.ok = f.Rectangle();
        b.title = f.Text();
        b.text = f.Text();
        screen->boxes.push_back(b);
    } else {
        return false;
    }
    return f.ok();
}

}  // namespace scenario
