// The Wine player's eyes, run beside the control panel under Wine: it reads what a person sees
// and tells when the panel's thread has taken the input given; it moves nothing itself. One
// command a line on standard input; every answer ends with a line "end".
//   screen            the panel and the open boxes, in the lines that ParseScreenLine reads
//   wait MS           "shown" once the panel shows and its program waits for input, else "none"
//   raise BOX X Y     brings the panel (BOX -1) or that box to the top if the point is covered
//   sync N [VK DOWN]  waits for key or button VK to be down (or up), then N round trips
// windows.h first: commctrl.h needs its types.
#include <windows.h>

#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/scenarios/engine/engine.h"

namespace {

HWND Panel() {
    HWND panel = FindWindowA("DLGCLASS", "AI Control Panel");
    return panel && IsWindowVisible(panel) ? panel : nullptr;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The window's text as its program last set it (no round trip to another process), quoted.
std::string Text(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return scenario::Quoted(text);
}

std::string Numbers(RECT r) {
    char text[64];
    std::snprintf(text, sizeof text, " %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    return text;
}

std::string Numbers(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return Numbers(rect);
}

// A rectangle that a control message fills in the control's client coordinates, on the screen:
// through memory in the panel's process, which the message's pointer must point into.
RECT ControlRect(HWND control, UINT message, WPARAM wParam, char* text = nullptr) {
    static HANDLE process = nullptr;
    static char* remote = nullptr;
    static DWORD known = 0;
    DWORD id = 0;
    GetWindowThreadProcessId(control, &id);
    if (id != known) {
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        remote =
            static_cast<char*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
        known = id;
    }
    RECT rect{};
    TCITEMA item{TCIF_TEXT, 0, 0, remote + 256, 128, 0, 0};
    WriteProcessMemory(process, remote, text ? static_cast<void*>(&item) : &rect,
                       text ? sizeof item : sizeof rect, nullptr);
    Send(control, message, wParam, reinterpret_cast<LPARAM>(remote));
    if (text)
        ReadProcessMemory(process, remote + 256, text, 127, nullptr);
    ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The close box, found once a panel by asking it what lies along its caption, from the right.
RECT CloseBox(HWND panel) {
    static HWND known = nullptr;
    static RECT closeBox{};
    RECT frame{};
    GetWindowRect(panel, &frame);
    int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = frame.right - 1, right = 0; panel != known && x > frame.right - 80; --x) {
        if (Send(panel, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
            closeBox = RECT{x, y, right = right ? right : x + 1, y + 1};
        else if (right)
            break;
    }
    known = panel;
    return closeBox;
}

// The program's message boxes (its dialogs other than the panel), the one on top first.
std::vector<HWND> Boxes(HWND panel) {
    std::vector<HWND> boxes;
    DWORD process = 0, other = 0;
    GetWindowThreadProcessId(panel, &process);
    for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", nullptr));) {
        GetWindowThreadProcessId(box, &other);
        if (other == process && box != panel && IsWindowVisible(box))
            boxes.push_back(box);
    }
    return boxes;
}

std::string Screen() {
    HWND panel = Panel();
    if (!panel)
        return "";
    RECT client{};
    GetClientRect(panel, &client);
    MapWindowPoints(panel, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::string out = "panel" + Numbers(client) + Numbers(CloseBox(panel)) + "\n";
    // The focus of the panel's thread, wherever it is: a control, a box, or none.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(panel, nullptr), &thread);
    int focus = -1, focusBox = -1, controls = 0, onOk = 0;
    for (HWND child = GetWindow(panel, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        focus = child == thread.hwndFocus ? controls : focus;
        ++controls;
        std::string name = ClassOf(child);
        LONG type = name == "Button" ? GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK : -1;
        out += "control \"" + name + "\" " + std::to_string(GetDlgCtrlID(child)) + Numbers(child) +
               " " + std::to_string(type) +
               (type >= 0 && Send(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? " 1 " : " 0 ") +
               Text(child) + "\n";
        if (name == TRACKBAR_CLASSA) {
            out += "slider " + std::to_string(Send(child, TBM_GETRANGEMIN, 0, 0)) + " " +
                   std::to_string(Send(child, TBM_GETRANGEMAX, 0, 0)) +
                   Numbers(ControlRect(child, TBM_GETCHANNELRECT, 0)) + " " +
                   std::to_string(Send(child, TBM_GETPOS, 0, 0)) +
                   Numbers(ControlRect(child, TBM_GETTHUMBRECT, 0)) + "\n";
        }
        LRESULT selected = name == WC_TABCONTROLA ? Send(child, TCM_GETCURSEL, 0, 0) : -1;
        for (int i = 0; name == WC_TABCONTROLA && i < Send(child, TCM_GETITEMCOUNT, 0, 0); ++i) {
            char text[128] = {};
            ControlRect(child, TCM_GETITEMA, i, text);
            out += "tab" + Numbers(ControlRect(child, TCM_GETITEMRECT, i)) + " " +
                   scenario::Quoted(text) + (i == selected ? " 1\n" : " 0\n");
        }
    }
    std::vector<HWND> boxes = Boxes(panel);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        // A message box's text is its static control 0xFFFF.
        out += "box" + Numbers(GetDlgItem(boxes[i], IDOK)) + " " + Text(boxes[i]) + " " +
               Text(GetDlgItem(boxes[i], 0xFFFF)) + "\n";
        if (focusBox < 0 && (thread.hwndFocus == boxes[i] || IsChild(boxes[i], thread.hwndFocus))) {
            focusBox = static_cast<int>(i);
            onOk = thread.hwndFocus == GetDlgItem(boxes[i], IDOK);
        }
    }
    return out + "focus " + std::to_string(focus) + " " + std::to_string(focusBox) + " " +
           std::to_string(onOk) + "\n";
}

void Raise(int box, POINT point) {
    HWND panel = Panel();
    std::vector<HWND> boxes = Boxes(panel);
    HWND target = box < 0 ? panel : box < static_cast<int>(boxes.size()) ? boxes[box] : nullptr;
    HWND hit = WindowFromPoint(point);
    if (target && (!hit || GetAncestor(hit, GA_ROOT) != target))
        SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// Input reaches the panel's thread through X, then the server's queue: once the key or button
// given last has its new state, the events are queued. Sent messages go before input, so each
// round trip then lets the thread take at least one more input message: one per message given,
// and one more, leave none waiting. After a press, a pause for the paints that come once the
// queue is empty (a person lets go only after seeing them), and one more trip to see them done.
void Sync(int trips, int vk, int down) {
    for (DWORD start = GetTickCount(); vk &&
                                       ((GetAsyncKeyState(vk) & 0x8000) != 0) != (down != 0) &&
                                       GetTickCount() - start < 2000;)
        Sleep(1);
    for (HWND panel = Panel(); panel && trips-- > 0; Sleep(trips || !down ? 0 : 3))
        Send(panel, WM_NULL, 0, 0);
    if (HWND panel = down ? Panel() : nullptr)
        Send(panel, WM_NULL, 0, 0);
}

// The dialog shows before start-up loads the settings; input idle means that the program has
// reached its loop, or the loop of the load's message box.
const char* Wait(DWORD limit) {
    DWORD start = GetTickCount(), id = 0;
    HWND panel = nullptr;
    while (!(panel = Panel()) && GetTickCount() - start < limit)
        Sleep(10);
    GetWindowThreadProcessId(panel, &id);
    HANDLE process =
        panel ? OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id) : nullptr;
    if (process) {
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
        Sync(2, 0, 0);
    }
    return panel ? "shown\n" : "none\n";
}

}  // namespace

int main() {
    char line[256];
    int box = 0, trips = 0, vk = 0, down = 0;
    unsigned limit = 0;
    POINT point{};
    _setmode(_fileno(stdout), _O_BINARY);
    while (std::fgets(line, sizeof line, stdin)) {
        std::string answer = std::string(line) == "screen\n" ? Screen() : "";
        if (std::sscanf(line, "wait %u", &limit) == 1)
            answer = Wait(limit);
        if (std::sscanf(line, "raise %d %ld %ld", &box, &point.x, &point.y) == 3)
            Raise(box, point);
        vk = down = 0;
        if (std::sscanf(line, "sync %d %d %d", &trips, &vk, &down) >= 1)
            Sync(trips, vk, down);
        std::fputs((answer + "end\n").c_str(), stdout);
        std::fflush(stdout);
    }
    return 0;
}
