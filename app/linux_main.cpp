// The control panel on Linux: the program's own entry, run on the own layer with a front end as
// its screen, keyboard and mouse: a window on the X display when there is one, else the terminal.
// Its options, files and exit codes: AIControlPanel --help.
#include <getopt.h>

#include <climits>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "desktop/desktop.h"
#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "platform/platform.h"
#include "res/program_resources.h"
#include "terminal/terminal.h"

namespace {

constexpr const char* kName = "AIControlPanel";
// The exit codes of the entry itself; the dialog's run ends with 1, or with 0 when its start-up
// gives up.
constexpr int kExitUsage = 2;     // a wrong option or argument
constexpr int kExitNoScreen = 3;  // neither an X display nor a terminal to show the dialog on

struct Options {
    bool terminal = false;
    int scale = 0;  // 0: AICP_SCALE's, else the screen's
    bool help = false;
    bool version = false;
};

// One row per option: its long name, its letter (or 0), the name of its argument (or null when
// it takes none), its line in the help, and what it does to the options; false rejects the
// argument.
struct OptionRow {
    const char* name;
    char letter;
    const char* argument;
    const char* help;
    bool (*take)(Options* options, const char* argument);
};

constexpr OptionRow kOptionRows[] = {
    {"terminal", 't', nullptr, "use this terminal even where an X display can be opened",
     [](Options* o, const char*) { return o->terminal = true; }},
    {"scale", 's', "N", "draw the window N times as big (1, 2 or 3)",
     [](Options* o, const char* n) {
         o->scale = desktop::ScaleNamed(n);
         return o->scale != 0;
     }},
    {"help", 'h', nullptr, "print this help and exit",
     [](Options* o, const char*) { return o->help = true; }},
    {"version", 'V', nullptr, "print the name and version and exit",
     [](Options* o, const char*) { return o->version = true; }},
};

// What getopt_long returns for a row: its letter, or a number past every letter.
int KeyOf(int row) {
    return kOptionRows[row].letter ? kOptionRows[row].letter : UCHAR_MAX + 1 + row;
}

void PrintOptions(std::FILE* out) {
    for (const OptionRow& row : kOptionRows) {
        std::string forms = row.letter ? std::string("-") + row.letter + ", " : "    ";
        forms +=
            std::string("--") + row.name + (row.argument ? std::string("=") + row.argument : "");
        std::fprintf(out, "  %-22s %s\n", forms.c_str(), row.help);
    }
}

// The program file's path; its folder is where the program reads and writes its files.
std::string ProgramPath() {
    char path[PATH_MAX];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

void PrintHelp() {
    std::string folder = ProgramPath();
    folder.erase(folder.rfind('/') == std::string::npos ? 0 : folder.rfind('/'));
    std::printf(
        "Usage: %s [OPTION]...\n"
        "Sets how the computer opponents of the game behave at each of its five difficulty\n"
        "levels: a dialog in a window on the X display, or in this terminal where there is\n"
        "no display.\n\n",
        kName);
    PrintOptions(stdout);
    std::printf(
        "\nFiles, in the program's folder %s:\n"
        "  Core/AIConfig.ai         the settings: read at start, written by Apply and OK\n"
        "  Core/AIDefaultConfig.ai  the defaults: read by Reset, never written\n"
        "\nEnvironment:\n"
        "  DISPLAY     the X display to open the window on\n"
        "  AICP_SCALE  the window's scale, 1, 2 or 3, unless --scale gives it (by default the\n"
        "              screen's: 2 from 144 dpi in Xft.dpi, 3 from 240)\n"
        "  TERM        the type of this terminal\n"
        "\nExit status:\n"
        "  1  the dialog was closed: OK, Cancel, its close box, or q in the terminal\n"
        "  0  the dialog could not start (as when the program's path is longer than 255\n"
        "     characters)\n"
        "  2  a wrong option\n"
        "  3  neither an X display nor a terminal to show the dialog on\n"
        "  4  the X display went away while the dialog was open (nothing was saved)\n",
        folder.c_str());
}

// Reads the command line into *options; false after telling stderr what is wrong with it.
bool ParseOptions(int argc, char** argv, Options* options) {
    std::vector<option> longOptions;
    std::string letters;
    for (int row = 0; row < static_cast<int>(std::size(kOptionRows)); ++row) {
        const OptionRow& r = kOptionRows[row];
        longOptions.push_back(
            option{r.name, r.argument ? required_argument : no_argument, nullptr, KeyOf(row)});
        if (r.letter)
            letters += std::string(1, r.letter) + (r.argument ? ":" : "");
    }
    longOptions.push_back(option{});
    for (int key;
         (key = getopt_long(argc, argv, letters.c_str(), longOptions.data(), nullptr)) != -1;) {
        int row = 0;
        while (row < static_cast<int>(std::size(kOptionRows)) && KeyOf(row) != key)
            ++row;
        if (row == static_cast<int>(std::size(kOptionRows)))
            return false;  // getopt_long has named the option
        if (!kOptionRows[row].take(options, optarg)) {
            std::fprintf(stderr, "%s: invalid argument '%s' for --%s\n", kName, optarg,
                         kOptionRows[row].name);
            return false;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "%s: unexpected argument '%s'\n", kName, argv[optind]);
        return false;
    }
    return true;
}

int RunProgram(headless::InputSource* input) {
    headless::SetInputSource(input);
    char commandLine[] = "";
    int exitCode = WinMain(own::ProgramInstance(), nullptr, commandLine, SW_SHOWNORMAL);
    headless::SetInputSource(nullptr);
    return exitCode;
}

// The exit code of a run, once the front end has given the screen back; a start-up that gave up
// says why, where it can be told.
int Explained(int exitCode) {
    if (exitCode == 0 && ProgramPath().size() > 255)
        std::fprintf(stderr,
                     "%s: the program's path is longer than 255 characters: move the program to a"
                     " folder with a shorter path\n",
                     kName);
    return exitCode;
}

// The dialog in the terminal. The reason, when it cannot be used, follows before: what kept the
// dialog off the X display, if that has not been said yet.
int RunInTerminal(const char* before) {
    terminal::TerminalInput input;
    std::string error;
    if (!input.Start(&error)) {
        std::fprintf(stderr, "%s: %sthe terminal cannot be used: %s\n", kName, before,
                     error.c_str());
        return kExitNoScreen;
    }
    int exitCode = RunProgram(&input);
    input.Stop();
    return Explained(exitCode);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "Usage: %s [OPTION]...\n", kName);
        PrintOptions(stderr);
        return kExitUsage;
    }
    if (options.help) {
        PrintHelp();
        return 0;
    }
    if (options.version) {
        std::printf("%s %s\n", kName, AICP_VERSION);
        return 0;
    }
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    if (options.terminal)
        return RunInTerminal("");
    desktop::DesktopInput input;
    std::string error;
    if (!input.Start(options.scale, &error)) {
        if (error.empty())
            return RunInTerminal("there is no X display (DISPLAY is not set), and ");
        std::fprintf(stderr, "%s: %s; using the terminal\n", kName, error.c_str());
        return RunInTerminal("");
    }
    int exitCode = RunProgram(&input);
    input.Stop();
    return Explained(exitCode);
}
