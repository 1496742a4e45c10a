// Windows: the records behind the handles, creation and destruction with their messages, the
// window tree and z-order, and the procedure call that every message goes through.
#include "platform/own/window.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "platform/own/focus.h"
#include "platform/own/hooks.h"

namespace own {
namespace {

std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> g_windows;
std::uintptr_t g_nextHandle = 0x10020;
std::vector<HWND> g_topLevel;
ProcedureObserver g_observer = nullptr;

std::vector<HWND>* SiblingList(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return nullptr;
    if (!w->parent)
        return &g_topLevel;
    Window* parent = FindWindowRecord(w->parent);
    return parent ? &parent->children : nullptr;
}

void Unlink(HWND hwnd) {
    if (std::vector<HWND>* list = SiblingList(hwnd))
        std::erase(*list, hwnd);
}

HWND NewHandle() {
    HWND h = reinterpret_cast<HWND>(g_nextHandle);
    g_nextHandle += 4;  // never reused, so a stale handle stays invalid
    return h;
}

// Frees a window's subtree: children first, each told by WM_NCDESTROY, as the platform does.
void FreeWindow(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        FreeWindow(child);
    CallProcedure(hwnd, WM_NCDESTROY, 0, 0, false);
    Unlink(hwnd);
    g_windows.erase(reinterpret_cast<std::uintptr_t>(hwnd));
}

void SendDestroy(HWND hwnd) {
    if (Window* w = FindWindowRecord(hwnd))
        w->destroying = true;
    CallProcedure(hwnd, WM_DESTROY, 0, 0, false);
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        SendDestroy(child);  // nothing for a child that is gone already
}

bool Contains(HWND ancestor, HWND hwnd) {
    for (Window* w = FindWindowRecord(hwnd); w; w = FindWindowRecord(w->parent)) {
        if (w->handle == ancestor)
            return true;
    }
    return false;
}

void ParentNotify(HWND hwnd, UINT event) {
    Window* w = FindWindowRecord(hwnd);
    if (!w || !(w->style & WS_CHILD) || (w->exStyle & WS_EX_NOPARENTNOTIFY))
        return;
    SendMessageA(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(event, w->id),
                 reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace

Window* FindWindowRecord(HWND hwnd) {
    auto it = g_windows.find(reinterpret_cast<std::uintptr_t>(hwnd));
    return it == g_windows.end() ? nullptr : it->second.get();
}

Window* CheckedWindow(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

const std::vector<HWND>& TopLevelWindows() {
    return g_topLevel;
}

void BringToTop(HWND hwnd) {
    std::vector<HWND>* list = SiblingList(hwnd);
    if (!list)
        return;
    std::erase(*list, hwnd);
    list->insert(list->begin(), hwnd);
}

ProcedureObserver SetProcedureObserver(ProcedureObserver observer) {
    return std::exchange(g_observer, observer);
}

LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool posted) {
    Window* w = FindWindowRecord(hwnd);
    if (!w || !w->proc)
        return 0;
    WNDPROC proc = w->proc;
    if (g_observer)
        g_observer(hwnd, message, wParam, lParam, posted);
    return proc(hwnd, message, wParam, lParam);
}

void DestroyAllWindows() {
    while (!g_topLevel.empty()) {
        HWND top = g_topLevel.front();
        if (!DestroyWindow(top))
            Unlink(top);
    }
    g_windows.clear();
}

}  // namespace own

using own::CheckedWindow;
using own::FindWindowRecord;
using own::Window;

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    auto cls = own::FindClass(className, instance);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !CheckedWindow(parent))
        return nullptr;
    auto record = std::make_unique<Window>();
    HWND hwnd = own::NewHandle();
    record->handle = hwnd;
    record->cls = cls;
    record->proc = cls->proc;
    record->style = style & ~WS_VISIBLE;  // shown below, after creation, as the platform does
    record->exStyle = exStyle;
    record->parent = child ? parent : nullptr;
    record->id = child ? static_cast<int>(reinterpret_cast<std::intptr_t>(menu)) : 0;
    record->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    record->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
    own::g_windows[reinterpret_cast<std::uintptr_t>(hwnd)] = std::move(record);
    // A new child goes beneath its siblings, so that they stand in the order of creation; a new
    // top-level window goes on top.
    if (child) {
        FindWindowRecord(parent)->children.push_back(hwnd);
    } else {
        own::g_topLevel.insert(own::g_topLevel.begin(), hwnd);
    }

    CREATESTRUCTA cs{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    if (!own::CallProcedure(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs), false)) {
        own::FreeWindow(hwnd);
        return nullptr;
    }
    if (own::CallProcedure(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs), false) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    own::ParentNotify(hwnd, WM_CREATE);
    if ((style & WS_VISIBLE) && FindWindowRecord(hwnd)) {
        ShowWindow(hwnd, child ? SW_SHOW : SW_SHOWNORMAL);
    }
    return FindWindowRecord(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    Window* w = CheckedWindow(hwnd);
    if (!w)
        return FALSE;
    if (w->destroying)
        return FALSE;
    bool child = w->parent != nullptr;
    own::ParentNotify(hwnd, WM_DESTROY);
    if (!FindWindowRecord(hwnd))
        return TRUE;
    own::HideWithoutNotice(hwnd);
    if (GetCapture() && own::Contains(hwnd, GetCapture()))
        ReleaseCapture();
    HWND focus = GetFocus();
    if (focus && own::Contains(hwnd, focus)) {
        SetFocus(child ? GetParent(hwnd) : nullptr);
    }
    if (!FindWindowRecord(hwnd))
        return TRUE;
    own::SendDestroy(hwnd);
    own::FreeWindow(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return FindWindowRecord(hwnd) != nullptr;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    return parent != hwnd && own::Contains(parent, hwnd);
}

BOOL IsWindowVisible(HWND hwnd) {
    for (Window* w = FindWindowRecord(hwnd); w; w = FindWindowRecord(w->parent)) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
    }
    return IsWindow(hwnd);
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable == !wasDisabled)
        return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        HWND focus = GetFocus();
        if (focus && own::Contains(hwnd, focus))
            SetFocus(nullptr);
    }
    SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!CheckedWindow(hwnd))
        return 0;
    return own::CallProcedure(hwnd, message, wParam, lParam, false);
}
