// The launch-time baseline: the least a Win32 program does to show a dialog. An empty modeless
// dialog from a template in memory, served by the same kind of message loop as the panel's.
#include <windows.h>

#include <array>

namespace {

// DLGTEMPLATE, then no menu, the default class and the caption, all in 16-bit words.
struct alignas(4) EmptyTemplate {
    DLGTEMPLATE header;
    std::array<WORD, 2 + 13> tail;
};

const EmptyTemplate kTemplate = {
    {WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 0, 246,
     268},
    {0, 0, 'E', 'm', 'p', 't', 'y', ' ', 'D', 'i', 'a', 'l', 'o', 'g', 0},
};

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(dialog);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!CreateDialogIndirectParamA(instance, &kTemplate.header, nullptr, EmptyDialogProc, 0)) {
        return 0;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}
