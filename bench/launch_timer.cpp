// Times launches of two programs that show the same dialog, alternately: from CreateProcess to
// the program's window being visible, and to the program first waiting for input
// (WaitForInputIdle). A console program, run in the same Wine prefix as the programs it times.
//
//   launch_timer PAIRS PROGRAM BASELINE
//
// After one warm-up launch of each, prints one line per pair of launches,
// "program VISIBLE_MS IDLE_MS baseline VISIBLE_MS IDLE_MS". Each program is ended with a quit
// message to its thread once measured. Exit code 1 when a launch fails.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Found {
    DWORD processId;
    bool visible;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM lParam) {
    Found* found = reinterpret_cast<Found*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->processId && IsWindowVisible(window)) {
        found->visible = true;
        return FALSE;
    }
    return TRUE;
}

// Whether a top-level window of the process is visible.
bool HasVisibleWindow(DWORD processId) {
    Found found{processId, false};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&found));
    return found.visible;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// Starts the program in its own folder; false when it cannot be started or ends before it
// shows its window.
bool Launch(const char* exe, double* visible, double* idle) {
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof folder, "%s", exe);
    char* slash = std::strrchr(folder, '\\');
    if (slash) {
        *slash = '\0';
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    LARGE_INTEGER frequency, begin;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessA(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, slash ? folder : nullptr,
                        &startup, &child)) {
        std::fprintf(stderr, "launch_timer: cannot start %s\n", exe);
        return false;
    }
    bool shown = true;
    while (!HasVisibleWindow(child.dwProcessId)) {
        if (WaitForSingleObject(child.hProcess, 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "launch_timer: %s ended before its window showed\n", exe);
            shown = false;
            break;
        }
    }
    if (shown) {
        *visible = Milliseconds(begin, frequency);
        WaitForInputIdle(child.hProcess, 10000);
        *idle = Milliseconds(begin, frequency);
    }
    PostThreadMessageA(child.dwThreadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(child.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(child.hProcess, 2);
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::atoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: launch_timer PAIRS PROGRAM BASELINE\n");
        return 2;
    }
    const int pairs = std::atoi(argv[1]);
    const char* names[2] = {"program", "baseline"};
    const char* exes[2] = {argv[2], argv[3]};
    double visible;
    double idle;
    for (const char* exe : exes) {
        if (!Launch(exe, &visible, &idle)) {
            return 1;
        }
    }
    // Every other pair starts with the baseline, so that neither program always follows the
    // other's exit.
    for (int pair = 0; pair < pairs; ++pair) {
        double times[2][2];
        for (int step = 0; step < 2; ++step) {
            int i = (pair + step) % 2;
            if (!Launch(exes[i], &times[i][0], &times[i][1])) {
                return 1;
            }
        }
        std::printf("%s %.2f %.2f %s %.2f %.2f\n", names[0], times[0][0], times[0][1], names[1],
                    times[1][0], times[1][1]);
        std::fflush(stdout);
    }
    return 0;
}
