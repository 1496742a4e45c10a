// The control panel on Linux, in a terminal: the program's own entry, run on the own layer with
// the terminal front end as its screen, keyboard and mouse.
#include <cstdio>
#include <string>

#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "terminal/terminal.h"
#include "platform/platform.h"
#include "res/program_resources.h"

int main() {
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    terminal::TerminalInput input;
    std::string error;
    if (!input.Start(&error)) {
        std::fprintf(stderr, "AIControlPanel: %s\n", error.c_str());
        return 2;
    }
    headless::SetInputSource(&input);
    char commandLine[] = "";
    int exitCode = WinMain(own::ProgramInstance(), nullptr, commandLine, SW_SHOWNORMAL);
    headless::SetInputSource(nullptr);
    input.Stop();
    return exitCode;
}
