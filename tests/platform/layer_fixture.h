#pragma once
// A top-level parent window for layer tests, whose answers to notifications a test can set; the
// program's dialog class; a recorder of what the windows' procedures receive; and the tear-down
// that leaves no window behind for the next test.

#include <gtest/gtest.h>

#include <functional>

#include "msg_sequence.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"

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
    // The program's dialog 102, made with the DLGCLASS class above.
    HWND CreatePanel() {
        return CreateDialogParamA(own::ProgramInstance(), MAKEINTRESOURCEA(102), nullptr, nullptr,
                                  0);
    }

    support::MessageRecorder recorder;
};
