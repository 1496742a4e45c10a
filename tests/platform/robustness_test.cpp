// Random input and random messages against dialog 102 and message boxes, with windows destroyed
// at random, even from inside their own notifications: the layer must neither crash nor touch
// freed memory (the sanitizer build watches), and must stay consistent.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "layer_fixture.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "res/resource.h"

namespace {

LRESULT CALLBACK PanelProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
    if (LayerTest::parentHook) {
        LRESULT r = 0;
        if (LayerTest::parentHook(hwnd, m, w, l, &r))
            return r;
    }
    return DefWindowProcA(hwnd, m, w, l);
}

class Robustness : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        RegisterDialogClass(PanelProc);
    }
};

TEST_F(Robustness, random_input_messages_and_destruction) {
    std::mt19937 random(20261206);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<HWND> seen;  // every handle ever listed, destroyed ones included
    int boxes = 0;
    parentHook = [&](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT*) {
        // Now and then a notification destroys a window or opens a box, as handlers may.
        if ((m == WM_NOTIFY || m == WM_COMMAND || m == WM_HSCROLL) && below(40) == 0) {
            if (!seen.empty())
                DestroyWindow(seen[static_cast<std::size_t>(below(static_cast<int>(seen.size())))]);
        } else if (m == WM_COMMAND && below(3) == 0 && boxes < 3) {
            ++boxes;
            MessageBoxA(nullptr, "inner", "Error", MB_OK);
            --boxes;
        }
        (void)hwnd;
        return false;
    };
    support::ScriptedInput script;
    for (int round = 0; round < 40; ++round) {
        HWND dialog = CreateDialogParamA(own::ProgramInstance(),
                                         MAKEINTRESOURCEA(IDD_CONTROL_PANEL), nullptr, nullptr, 0);
        ASSERT_NE(nullptr, dialog);
        for (int step = 0; step < 60; ++step) {
            std::vector<HWND> live;
            for (const headless::WindowInfo& w : headless::Windows()) {
                live.push_back(w.hwnd);
                seen.push_back(w.hwnd);
            }
            // Mostly a window on screen, sometimes one that may be long gone.
            const std::vector<HWND>& pool = (live.empty() || below(5) == 0) ? seen : live;
            HWND target = pool[static_cast<std::size_t>(below(static_cast<int>(pool.size())))];
            POINT p{below(headless::kScreenWidth), below(headless::kScreenHeight)};
            switch (below(9)) {
                case 0:
                    headless::MouseDown(p);
                    break;
                case 1:
                    headless::MouseMove(p);
                    break;
                case 2:
                    headless::MouseUp(p);
                    break;
                case 3:
                    headless::PressKey(static_cast<UINT>(VK_PRIOR + below(8)));
                    break;
                case 4:
                    headless::Click(target);
                    break;
                case 5:
                    headless::DragSlider(target, below(12) - 1);
                    break;
                case 6:
                    SendMessageA(target, static_cast<UINT>(below(2) ? TBM_SETPOS : TCM_SETCURSEL),
                                 static_cast<WPARAM>(below(3)), below(20) - 10);
                    break;
                case 7:
                    PostMessageA(target, static_cast<UINT>(WM_USER + below(16)), 0, 0);
                    break;
                default:
                    if (below(30) == 0)
                        DestroyWindow(target);
                    break;
            }
            // Boxes opened by handlers are answered by the script when the layer would wait.
            script.Then([] { headless::DismissBox(); });
            headless::DoEvents();
        }
        own::ResetLayer();
        EXPECT_TRUE(headless::Windows().empty());
    }
}

}  // namespace
