#pragma once
// The layer as a new process finds it, and the control panel on it as start-up leaves it or the
// whole program run on it: for the tests and players that link the panel and the program's
// resources.

#include <iterator>
#include <memory>
#include <string>

#include "panel/dialog_window.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "tests/support/test_support.h"

namespace support {

// No window, no profile, no dialog class; the program's resources.
inline void FreshLayer() {
    own::ResetLayer();
    ForgetProfiles();
    UnregisterClassA("DLGCLASS", own::ProgramInstance());
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
}

// The whole program on a fresh layer, as a new process would start it from a program file at the
// path (which GetModuleFileNameA reports), with as much of its resource file as given.
inline int RunProgram(const std::string& path, HINSTANCE instance = own::ProgramInstance(),
                      std::size_t resourceBytes = kProgramResFileSize) {
    static std::string modulePath;
    FreshLayer();
    own::SetProgramResources(kProgramResFile, resourceBytes);
    modulePath = path;
    own::SetModulePathHook(+[] { return modulePath.c_str(); });
    char commandLine[] = "";
    return WinMain(instance, nullptr, commandLine, 0);
}

// The dialog created on a fresh layer, the profiles made anew and handed over, the "Hard" tab shown
// and painted; no message loop runs.
struct Panel {
    Panel() {
        FreshLayer();
        window.Create(own::ProgramInstance());
        for (std::size_t i = 0; i < std::size(kProfileNames); ++i) {
            profiles[i] = std::make_unique<AISetting>(kProfileNames[i]);
            window.AddProfile(profiles[i].get());
        }
        window.Refresh();
        DoEvents();
    }
    HWND Item(int id) const { return GetDlgItem(window.hDialog, id); }

    DialogWindow window;
    std::unique_ptr<AISetting> profiles[std::size(kProfileNames)];
};

}  // namespace support
