#pragma once
// The layer tests' fixture: a top-level parent whose answers to notifications a test sets, a
// tear-down that leaves no window behind, and what the windows' procedures receive, compared with
// expected sequences as data: each entry names a message, whom it reached and how, and which of
// its values to compare.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/own/hooks.h"
#include "tests/support/panel.h"

namespace seq {

enum Flags : unsigned {
    sent = 0,
    posted = 0x1,  // through DispatchMessageA
    parent = 0x2,  // reached the parent (otherwise: the control)
    wparam = 0x4,  // compare wParam
    lparam = 0x8,  // compare lParam; a notification's is its code, a custom draw's its draw stage
};

struct Message {
    UINT message;
    unsigned flags;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// What the procedures received: for a notification its code (or draw stage) stands in lParam, as
// the header is gone once one looks.
inline std::vector<std::pair<HWND, Message>> g_received;

inline void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool wasPosted) {
    if (message == WM_NOTIFY && lParam) {
        UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
        lParam = static_cast<int>(
            code != NM_CUSTOMDRAW ? code : reinterpret_cast<NMCUSTOMDRAW*>(lParam)->dwDrawStage);
    }
    g_received.push_back({hwnd, {message, wasPosted ? posted : sent, wParam, lParam}});
}

// One message as the comparison shows it, with the values that `compare` names.
inline std::string Show(const Message& m, unsigned compare) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %s 0x%04x", m.flags & parent ? "parent" : "control",
                  m.flags & posted ? "posted" : "sent", m.message);
    return text + (compare & wparam ? " wParam " + std::to_string(m.wParam) : "") +
           (compare & lparam ? " lParam " + std::to_string(m.lParam) : "");
}

inline std::vector<std::string> Expected(const std::vector<Message>& expected) {
    std::vector<std::string> shown;
    for (const Message& m : expected)
        shown.push_back(Show(m, m.flags));
    return shown;
}

// What the control and the parent received, in order, each with the values that the entry in its
// place compares. Hit-testing, colours and paint are left out unless the table names them.
inline std::vector<std::string> Taken(const std::vector<Message>& expected, HWND control,
                                      HWND parentWnd) {
    static const UINT kNoise[] = {WM_NCHITTEST,  WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_ERASEBKGND,
                                  WM_GETDLGCODE, WM_PAINT,          WM_NCMOUSEMOVE, WM_MOUSEMOVE};
    std::vector<std::string> shown;
    for (auto [hwnd, m] : g_received) {
        auto is = [&m](auto other) { return other == m.message; };
        auto named = [&m](const Message& e) { return e.message == m.message; };
        if ((hwnd != control && hwnd != parentWnd) ||
            (std::any_of(std::begin(kNoise), std::end(kNoise), is) &&
             std::none_of(expected.begin(), expected.end(), named)))
            continue;
        m.flags |= hwnd == parentWnd ? parent : 0u;
        shown.push_back(Show(m, shown.size() < expected.size() ? expected[shown.size()].flags : 0));
    }
    return shown;
}

}  // namespace seq

#define EXPECT_SEQUENCE(control, parentWnd, ...)                                        \
    do {                                                                                \
        std::vector<seq::Message> expected_ = __VA_ARGS__;                              \
        EXPECT_EQ(seq::Expected(expected_), seq::Taken(expected_, control, parentWnd)); \
        seq::g_received.clear();                                                        \
    } while (0)

class LayerTest : public ::testing::Test {
  public:
    // What the parent's procedure does with a message before its default processing; a test sets
    // it to answer notifications, veto tab changes or re-enter.
    static inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> parentHook;

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
        LRESULT result = 0;
        if (parentHook && parentHook(hwnd, m, w, l, &result))
            return result;
        return DefWindowProcA(hwnd, m, w, l);
    }

  protected:
    void SetUp() override {
        support::FreshLayer();
        InitCommonControls();
        WNDCLASSEXA cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = ParentProc;
        cls.hInstance = own::ProgramInstance();
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.lpszClassName = "TestParent";
        RegisterClassExA(&cls);  // fails harmlessly from the second test on
        parentHook = nullptr;
        own::SetProcedureObserver(seq::Record);
    }
    void TearDown() override {
        own::SetProcedureObserver(nullptr);
        seq::g_received.clear();
        parentHook = nullptr;
        own::ResetLayer();
    }

    // A visible captioned window at (100, 100), 400 x 300, active.
    HWND CreateParent() {
        return CreateWindowExA(0, "TestParent", "Parent",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 400, 300,
                               nullptr, nullptr, own::ProgramInstance(), nullptr);
    }
    HWND CreateControl(const char* cls, const char* text, DWORD style, int x, int y, int width,
                       int height, int id, HWND parent) {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                               parent, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)),
                               own::ProgramInstance(), nullptr);
    }
    // The five profiles' tabs.
    HWND CreateTabs(HWND parent) {
        HWND t = CreateControl(WC_TABCONTROLA, "", 0, 5, 5, 350, 250, 1012, parent);
        for (int i = 0; i < 5; ++i) {
            TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(kProfileNames[i]), 0, -1, 0};
            SendMessageA(t, TCM_INSERTITEMA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
        }
        return t;
    }
    // Comparisons start from here, once what is pending has run (first paints and all).
    static HWND Watch(HWND window) {
        support::DoEvents();
        seq::g_received.clear();
        return window;
    }
};
