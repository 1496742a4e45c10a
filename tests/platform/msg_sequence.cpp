// Comparison of recorded messages with an expected table, with a readable listing on a mismatch.
#include "msg_sequence.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace seq {

const std::vector<UINT> kNoise = {WM_NCHITTEST,  WM_CTLCOLORSTATIC, WM_CTLCOLORBTN,
                                  WM_ERASEBKGND, WM_SETCURSOR,      WM_GETDLGCODE,
                                  WM_PAINT,      WM_NCMOUSEMOVE,    WM_MOUSEMOVE};

namespace {

std::string Name(UINT message) {
    static const std::map<UINT, const char*> names = {{WM_CREATE, "WM_CREATE"},
                                                      {WM_DESTROY, "WM_DESTROY"},
                                                      {WM_ACTIVATE, "WM_ACTIVATE"},
                                                      {WM_SETFOCUS, "WM_SETFOCUS"},
                                                      {WM_KILLFOCUS, "WM_KILLFOCUS"},
                                                      {WM_SETTEXT, "WM_SETTEXT"},
                                                      {WM_PAINT, "WM_PAINT"},
                                                      {WM_CLOSE, "WM_CLOSE"},
                                                      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
                                                      {WM_NOTIFY, "WM_NOTIFY"},
                                                      {WM_NCCREATE, "WM_NCCREATE"},
                                                      {WM_NCDESTROY, "WM_NCDESTROY"},
                                                      {WM_NCHITTEST, "WM_NCHITTEST"},
                                                      {WM_KEYDOWN, "WM_KEYDOWN"},
                                                      {WM_KEYUP, "WM_KEYUP"},
                                                      {WM_CHAR, "WM_CHAR"},
                                                      {WM_COMMAND, "WM_COMMAND"},
                                                      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
                                                      {WM_HSCROLL, "WM_HSCROLL"},
                                                      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
                                                      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
                                                      {WM_LBUTTONUP, "WM_LBUTTONUP"},
                                                      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
                                                      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
                                                      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
                                                      {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
                                                      {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
                                                      {WM_SETFONT, "WM_SETFONT"},
                                                      {WM_ERASEBKGND, "WM_ERASEBKGND"},
                                                      {BM_SETCHECK, "BM_SETCHECK"},
                                                      {BM_GETCHECK, "BM_GETCHECK"},
                                                      {BM_SETSTATE, "BM_SETSTATE"},
                                                      {TBM_SETPOS, "TBM_SETPOS"},
                                                      {TBM_GETPOS, "TBM_GETPOS"},
                                                      {TBM_SETRANGE, "TBM_SETRANGE"},
                                                      {TBM_SETPAGESIZE, "TBM_SETPAGESIZE"},
                                                      {TCM_SETCURSEL, "TCM_SETCURSEL"},
                                                      {TCM_GETCURSEL, "TCM_GETCURSEL"},
                                                      {TCM_INSERTITEMA, "TCM_INSERTITEMA"},
                                                      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
                                                      {WM_INITDIALOG, "WM_INITDIALOG"},
                                                      {WM_ENABLE, "WM_ENABLE"},
                                                      {WM_GETTEXT, "WM_GETTEXT"}};
    auto it = names.find(message);
    if (it != names.end())
        return it->second;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%04x", message);
    return buffer;
}

std::string Describe(UINT message, bool toParent, WPARAM w, LPARAM l, long long detail) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "  %-8s %-18s wParam %#llx lParam %#llx code/stage %lld\n",
                  toParent ? "parent" : "control", Name(message).c_str(),
                  static_cast<unsigned long long>(w), static_cast<unsigned long long>(l), detail);
    return buffer;
}

bool Matches(const support::RecordedMessage& got, bool toParent, const Message& want) {
    if (got.message != want.message || toParent != ((want.flags & parent) != 0))
        return false;
    if ((want.flags & posted) && !(got.flags & support::kPosted))
        return false;
    if ((want.flags & sent) && !(got.flags & support::kSent))
        return false;
    if ((want.flags & wparam) && got.wParam != want.wParam)
        return false;
    if ((want.flags & lparam) && got.lParam != want.lParam)
        return false;
    if ((want.flags & code) && got.notifyCode != static_cast<UINT>(want.lParam))
        return false;
    if ((want.flags & stage) && got.drawStage != static_cast<DWORD>(want.lParam))
        return false;
    return true;
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
        if (m.hwnd != control && m.hwnd != parentWnd)
            continue;
        bool noise = std::find(ignored.begin(), ignored.end(), m.message) != ignored.end();
        if (noise && !named(m.message))
            continue;
        got.push_back(m);
    }
    std::size_t g = 0;
    bool ok = true;
    for (const Message& want : expected) {
        if (g < got.size() && Matches(got[g], got[g].hwnd == parentWnd, want)) {
            ++g;
        } else if (!(want.flags & optional)) {
            ok = false;
            break;
        }
    }
    if (ok && g == got.size())
        return std::string();
    std::string out = "expected:\n";
    for (const Message& e : expected) {
        out += Describe(e.message, (e.flags & parent) != 0, e.wParam, e.lParam,
                        (e.flags & (code | stage)) ? static_cast<long long>(e.lParam) : 0);
    }
    out += "received:\n";
    for (const auto& m : got) {
        long long detail =
            m.message == WM_NOTIFY
                ? (m.notifyCode == NM_CUSTOMDRAW ? m.drawStage : static_cast<int>(m.notifyCode))
                : 0;
        out += Describe(m.message, m.hwnd == parentWnd, m.wParam, m.lParam, detail);
    }
    return out;
}

}  // namespace seq
