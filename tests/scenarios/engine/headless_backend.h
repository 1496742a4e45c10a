#pragma once
// The backends that play on the own layer in this process, straight or through an X display.
#include <chrono>
#include <thread>
#include <tuple>

#include "desktop/desktop.h"
#include "platform/own/headless.h"
#include "tests/scenarios/engine/engine.h"
#include "tests/scenarios/engine/x_input.h"
#include "tests/support/test_support.h"

namespace scenario {

class HeadlessBackend : public Backend {
  public:
    int ProgramPathLength(const std::string& folder) const override {
        return static_cast<int>(folder.size() + sizeof "/AIControlPanel" - 1);
    }
    bool Lags() const override { return false; }
    std::optional<int> Ended() override { return code; }
    std::optional<int> code;  // once the program has ended

    bool Read(Screen* s, std::string*) override {
        auto rect = [](const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; };
        windows_.assign(1, nullptr);  // the panel's children follow it in Windows()
        for (const headless::WindowInfo& w : headless::Windows()) {
            if (!s->panel && !w.parent && w.visible && w.text == "AI Control Panel") {
                *s = Screen{true, rect(w.client), rect(w.closeBox), {}, {}, -1, {}};
                windows_[0] = w.hwnd;
            }
            if (!s->panel || w.parent != windows_[0])
                continue;
            s->focus = w.focused ? static_cast<int>(s->controls.size()) : s->focus;
            const own::ButtonInfo* button = headless::Button(w.hwnd);
            s->controls.push_back(Control{w.className, w.text, w.id, rect(w.rect),
                                          button ? static_cast<int>(w.style & BS_TYPEMASK) : -1,
                                          button && button->check == BST_CHECKED});
            Control& c = s->controls.back();
            if (const own::TrackbarInfo* bar = headless::Trackbar(w.hwnd)) {
                std::tie(c.min, c.max, c.pos, c.channel, c.thumb) = std::tuple(
                    bar->min, bar->max, bar->pos, rect(headless::OnScreen(w, bar->channel)),
                    rect(headless::OnScreen(w, bar->thumb)));
            }
            if (const own::TabInfo* tabs = headless::Tabs(w.hwnd)) {
                s->selectedTab = tabs->selected;
                for (const own::TabItem& item : tabs->items)
                    s->tabs.push_back(Tab{rect(headless::OnScreen(w, item.rect)), item.text});
            }
        }
        const std::vector<headless::BoxInfo>& boxes = headless::OpenBoxes();
        HWND focus = GetFocus();
        for (auto box = boxes.rbegin(); box != boxes.rend(); ++box) {
            headless::WindowInfo ok;
            headless::GetWindowInfo(box->okButton, &ok);
            if (focus && (focus == box->box || IsChild(box->box, focus))) {
                s->focusBox = static_cast<int>(s->boxes.size());
                s->focusOnOk = focus == box->okButton;
            }
            s->boxes.push_back(Box{rect(ok.rect), box->title, box->text});
            windows_.push_back(box->box);
        }
        return true;
    }

    void Uncover(int box, Point p) override {
        HWND target = windows_[static_cast<std::size_t>(box + 1)];
        if (headless::TopLevelWindowAt(POINT{p.x, p.y}) != target)
            headless::BringForward(target);
    }
    void MouseMove(Point p) override {
        at_ = POINT{p.x, p.y};
        headless::MouseMove(at_);
    }
    // Everything that the press leaves pending, paints included, runs before the release.
    void MouseButton(bool down) override {
        if (!down)
            return headless::MouseUp(at_);
        headless::MouseDown(at_);
        support::DoEvents();
    }
    void Key(const scenario::Key& key, bool down) override {
        (down ? headless::KeyDown : headless::KeyUp)(static_cast<UINT>(key.vk));
    }
    // The layer's clock stands still here: time passes only by hand, and the layer handles each
    // timer that falls due on the way.
    void Wait(int milliseconds) override {
        DWORD end = now_ + static_cast<DWORD>(milliseconds);
        MSG quit;
        for (int next = 0; (next = headless::MillisecondsToNextTimer()) >= 0 &&
                           next <= static_cast<int>(end - now_) &&
                           !PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);) {
            now_ += static_cast<DWORD>(next);
            support::DoEvents();
        }
        now_ = end;
        support::DoEvents();
    }
    // Timers fire without waiting, at the same moments on every run.
    static void StopClock() {
        own::SetClockHook(+[] { return now_; });
    }

  protected:
    std::vector<HWND> windows_;  // the panel, then the boxes as last read
    static inline DWORD now_ = 0;
    POINT at_{};
};

// The program's window on an X display with nothing else on it (Xvfb), where X windows stand
// where the layer puts them, every pixel scaled: the input goes through the X server as real
// pointer and key events (XTest), and reaches the layer through the desktop front end.
class DesktopBackend : public HeadlessBackend {
  public:
    explicit DesktopBackend(desktop::DesktopInput* front) : front_(front) {}
    void Uncover(int box, Point p) override {
        HeadlessBackend::Uncover(box, p);
        front_->Pump();  // the X windows restacked as the layer's windows are
    }
    void MouseMove(Point p) override {
        POINT at = front_->OnScreen(POINT{p.x, p.y});
        x_input::Move(at.x, at.y);
    }
    void MouseButton(bool down) override {
        x_input::Button(down);
        // A window manager may hold the button a while (its grab for click to focus).
        for (int wait = 0; wait < 400 && front_->Holding() != down; ++wait) {
            front_->Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (down) {  // what the press did runs before the release comes, as for the headless
            front_->Pump();
            support::DoEvents();
        }
    }
    // Keys go to the X window under the pointer (no window manager gives the focus here): it
    // rests on the panel's caption first, which a move without a press leaves alone.
    void Key(const scenario::Key& key, bool down) override {
        headless::WindowInfo panel;
        if (down && headless::GetWindowInfo(windows_[0], &panel))
            MouseMove(Point{panel.rect.left + 8, panel.rect.top + 8});
        x_input::Key(key.keysym, down);
    }
    // Real time, with the window kept up to date and the program's timers served meanwhile.
    void Wait(int milliseconds) override {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            front_->Pump();
            support::DoEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

  private:
    desktop::DesktopInput* front_;
};

}  // namespace scenario
