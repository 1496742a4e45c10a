#include "layer_fixture.h"

#include "platform/own/resources.h"
#include "res/program_resources.h"

std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> LayerTest::parentHook;

namespace {

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (LayerTest::parentHook && LayerTest::parentHook(hwnd, message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

void LayerTest::SetUp() {
    InitCommonControls();
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = ParentProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = "TestParent";
    RegisterClassExA(&cls);  // fails harmlessly from the second test on
    parentHook = nullptr;
}

void LayerTest::TearDown() {
    parentHook = nullptr;
    own::ResetLayer();
    if (dialogClass_) {
        UnregisterClassA("DLGCLASS", own::ProgramInstance());
        dialogClass_ = false;
    }
}

void LayerTest::RegisterDialogClass(WNDPROC procedure) {
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    WNDCLASSEXA cls{};
    cls.cbSize = sizeof cls;
    cls.style = CS_HREDRAW | CS_VREDRAW;
    cls.lpfnWndProc = procedure;
    cls.cbWndExtra = DLGWINDOWEXTRA;
    cls.hInstance = own::ProgramInstance();
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = "DLGCLASS";
    dialogClass_ = RegisterClassExA(&cls) != 0;
}

HWND LayerTest::CreateParent() {
    return CreateWindowExA(0, "TestParent", "Parent",
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 400, 300,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND LayerTest::CreateControl(const char* cls, const char* text, DWORD style, int x, int y,
                              int width, int height, int id, HWND parentWnd) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parentWnd, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}
