#pragma once
// Inside the own layer: window classes: the records behind the atoms and names, and the layer's own
// classes. Nothing outside platform/own includes this.

#include <memory>
#include <string>

#include "platform/own/win32.h"

namespace own {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HBRUSH background = nullptr;
    bool system = false;  // registered by the layer, found from any module
};

// Class names compare without case, as the platform compares them.
bool SameClassName(const std::string& a, const char* b);
// The class registered under a name (case-insensitive) for an instance, or a system class.
std::shared_ptr<const WindowClass> FindClass(const char* nameOrAtom, HINSTANCE instance);
// Registers one of the layer's own classes (Button, Static, the common controls, "#32770").
void RegisterSystemClass(const char* name, ATOM atom, WNDPROC proc, int wndExtra,
                         HBRUSH background);

// Each control file registers its class: the user32 ones on the first look-up of any class, the
// common controls through InitCommonControls.
void RegisterButtonClass();
void RegisterStaticClass();
void RegisterDialogClass();
void RegisterTrackbarClass();
void RegisterTabClass();
void EnsureSystemClasses();

}  // namespace own
