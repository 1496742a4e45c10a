// Window classes: the program's own, registered per module, and the layer's system classes,
// found by name (without regard to case) or by atom.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/own/window.h"
#include "platform/own/window_class.h"

namespace own {
namespace {

std::vector<std::shared_ptr<WindowClass>> g_classes;
ATOM g_nextAtom = 0xC000;

bool ClassMatches(const WindowClass& cls, const char* nameOrAtom) {
    if (IS_INTRESOURCE(nameOrAtom)) {
        return cls.atom == static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(nameOrAtom));
    }
    return SameClassName(cls.name, nameOrAtom);
}

}  // namespace

bool SameClassName(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

void EnsureSystemClasses() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterButtonClass();
    RegisterStaticClass();
    RegisterDialogClass();
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
        if (cls->system && SameClassName(cls->name, name))
            return;
    }
    ATOM classAtom = atom ? atom : g_nextAtom++;
    g_classes.push_back(std::make_shared<WindowClass>(
        WindowClass{name, classAtom, 0, proc, wndExtra, nullptr, background, true}));
}

}  // namespace own

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
    std::string name = IS_INTRESOURCE(wc->lpszClassName) ? std::string() : wc->lpszClassName;
    ATOM atom = own::g_nextAtom++;
    own::g_classes.push_back(std::make_shared<own::WindowClass>(
        own::WindowClass{name, atom, wc->style, wc->lpfnWndProc, wc->cbWndExtra, wc->hInstance,
                         wc->hbrBackground, false}));
    return atom;
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
