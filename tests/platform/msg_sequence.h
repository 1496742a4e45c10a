#pragma once
// Expected message sequences as data, in the manner of Wine's message tests: each entry names a
// message, whom it reached (the control or its parent) and which of its values to compare.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace seq {

enum Flags : unsigned {
    sent = 0x1,
    posted = 0x2,
    parent = 0x4,   // reached the parent (otherwise: the control)
    wparam = 0x8,   // compare wParam
    lparam = 0x10,  // compare lParam
    code = 0x20,    // WM_NOTIFY: compare the notification code with lParam
    stage = 0x40,   // WM_NOTIFY with NM_CUSTOMDRAW: compare the draw stage with lParam
};

struct Message {
    UINT message;
    unsigned flags;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Messages that the comparison skips unless the table names them: hit-testing, colours, paint.
inline const std::vector<UINT> kNoise = {WM_NCHITTEST,  WM_CTLCOLORSTATIC, WM_CTLCOLORBTN,
                                         WM_ERASEBKGND, WM_SETCURSOR,      WM_GETDLGCODE,
                                         WM_PAINT,      WM_NCMOUSEMOVE,    WM_MOUSEMOVE};

namespace detail {

// What a notification carries that the table may compare: its code, or a custom draw's stage.
inline long long Detail(const support::RecordedMessage& m) {
    if (m.message != WM_NOTIFY)
        return 0;
    return m.notifyCode == NM_CUSTOMDRAW ? m.drawStage : static_cast<int>(m.notifyCode);
}

inline std::string Line(UINT message, bool toParent, WPARAM w, LPARAM l, long long detail) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "  %-7s 0x%04x wParam %#llx lParam %#llx detail %lld\n",
                  toParent ? "parent" : "control", message, static_cast<unsigned long long>(w),
                  static_cast<unsigned long long>(l), detail);
    return buffer;
}

inline bool Matches(const support::RecordedMessage& got, bool toParent, const Message& want) {
    return got.message == want.message && toParent == ((want.flags & parent) != 0) &&
           (!(want.flags & posted) || got.posted) && (!(want.flags & sent) || !got.posted) &&
           (!(want.flags & wparam) || got.wParam == want.wParam) &&
           (!(want.flags & lparam) || got.lParam == want.lParam) &&
           (!(want.flags & (code | stage)) || Detail(got) == static_cast<long long>(want.lParam));
}

}  // namespace detail

// Compares what the control and the parent received (in order; other windows are left out) with
// the table. Returns an empty string on a match, else a listing of both.
inline std::string Compare(const std::vector<support::RecordedMessage>& all, HWND control,
                           HWND parentWnd, const std::vector<Message>& expected) {
    using namespace detail;
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
    for (const Message& e : expected) {
        out += Line(e.message, (e.flags & parent) != 0, e.wParam, e.lParam,
                    (e.flags & (code | stage)) ? static_cast<long long>(e.lParam) : 0);
    }
    out += "received:\n";
    for (const auto& m : got)
        out += Line(m.message, m.hwnd == parentWnd, m.wParam, m.lParam, Detail(m));
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
