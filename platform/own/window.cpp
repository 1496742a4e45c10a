// Window classes and windows: registration, creation and destruction, the records behind the
// handles, window longs and texts, and the procedure call that every message goes through.
#include "platform/own/window.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/own/recorder.h"

namespace own {
namespace {

std::vector<std::shared_ptr<WindowClass>> g_classes;
ATOM g_nextAtom = 0xC000;
std::map<std::uintptr_t, std::unique_ptr<Window>> g_windows;
std::uintptr_t g_nextHandle = 0x10020;
std::vector<HWND> g_topLevel;

// Case-insensitive comparison, as the platform compares class names.
bool SameName(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool ClassMatches(const WindowClass& cls, const char* nameOrAtom) {
    if (IS_INTRESOURCE(nameOrAtom)) {
        return cls.atom == static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(nameOrAtom));
    }
    return SameName(cls.name, nameOrAtom);
}

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
    if (std::vector<HWND>* list = SiblingList(hwnd)) {
        list->erase(std::remove(list->begin(), list->end(), hwnd), list->end());
    }
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
    for (HWND child : children) {
        if (FindWindowRecord(child))
            SendDestroy(child);
    }
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

std::shared_ptr<const WindowClass> FindClass(const char* nameOrAtom, HINSTANCE instance) {
    if (!nameOrAtom)
        return nullptr;
    EnsureSystemClasses();
    for (const auto& cls : g_classes) {
        if (!cls->system && cls->instance == instance && ClassMatches(*cls, nameOrAtom))
            return cls;
    }
    for (const auto& cls : g_classes) {
        if (cls->system && ClassMatches(*cls, nameOrAtom))
            return cls;
    }
    return nullptr;
}

void RegisterSystemClass(const char* name, ATOM atom, WNDPROC proc, int wndExtra,
                         HBRUSH background) {
    for (const auto& cls : g_classes) {
        if (cls->system && SameName(cls->name, name))
            return;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->atom = atom ? atom : g_nextAtom++;
    cls->proc = proc;
    cls->wndExtra = wndExtra;
    cls->background = background;
    cls->system = true;
    g_classes.push_back(cls);
}

void AttachControlState(HWND hwnd, std::shared_ptr<void> state) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return;
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state.get()));
    w->controlState = std::move(state);
}

void DetachControlState(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return;
    SetWindowLongPtrA(hwnd, 0, 0);
    w->controlState.reset();
}

const std::vector<HWND>& TopLevelWindows() {
    return g_topLevel;
}

void BringToTop(HWND hwnd) {
    std::vector<HWND>* list = SiblingList(hwnd);
    if (!list)
        return;
    list->erase(std::remove(list->begin(), list->end(), hwnd), list->end());
    list->insert(list->begin(), hwnd);
}

void SendToBottom(HWND hwnd) {
    std::vector<HWND>* list = SiblingList(hwnd);
    if (!list)
        return;
    list->erase(std::remove(list->begin(), list->end(), hwnd), list->end());
    list->push_back(hwnd);
}

RECT NonClientFrame(DWORD style, DWORD exStyle) {
    int frame = 0;
    if (style & WS_THICKFRAME) {
        frame = 4;
    } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        frame = kFrameWidth;
    } else if (style & WS_BORDER) {
        frame = 1;
    }
    int caption = (style & WS_CAPTION) == WS_CAPTION ? kCaptionHeight : 0;
    return RECT{frame, frame + caption, frame, frame};
}

RECT ScreenWindowRect(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return RECT{};
    RECT r = w->rect;
    if (w->parent) {
        RECT origin = ScreenClientRect(w->parent);
        r.left += origin.left;
        r.right += origin.left;
        r.top += origin.top;
        r.bottom += origin.top;
    }
    return r;
}

RECT ScreenClientRect(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return RECT{};
    RECT r = ScreenWindowRect(hwnd);
    RECT nc = NonClientFrame(w->style, w->exStyle);
    return RECT{r.left + nc.left, r.top + nc.top, std::max(r.left + nc.left, r.right - nc.right),
                std::max(r.top + nc.top, r.bottom - nc.bottom)};
}

HWND TopLevelOf(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    while (w && w->parent)
        w = FindWindowRecord(w->parent);
    return w ? w->handle : nullptr;
}

LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool posted) {
    Window* w = FindWindowRecord(hwnd);
    if (!w || !w->proc)
        return 0;
    WNDPROC proc = w->proc;
    RecordMessage(hwnd, message, wParam, lParam, posted);
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

using own::FindWindowRecord;
using own::Window;

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName || !wc->lpfnWndProc ||
        wc->cbWndExtra < 0 || wc->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    own::EnsureSystemClasses();
    for (const auto& cls : own::g_classes) {
        if (!cls->system && cls->instance == wc->hInstance &&
            own::ClassMatches(*cls, wc->lpszClassName)) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    auto cls = std::make_shared<own::WindowClass>();
    cls->name = IS_INTRESOURCE(wc->lpszClassName) ? std::string() : wc->lpszClassName;
    cls->atom = own::g_nextAtom++;
    cls->style = wc->style;
    cls->proc = wc->lpfnWndProc;
    cls->wndExtra = wc->cbWndExtra;
    cls->instance = wc->hInstance;
    cls->background = wc->hbrBackground;
    own::g_classes.push_back(cls);
    return cls->atom;
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    auto& classes = own::g_classes;
    auto it = std::find_if(classes.begin(), classes.end(), [&](const auto& cls) {
        return !cls->system && cls->instance == instance && own::ClassMatches(*cls, className);
    });
    if (it == classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    auto cls = own::FindClass(className, instance);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && !FindWindowRecord(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    auto record = std::make_unique<Window>();
    HWND hwnd = own::NewHandle();
    record->handle = hwnd;
    record->cls = cls;
    record->proc = cls->proc;
    record->instance = instance;
    record->style = style & ~WS_VISIBLE;  // shown below, after creation, as the platform does
    record->exStyle = exStyle;
    record->parent = child ? parent : nullptr;
    record->id = child ? static_cast<int>(reinterpret_cast<std::intptr_t>(menu)) : 0;
    record->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    record->extra.assign(static_cast<std::size_t>(cls->wndExtra), 0);
    own::g_windows[reinterpret_cast<std::uintptr_t>(hwnd)] = std::move(record);
    if (child) {
        FindWindowRecord(parent)->children.insert(FindWindowRecord(parent)->children.begin(), hwnd);
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
    if (!FindWindowRecord(hwnd))
        return nullptr;
    own::ParentNotify(hwnd, WM_CREATE);
    if ((style & WS_VISIBLE) && FindWindowRecord(hwnd)) {
        ShowWindow(hwnd, child ? SW_SHOW : SW_SHOWNORMAL);
    }
    return FindWindowRecord(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (w->destroying)
        return FALSE;
    bool child = w->parent != nullptr;
    own::ParentNotify(hwnd, WM_DESTROY);
    if (!FindWindowRecord(hwnd))
        return TRUE;
    own::HideForDestroy(hwnd);
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
    Window* w = FindWindowRecord(hwnd);
    if (!w)
        return FALSE;
    for (; w; w = FindWindowRecord(w->parent)) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
    }
    return TRUE;
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

HWND GetParent(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    return w ? w->parent : nullptr;
}

HWND GetDlgItem(HWND dialog, int id) {
    Window* w = FindWindowRecord(dialog);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (HWND child : w->children) {
        if (FindWindowRecord(child)->id == id)
            return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    Window* w = FindWindowRecord(hwnd);
    return w ? w->id : 0;
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int size) {
    Window* w = FindWindowRecord(hwnd);
    if (!w || !buffer || size <= 0)
        return 0;
    std::size_t n = std::min(w->cls->name.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, w->cls->name.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
    Window* w = FindWindowRecord(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(w->parent);
        case GWLP_ID:
            return w->id;
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        case GWLP_USERDATA:
            return w->userData;
        default:
            break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    LONG_PTR value;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = FindWindowRecord(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR old = GetWindowLongPtrA(hwnd, index);
    switch (index) {
        case GWLP_WNDPROC:
            w->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWLP_HINSTANCE:
            w->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        case GWLP_HWNDPARENT:
            return old;  // re-parenting is not part of this layer
        case GWLP_ID:
            w->id = static_cast<int>(value);
            return old;
        case GWL_STYLE:
            w->style = static_cast<DWORD>(value);
            return old;
        case GWL_EXSTYLE:
            w->exStyle = static_cast<DWORD>(value);
            return old;
        case GWLP_USERDATA:
            w->userData = value;
            return old;
        default:
            break;
    }
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
}

LONG GetWindowLongA(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!FindWindowRecord(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd) {
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
    if (!FindWindowRecord(hwnd) || !rect)
        return FALSE;
    RECT r = own::ScreenClientRect(hwnd);
    *rect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
    if (!FindWindowRecord(hwnd) || !rect)
        return FALSE;
    *rect = own::ScreenWindowRect(hwnd);
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT p) {
    return rect && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!FindWindowRecord(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return own::CallProcedure(hwnd, message, wParam, lParam, false);
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}
