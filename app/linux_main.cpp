// The control panel on Linux: the program's own entry, run on the own layer with a front end as
// its screen, keyboard and mouse: a window on the X display when there is one, else the terminal.
//
//   AIControlPanel [--terminal] [--scale 1|2|3]
//
// --scale draws the window that many times bigger (default: AICP_SCALE, else the screen's dpi).
#include <cstdio>
#include <cstring>
#include <string>

#include "desktop/desktop.h"
#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "platform/platform.h"
#include "res/program_resources.h"
#include "terminal/terminal.h"

namespace {

int RunProgram(headless::InputSource* input) {
    headless::SetInputSource(input);
    char commandLine[] = "";
    int exitCode = WinMain(own::ProgramInstance(), nullptr, commandLine, SW_SHOWNORMAL);
    headless::SetInputSource(nullptr);
    return exitCode;
}

int RunInTerminal() {
    terminal::TerminalInput input;
    std::string error;
    if (!input.Start(&error)) {
        std::fprintf(stderr, "AIControlPanel: %s\n", error.c_str());
        return 2;
    }
    int exitCode = RunProgram(&input);
    input.Stop();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    bool terminalWanted = false;
    int scale = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--terminal") == 0) {
            terminalWanted = true;
        } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc &&
                   std::strlen(argv[i + 1]) == 1 && argv[i + 1][0] >= '1' &&
                   argv[i + 1][0] <= '3') {
            scale = argv[++i][0] - '0';
        } else {
            std::fprintf(stderr, "usage: AIControlPanel [--terminal] [--scale 1|2|3]\n");
            return 2;
        }
    }
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    if (terminalWanted)
        return RunInTerminal();
    desktop::DesktopInput input;
    std::string error;
    if (!input.Start(scale, &error)) {
        if (!error.empty())
            std::fprintf(stderr, "AIControlPanel: %s; using the terminal\n", error.c_str());
        return RunInTerminal();
    }
    int exitCode = RunProgram(&input);
    input.Stop();
    return exitCode;
}
