#pragma once
// The layer tests' fixture: a top-level parent whose answers to notifications a test sets, the
// program's dialog class, a tear-down that leaves no window behind; and expected message sequences
// as data, each entry naming a message, whom it reached and which of its values to compare.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "tests/support/test_support.h"

namespace seq {

enum Flags : unsigned {
    sent = 0x1,
    posted = 0x2,
    parent = 0x4,   // reached the parent (otherwise: the control)
    wparam = 0x8,   // compare wParam
    lparam = 0x10,  // compare lParam
    detail = 0x20,  // WM_NOTIFY: compare its code (a custom draw's: its draw stage) with lParam
};

struct Message {
    UINT message;
    unsigned flags;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Messages that the comparison skips unless the table names them: hit-testing, colours, paint.
inline const std::vector<UINT> kNoise = {WM_NCHITTEST,   WM_CTLCOLORSTATIC, WM_CTLCOLORBTN,
                                         WM_ERASEBKGND,  WM_GETDLGCODE,     WM_PAINT,
                                         WM_NCMOUSEMOVE, WM_MOUSEMOVE};

// A notification's lParam is shown as what the table compares: its code or draw stage.
inline std::string Line(UINT message, bool toParent, WPARAM w, long long l) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "  %-7s 0x%04x wParam %#llx lParam %#llx\n",
                  toParent ? "parent" : "control", message, static_cast<unsigned long long>(w),
                  static_cast<unsigned long long>(l));
    return buffer;
}

inline bool Matches(const support::RecordedMessage& got, bool toParent, const Message& want) {
    return got.message == want.message && toParent == ((want.flags & parent) != 0) &&
           (!(want.flags & posted) || got.posted) && (!(want.flags & sent) || !got.posted) &&
           (!(want.flags & wparam) || got.wParam == want.wParam) &&
           (!(want.flags & lparam) || got.lParam == want.lParam) &&
           (!(want.flags & detail) || static_cast<LPARAM>(got.detail) == want.lParam);
}

// Compares what the control and the parent received (in order; other windows are left out) with
// the table. Returns an empty string on a match, else a listing of both.
inline std::string Compare(const std::vector<support::RecordedMessage>& all, HWND control,
                           HWND parentWnd, const std::vector<Message>& expected) {
    auto named = [&](UINT m) {
        return std::any_of(expected.begin(), expected.end(),
                           [m](const Message& e) { return e.message == m; });
    };
    std::vector<support::RecordedMessage> got;
    for (const auto& m : all) {
        bool noise = std::find(kNoise.begin(), kNoise.end(), m.message) != kNoise.end();
        if ((m.hwnd == control || m.hwnd == parentWnd) && !(noise && !named(m.message)))
            got.push_back(m);
    }
    bool same = got.size() == expected.size();
    for (std::size_t i = 0; same && i < got.size(); ++i)
        same = Matches(got[i], got[i].hwnd == parentWnd, expected[i]);
    if (same)
        return std::string();
    std::string out = "expected:\n";
    for (const Message& e : expected)
        out += Line(e.message, (e.flags & parent) != 0, e.wParam, e.lParam);
    out += "received:\n";
    for (const auto& m : got)
        out += Line(m.message, m.hwnd == parentWnd, m.wParam,
                    m.message == WM_NOTIFY ? static_cast<LPARAM>(m.detail) : m.lParam);
    return out;
}

}  // namespace seq

#define EXPECT_SEQUENCE(recorder, control, parentWnd, ...)                        \
    do {                                                                          \
        std::string seq_diff_ =                                                   \
            seq::Compare((recorder).messages(), control, parentWnd, __VA_ARGS__); \
        EXPECT_TRUE(seq_diff_.empty()) << seq_diff_;                              \
        (recorder).Clear();                                                       \
    } while (0)

class LayerTest : public ::testing::Test {
  public:
    // What the parent's (and the dialog class's) procedure does with a message before its default
    // processing; a test sets it to answer notifications, veto tab changes or re-enter.
    static inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> parentHook;

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
        LRESULT result = 0;
        if (parentHook && parentHook(hwnd, m, w, l, &result))
            return result;
        return DefWindowProcA(hwnd, m, w, l);
    }

  protected:
    void SetUp() override {
        InitCommonControls();
        own::SetProgramResources(kProgramResFile, kProgramResFileSize);
        Register("TestParent", 0);  // fails harmlessly from the second test on
        Register("DLGCLASS", DLGWINDOWEXTRA);
        parentHook = nullptr;
    }
    void TearDown() override {
        parentHook = nullptr;
        own::ResetLayer();
    }
    static void Register(const char* name, int extra) {
        WNDCLASSEXA cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = ParentProc;
        cls.cbWndExtra = extra;
        cls.hInstance = own::ProgramInstance();
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        cls.lpszClassName = name;
        RegisterClassExA(&cls);
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
        const char* names[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};
        for (int i = 0; i < 5; ++i) {
            TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(names[i]), 0, -1, 0};
            SendMessageA(t, TCM_INSERTITEMA, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&item));
        }
        return t;
    }
    // Records what the window receives from now on, after its first paints.
    HWND Watch(HWND window) {
        recorder.Watch(window);
        support::DoEvents();
        recorder.Clear();
        return window;
    }
    // The program's dialog 102, made with the DLGCLASS class above.
    HWND CreatePanel() {
        return CreateDialogParamA(own::ProgramInstance(), MAKEINTRESOURCEA(102), nullptr, nullptr,
                                  0);
    }

    support::MessageRecorder recorder;
};
