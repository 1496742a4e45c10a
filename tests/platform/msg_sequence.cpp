// Comparison of recorded messages with an expected table, with a listing of both on a mismatch.
#include "msg_sequence.h"

#include <algorithm>
#include <cstdio>

namespace seq {

const std::vector<UINT> kNoise = {WM_NCHITTEST,  WM_CTLCOLORSTATIC, WM_CTLCOLORBTN,
                                  WM_ERASEBKGND, WM_SETCURSOR,      WM_GETDLGCODE,
                                  WM_PAINT,      WM_NCMOUSEMOVE,    WM_MOUSEMOVE};

namespace {

// What a notification carries that the table may compare: its code, or a custom draw's stage.
long long Detail(const support::RecordedMessage& m) {
    if (m.message != WM_NOTIFY)
        return 0;
    return m.notifyCode == NM_CUSTOMDRAW ? m.drawStage : static_cast<int>(m.notifyCode);
}

std::string Line(UINT message, bool toParent, WPARAM w, LPARAM l, long long detail) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "  %-7s 0x%04x wParam %#llx lParam %#llx detail %lld\n",
                  toParent ? "parent" : "control", message, static_cast<unsigned long long>(w),
                  static_cast<unsigned long long>(l), detail);
    return buffer;
}

bool Matches(const support::RecordedMessage& got, bool toParent, const Message& want) {
    return got.message == want.message && toParent == ((want.flags & parent) != 0) &&
           (!(want.flags & posted) || (got.flags & support::kPosted)) &&
           (!(want.flags & sent) || (got.flags & support::kSent)) &&
           (!(want.flags & wparam) || got.wParam == want.wParam) &&
           (!(want.flags & lparam) || got.lParam == want.lParam) &&
           (!(want.flags & (code | stage)) || Detail(got) == static_cast<long long>(want.lParam));
}

}  // namespace

std::string Compare(const std::vector<support::RecordedMessage>& all, HWND control, HWND parentWnd,
                    const std::vector<Message>& expected, const std::vector<UINT>& ignored) {
    auto named = [&](UINT m) {
        return std::any_of(expected.begin(), expected.end(),
                           [m](const Message& e) { return e.message == m; });
    };
    std::vector<support::RecordedMessage> got;
    for (const auto& m : all) {
        bool noise = std::find(ignored.begin(), ignored.end(), m.message) != ignored.end();
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
