// The horizontal trackbar ("msctls_trackbar32"), with the platform's behaviour: positions clamped
// to the range; keys, presses in the channel (paging on while held) and drags of the thumb move it
// and tell the parent through WM_HSCROLL; painting tells the parent through NM_CUSTOMDRAW; setting
// it from code tells nobody. The geometry is the classic look's, so that clicks land where a person
// sees the thumb.
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/own/controls.h"
#include "platform/own/headless.h"
#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace own {
namespace {

// While a press in the channel is held, the thumb pages towards the pointer on this timer.
constexpr UINT_PTR kAutoPageTimer = 1;
constexpr UINT kAutoPageDelay = 500;

// Ticks on both sides push the channel and the thumb down by the upper row of ticks.
bool BothSides(const TrackbarInfo* info) {
    return (GetWindowLongA(info->self, GWL_STYLE) & TBS_BOTH) != 0;
}

// Tells the parent that the position moved, or that a move ended.
void Scroll(const TrackbarInfo* info, WPARAM code) {
    SendMessageA(info->notify, WM_HSCROLL, code, reinterpret_cast<LPARAM>(info->self));
}

void CalcChannel(TrackbarInfo* info) {
    RECT client;
    GetClientRect(info->self, &client);
    int offsetThumb = static_cast<int>(info->thumbLength / 4);
    int offsetEdge = offsetThumb + 3;
    int top = client.top + static_cast<int>(info->thumbLength / 2) - 1;
    if (BothSides(info))
        top += 9;
    info->channel = RECT{client.left + offsetEdge, top, client.right - offsetEdge, top + 4};
}

void UpdateThumb(TrackbarInfo* info) {
    LONG range = info->max - info->min;
    if (range == 0)
        range = 1;
    int thumbWidth = static_cast<int>(info->thumbLength / 2) | 1;
    int width = info->channel.right - info->channel.left - thumbWidth;
    LONG left = info->channel.left + width * (info->pos - info->min) / range;
    LONG top = BothSides(info) ? 10 : 2;
    info->thumb = RECT{left, top, left + thumbWidth, top + static_cast<LONG>(info->thumbLength)};
}

LONG PositionAt(const TrackbarInfo* info, int place) {
    double range = info->max - info->min;
    double offsetThumb = (info->thumb.right - info->thumb.left) / 2;
    double width = info->channel.right - info->channel.left - offsetThumb * 2 - 1;
    double pos = width > 0 ? range * (place - info->channel.left - offsetThumb) / width : 0;
    pos += info->min;
    pos = std::clamp(pos, static_cast<double>(info->min), static_cast<double>(info->max));
    // Rounded to the nearest tick, halves up, below zero as above it.
    return static_cast<LONG>(std::floor(pos + 0.5));
}

void Changed(TrackbarInfo* info) {
    UpdateThumb(info);
    InvalidateRect(info->self, nullptr, FALSE);
}

LRESULT SetPos(TrackbarInfo* info, BOOL redraw, LONG pos) {
    LONG old = info->pos;
    info->pos = std::clamp(pos, info->min, std::max(info->min, info->max));
    UpdateThumb(info);
    // Compared with the position asked for, not the clamped one, as the platform's control does.
    if (redraw && old != pos)
        InvalidateRect(info->self, nullptr, FALSE);
    return 0;
}

// The page size follows the range, as the platform's does, until it is set again.
LRESULT SetRange(TrackbarInfo* info, BOOL redraw, LPARAM range) {
    info->min = static_cast<SHORT>(LOWORD(range));
    info->max = static_cast<SHORT>(HIWORD(range));
    info->pos = std::min(std::max(info->pos, info->min), info->max);
    info->page = (info->max - info->min) / 5;
    if (info->page == 0)
        info->page = 1;
    UpdateThumb(info);
    if (redraw)
        InvalidateRect(info->self, nullptr, FALSE);
    return 0;
}

void Step(TrackbarInfo* info, LONG delta, WPARAM code) {
    LONG limit = delta < 0 ? info->min : info->max;
    if (info->pos == limit)
        return;
    info->pos =
        delta < 0 ? std::max(info->pos + delta, info->min) : std::min(info->pos + delta, info->max);
    Scroll(info, code);
}

LRESULT KeyDown(TrackbarInfo* info, WPARAM key) {
    LONG before = info->pos;
    switch (key) {
        case VK_LEFT:
        case VK_UP:
            Step(info, -info->line, TB_LINEUP);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            Step(info, info->line, TB_LINEDOWN);
            break;
        case VK_NEXT:
            Step(info, info->page, TB_PAGEDOWN);
            break;
        case VK_PRIOR:
            Step(info, -info->page, TB_PAGEUP);
            break;
        case VK_HOME:
            if (info->pos == info->min)
                return FALSE;
            info->pos = info->min;
            Scroll(info, TB_TOP);
            break;
        case VK_END:
            if (info->pos == info->max)
                return FALSE;
            info->pos = info->max;
            Scroll(info, TB_BOTTOM);
            break;
        default:
            return FALSE;
    }
    if (!info->destroyed && info->pos != before)
        Changed(info);
    return TRUE;
}

// The release of a key that moves the thumb (the page, end and arrow keys run from VK_PRIOR to
// VK_DOWN) ends the move.
LRESULT KeyUp(TrackbarInfo* info, WPARAM key) {
    if (key >= VK_PRIOR && key <= VK_DOWN)
        Scroll(info, TB_ENDTRACK);
    return TRUE;
}

// Where a press in the channel row pages to: negative left of the thumb, positive right of it.
LONG AutoPageDirection(const TrackbarInfo* info, POINT p) {
    RECT row{info->channel.left, info->thumb.top, info->channel.right, info->thumb.bottom};
    if (!PtInRect(&row, p))
        return 0;
    return PositionAt(info, p.x) - info->pos;
}

// One page towards the point, while it still lies beyond the thumb on the side where the press
// began; nothing once the thumb has reached it.
void AutoPage(TrackbarInfo* info, POINT p) {
    LONG direction = AutoPageDirection(info, p);
    if (direction == 0 || (direction < 0) != (info->autoPage < 0))
        return;
    LONG before = info->pos;
    if (direction < 0)
        Step(info, -info->page, TB_PAGEUP);
    else
        Step(info, info->page, TB_PAGEDOWN);
    if (!info->destroyed && info->pos != before)
        Changed(info);
}

LRESULT Timer(TrackbarInfo* info) {
    POINT p;
    if (info->autoPage && GetCursorPos(&p) && ScreenToClient(info->self, &p))
        AutoPage(info, p);
    return 0;
}

LRESULT LButtonDown(TrackbarInfo* info, LPARAM lParam) {
    HWND self = info->self;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    SetFocus(self);
    if (info->destroyed)
        return 0;
    if (PtInRect(&info->thumb, p)) {
        info->dragging = true;
        SetCapture(self);
        if (!info->destroyed)
            InvalidateRect(self, nullptr, FALSE);
        return 0;
    }
    LONG direction = AutoPageDirection(info, p);
    if (direction == 0)
        return 0;
    info->autoPage = direction < 0 ? -1 : 1;
    AutoPage(info, p);
    if (info->destroyed)
        return 0;
    SetCapture(self);
    SetTimer(self, kAutoPageTimer, kAutoPageDelay, nullptr);
    return 0;
}

// The press ends without a release when another window takes the capture (or the program loses
// the focus): the drag and the paging end with it, so that nothing moves the thumb afterwards.
LRESULT CaptureChanged(TrackbarInfo* info, LPARAM newCapture) {
    if (reinterpret_cast<HWND>(newCapture) == info->self)
        return 0;
    info->dragging = false;
    if (info->autoPage) {
        info->autoPage = 0;
        KillTimer(info->self, kAutoPageTimer);
    }
    Scroll(info, TB_ENDTRACK);
    return 0;
}

// The end of a drag (which tells the final position first) or of paging.
LRESULT LButtonUp(TrackbarInfo* info) {
    HWND self = info->self;
    bool dragging = info->dragging;
    if (!dragging && !info->autoPage)
        return 0;
    if (dragging) {
        Scroll(info, MAKEWPARAM(TB_THUMBPOSITION, info->pos));
    } else {
        info->autoPage = 0;
        KillTimer(self, kAutoPageTimer);
    }
    if (info->destroyed)
        return 0;
    Scroll(info, TB_ENDTRACK);
    if (info->destroyed)
        return 0;
    info->dragging = false;
    ReleaseCapture();
    if (info->destroyed)
        return 0;
    Notify(info, NM_RELEASEDCAPTURE);
    if (dragging && !info->destroyed)
        InvalidateRect(self, nullptr, FALSE);
    return 0;
}

LRESULT MouseMove(TrackbarInfo* info, LPARAM lParam) {
    if (info->autoPage) {
        AutoPage(info, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return TRUE;
    }
    if (!info->dragging)
        return TRUE;
    HWND self = info->self;
    LONG pos = PositionAt(info, GET_X_LPARAM(lParam));
    if (pos == info->pos)
        return TRUE;
    info->pos = pos;
    UpdateThumb(info);
    Scroll(info, MAKEWPARAM(TB_THUMBTRACK, pos));
    if (info->destroyed)
        return TRUE;
    InvalidateRect(self, nullptr, FALSE);
    UpdateWindow(self);
    return TRUE;
}

LRESULT CustomDraw(const TrackbarInfo* info, NMCUSTOMDRAW* nmcd, DWORD stage) {
    nmcd->dwDrawStage = stage;
    return SendMessageA(info->notify, WM_NOTIFY, nmcd->hdr.idFrom, reinterpret_cast<LPARAM>(nmcd));
}

// The paint cycle with its custom-draw stages, as the platform's trackbar runs it.
LRESULT Paint(TrackbarInfo* info) {
    HWND self = info->self;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(self, &ps);
    SendMessageA(info->notify, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                 reinterpret_cast<LPARAM>(self));
    if (info->destroyed)
        return 0;
    NMCUSTOMDRAW nmcd{};
    nmcd.hdr = NMHDR{self, static_cast<UINT_PTR>(GetDlgCtrlID(self)), NM_CUSTOMDRAW};
    nmcd.hdc = hdc;
    GetClientRect(self, &nmcd.rc);
    LRESULT global = CustomDraw(info, &nmcd, CDDS_PREPAINT);
    if (info->destroyed || (global & CDRF_SKIPDEFAULT)) {
        EndPaint(self, &ps);
        return 0;
    }
    if (global != CDRF_DODEFAULT && CustomDraw(info, &nmcd, CDDS_PREERASE) != CDRF_SKIPDEFAULT &&
        !info->destroyed) {
        CustomDraw(info, &nmcd, CDDS_POSTERASE);
    }
    static constexpr DWORD_PTR kParts[] = {TBCD_CHANNEL, TBCD_TICS, TBCD_THUMB};
    for (DWORD_PTR part : kParts) {
        if (info->destroyed || !(global & CDRF_NOTIFYITEMDRAW))
            break;
        nmcd.dwItemSpec = part;
        nmcd.uItemState = (part == TBCD_THUMB && info->dragging) ? CDIS_HOT : CDIS_DEFAULT;
        nmcd.rc = part == TBCD_CHANNEL ? info->channel : part == TBCD_THUMB ? info->thumb : nmcd.rc;
        LRESULT item = CustomDraw(info, &nmcd, CDDS_ITEMPREPAINT);
        if (!(item & CDRF_SKIPDEFAULT) && (item & CDRF_NOTIFYPOSTPAINT) && !info->destroyed) {
            CustomDraw(info, &nmcd, CDDS_ITEMPOSTPAINT);
        }
    }
    if (!info->destroyed && (global & CDRF_NOTIFYPOSTPAINT)) {
        CustomDraw(info, &nmcd, CDDS_POSTPAINT);
    }
    EndPaint(self, &ps);
    return 0;
}

}  // namespace

TrackbarInfo::TrackbarInfo(HWND hwnd, const CREATESTRUCTA* cs)
    : self(hwnd), notify(cs->hwndParent) {
    thumbLength = cs->cy >= 21 ? 21 : (cs->cy > 9 ? cs->cy - 6 : 4);
    CalcChannel(this);
    UpdateThumb(this);
}

LRESULT TrackbarInfo::Handle(TrackbarInfo* info, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case TBM_GETPOS:
            return info->pos;
        case TBM_SETPOS:
            return SetPos(info, static_cast<BOOL>(wParam), static_cast<LONG>(lParam));
        case TBM_SETRANGE:
            return SetRange(info, static_cast<BOOL>(wParam), lParam);
        case TBM_SETPAGESIZE:
            return std::exchange(info->page, static_cast<LONG>(lParam));
        case WM_CAPTURECHANGED:
            return CaptureChanged(info, lParam);
        case WM_ERASEBKGND:
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_KEYDOWN:
            return KeyDown(info, wParam);
        case WM_KEYUP:
            return KeyUp(info, wParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(info->self, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            return LButtonDown(info, lParam);
        case WM_LBUTTONUP:
            return LButtonUp(info);
        case WM_MOUSEMOVE:
            return MouseMove(info, lParam);
        case WM_PAINT:
            return Paint(info);
        case WM_TIMER:
            return Timer(info);
        default:
            return DefControlProc<TrackbarInfo>(info->self, message, wParam, lParam);
    }
}

LONG TrackbarPositionAt(HWND hwnd, int clientX) {
    const TrackbarInfo* info = StateOf<TrackbarInfo>(hwnd);
    return info ? PositionAt(info, clientX) : 0;
}

void RegisterTrackbarClass() {
    RegisterSystemClass(TRACKBAR_CLASSA, 0, ControlProc<TrackbarInfo>, 0,
                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

}  // namespace own

const own::TrackbarInfo* headless::Trackbar(HWND slider) {
    return own::StateOf<own::TrackbarInfo>(slider);
}
