// The Wine player's eyes: a console program run in the same Wine prefix as the control panel. It
// finds the panel and its message boxes, reads what a person would see on them, and tells the
// player where on the screen to point for a control named by its caption. It moves nothing
// itself; the player clicks and types through X.
//
//   probe wait MS                       the panel is on screen and its program waits for input
//                                       (exit 1 after MS milliseconds)
//   probe point button|tab CAPTION      screen point of a push button, check box or tab
//   probe point thumb SLIDER            the slider's thumb (SLIDER: the caption of its group box)
//   probe point tick SLIDER POSITION    where the thumb's centre stands at that position
//   probe point channel SLIDER left|right   a point in the channel beside the thumb
//   probe point close | boxok           the panel's close box; OK of the message box on top
//   probe get label|slider SLIDER, get check CAPTION, get tab, get box
//   probe geometry                      every control: class, id, screen rectangle, text
//   probe launch EXE CLASS CAPTION      milliseconds from starting EXE to its window being visible,
//                                       and to the program first waiting for input
//   probe serve                         the commands above from standard input (see Serve)
//
// A point that another window covers is answered "covered X Y TOX TOY" with exit code 3: drag
// the covering window's caption from X,Y to TOX,TOY and ask again. Other failures exit 1 or 2.
// windows.h first: commctrl.h needs its types.
#include <windows.h>

#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/wine/screen.h"

namespace {

using namespace probe;

constexpr int kCovered = 3;

// What the command answers; printed once it has run.
std::string g_out;

void Out(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    g_out += line;
}

// Answers a point, or how to move the window that covers it out of the way first: a message
// box goes to the screen's left edge, beside the centred panel.
int PrintPoint(POINT point, HWND target) {
    HWND hit = WindowFromPoint(point);
    HWND top = hit ? GetAncestor(hit, GA_ROOT) : nullptr;
    if (top && top != GetAncestor(target, GA_ROOT)) {
        RECT frame = ScreenRect(top);
        int x = frame.left + 24;
        int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        Out("covered %d %d %d %d\n", static_cast<int>(x), static_cast<int>(y), 24 + 2,
            static_cast<int>(y));
        return kCovered;
    }
    Out("%d %d\n", static_cast<int>(point.x), static_cast<int>(point.y));
    return 0;
}

int Point(int argc, char** argv) {
    std::string what = argc > 2 ? argv[2] : "";
    std::string name = argc > 3 ? argv[3] : "";
    if (what == "button") {
        HWND button = ButtonNamed(name);
        return PrintPoint(Centre(ScreenRect(button)), button);
    }
    if (what == "tab") {
        HWND tabs = Tabs();
        return PrintPoint(Centre(ControlRect(tabs, TCM_GETITEMRECT, TabIndex(tabs, name))), tabs);
    }
    if (what == "thumb") {
        HWND slider = Slider(name);
        return PrintPoint(Centre(ControlRect(slider, TBM_GETTHUMBRECT, 0)), slider);
    }
    if (what == "tick" && argc > 4) {
        HWND slider = Slider(name);
        return PrintPoint(TickPoint(slider, std::atoi(argv[4])), slider);
    }
    if (what == "channel" && argc > 4) {
        HWND slider = Slider(name);
        return PrintPoint(ChannelPoint(slider, argv[4]), slider);
    }
    if (what == "close") {
        HWND panel = Panel();
        return PrintPoint(CloseBoxPoint(panel), panel);
    }
    if (what == "boxok") {
        std::vector<HWND> boxes = Boxes();
        if (boxes.empty()) {
            Fail("no message box is open");
        }
        HWND ok = GetDlgItem(boxes.front(), IDOK);
        return PrintPoint(Centre(ScreenRect(ok)), ok);
    }
    Fail("unknown point: " + what);
}

int Get(int argc, char** argv) {
    std::string what = argc > 2 ? argv[2] : "";
    std::string name = argc > 3 ? argv[3] : "";
    if (what == "label") {
        Out("%s\n", TextOf(InGroup(name, "Static")).c_str());
    } else if (what == "slider") {
        Out("%d\n", static_cast<int>(SendMessageA(Slider(name), TBM_GETPOS, 0, 0)));
    } else if (what == "check") {
        Out("%s\n", SendMessageA(ButtonNamed(name), BM_GETCHECK, 0, 0) == BST_CHECKED
                        ? "checked"
                        : "unchecked");
    } else if (what == "tab") {
        HWND tabs = Tabs();
        int selected = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
        std::vector<std::string> texts = TabTexts(tabs);
        Out("%s\n", selected >= 0 && selected < static_cast<int>(texts.size())
                        ? texts[selected].c_str()
                        : "");
    } else if (what == "box") {
        std::vector<HWND> boxes = Boxes();
        if (boxes.empty()) {
            return 1;
        }
        Out("%s\n", BoxText(boxes.front()).c_str());
    } else {
        Fail("unknown reading: " + what);
    }
    return 0;
}

int Geometry() {
    HWND panel = Panel();
    RECT frame = ScreenRect(panel);
    Out("window %ld %ld %ld %ld \"%s\"\n", frame.left, frame.top, frame.right, frame.bottom,
        TextOf(panel).c_str());
    for (HWND child : Children(panel)) {
        RECT rect = ScreenRect(child);
        Out("%s %d %ld %ld %ld %ld \"%s\"\n", ClassOf(child).c_str(), GetDlgCtrlID(child),
            rect.left, rect.top, rect.right, rect.bottom, TextOf(child).c_str());
    }
    return 0;
}

bool IsShown(const char* className, const char* caption) {
    HWND window = FindWindowA(className, caption);
    return window && IsWindowVisible(window);
}

int Wait(int argc, char** argv) {
    DWORD limit = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 10000;
    DWORD start = GetTickCount();
    while (!IsShown(kPanelClass, kPanelCaption)) {
        if (GetTickCount() - start > limit) {
            return 1;
        }
        Sleep(20);
    }
    // The dialog shows before start-up loads the settings; input idle means the program has
    // reached its loop, or the loop of the load's message box.
    DWORD id = 0;
    GetWindowThreadProcessId(Panel(), &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id);
    if (process) {
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
    }
    return 0;
}

// Starts a program in its own folder and times it to its window and to its first wait for
// input; then closes it as its close box would.
int Launch(int argc, char** argv) {
    if (argc < 5) {
        Fail("launch needs EXE CLASS CAPTION");
    }
    std::string exe = argv[2];
    std::string folder = exe.substr(0, exe.find_last_of("\\/") + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    LARGE_INTEGER frequency{}, begin{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &child)) {
        Fail("cannot start " + exe);
    }
    while (!IsShown(argv[3], argv[4])) {
        if (WaitForSingleObject(child.hProcess, 1) == WAIT_OBJECT_0) {
            Fail(exe + " ended before its window showed");
        }
    }
    auto elapsed = [&] {
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - begin.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    };
    double visible = elapsed();
    // Start-up goes on after the dialog shows (the settings are loaded into it); idle is when
    // the program first waits for input.
    WaitForInputIdle(child.hProcess, 10000);
    Out("%.1f %.1f\n", visible, elapsed());
    PostMessageA(FindWindowA(argv[3], argv[4]), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(child.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(child.hProcess, 2);
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return 0;
}

int Run(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "wait") {
        return Wait(argc, argv);
    }
    if (command == "launch") {
        return Launch(argc, argv);
    }
    if (command == "point") {
        return Point(argc, argv);
    }
    if (command == "get") {
        return Get(argc, argv);
    }
    if (command == "geometry") {
        return Geometry();
    }
    Fail("usage: probe serve|wait|point|get|geometry|launch ...");
}

// One answer per line, so that line feeds in a text cannot end it early.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// Answers commands read from standard input, one a line with tab-separated words, as
// "EXIT-CODE<tab>ESCAPED-ANSWER": one Wine process for the whole run instead of one per reading.
int Serve() {
    char line[2048];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        std::vector<std::string> words{"probe"};
        for (char* word = line;; ++word) {
            char* end = std::strchr(word, '\t');
            words.emplace_back(word, end ? end : word + std::strlen(word));
            if (!end) {
                break;
            }
            word = end;
        }
        std::vector<char*> args;
        for (std::string& word : words) {
            args.push_back(word.data());
        }
        g_out.clear();
        int code = 1;
        try {
            code = Run(static_cast<int>(args.size()), args.data());
        } catch (const ProbeError& error) {
            g_out = "probe: " + error.why;
        }
        std::printf("%d\t%s\n", code, Escaped(g_out).c_str());
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Texts go out byte for byte: a message box text keeps its bare line feeds.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    if (argc > 1 && std::strcmp(argv[1], "serve") == 0) {
        return Serve();
    }
    try {
        int code = Run(argc, argv);
        std::fputs(g_out.c_str(), stdout);
        return code;
    } catch (const ProbeError& error) {
        std::fprintf(stderr, "probe: %s\n", error.why.c_str());
        return 1;
    }
}
