// The Wine player's eyes: a console program run in the same Wine prefix as the control panel.
// It reads what a person would see on the panel and its message boxes, and tells the player when
// the panel's thread has taken the input given. It moves nothing itself: the player clicks and
// types through X. Commands come one a line on standard input; each answer ends with a line "end".
//
//   screen       the panel, its controls, sliders, tabs and open boxes (the lines that the
//                player's ParseScreenLine reads); nothing when the panel is not on screen
//   wait MS      waits until the panel shows and its program waits for input: "shown" or "none"
//   raise BOX X Y  brings the panel (BOX -1) or the box of that index in "screen"'s list to the
//                top when another window lies over the point, as a click in the task bar would
//   sync N       N message round trips to the panel's thread, so that it has handled the input
//                that X has delivered
// windows.h first: commctrl.h needs its types.
#include <windows.h>

#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr const char* kPanelClass = "DLGCLASS";
constexpr const char* kPanelCaption = "AI Control Panel";
constexpr UINT kTimeout = 5000;

HWND Panel() {
    HWND panel = FindWindowA(kPanelClass, kPanelCaption);
    return panel && IsWindowVisible(panel) ? panel : nullptr;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The text that the window's program last gave it; for another process's window this costs no
// message round trip.
std::string TextOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeout, &result);
    return static_cast<LRESULT>(result);
}

void Field(std::string* line, const std::string& text) {
    *line += '\t';
    for (char c : text) {
        switch (c) {
            case '\\':
                *line += "\\\\";
                break;
            case '\t':
                *line += "\\t";
                break;
            case '\n':
                *line += "\\n";
                break;
            case '\r':
                *line += "\\r";
                break;
            default:
                *line += c;
        }
    }
}

void Field(std::string* line, long number) {
    *line += '\t' + std::to_string(number);
}

void Field(std::string* line, const RECT& r) {
    Field(line, r.left);
    Field(line, r.top);
    Field(line, r.right);
    Field(line, r.bottom);
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Memory in the panel's process, for the control messages that pass a pointer.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, SIZE_T size) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        address_ = process_ ? VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE)
                            : nullptr;
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (address_) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        if (process_) {
            CloseHandle(process_);
        }
    }
    bool ok() const { return address_ != nullptr; }
    LPARAM At(SIZE_T offset) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset);
    }
    void Write(SIZE_T offset, const void* data, SIZE_T size) const {
        WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }
    void Read(SIZE_T offset, void* data, SIZE_T size) const {
        ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr);
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

// A rectangle that a control message fills in client coordinates, in screen pixels.
RECT ControlRect(const RemoteBuffer& buffer, HWND control, UINT message, WPARAM wParam) {
    RECT rect{};
    buffer.Write(0, &rect, sizeof rect);
    Send(control, message, wParam, buffer.At(0));
    buffer.Read(0, &rect, sizeof rect);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The close box along the caption, found by asking the panel what lies there.
RECT CloseBox(HWND panel) {
    static HWND known = nullptr;
    static RECT knownFrame{}, closeBox{};
    RECT frame = ScreenRect(panel);
    if (panel == known && EqualRect(&frame, &knownFrame)) {
        return closeBox;
    }
    int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    int first = -1;
    int last = -1;
    for (int x = frame.right - 1; x > frame.right - 80; --x) {
        if (Send(panel, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
            last = last < 0 ? x : last;
            first = x;
        } else if (last >= 0) {
            break;
        }
    }
    known = panel;
    knownFrame = frame;
    closeBox = RECT{first, y, last + 1, y + 1};
    return closeBox;
}

struct BoxSearch {
    HWND panel;
    DWORD process;
    std::vector<HWND> found;
};

// The program's message boxes, in z-order: the one on top first.
BOOL CALLBACK CollectBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && window != search->panel && IsWindowVisible(window) &&
        ClassOf(window) == "#32770") {
        search->found.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// The tabs' texts and rectangles stay as they are made; only the selection changes.
void Tabs(HWND tabs, std::string* out) {
    static HWND known = nullptr;
    static std::vector<std::string> rows;
    if (tabs != known) {
        constexpr SIZE_T kTextAt = sizeof(TCITEMA);
        constexpr int kTextMax = 128;
        RemoteBuffer buffer(tabs, kTextAt + kTextMax);
        int count = buffer.ok() ? static_cast<int>(Send(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
        rows.clear();
        for (int i = 0; i < count; ++i) {
            RECT rect = ControlRect(buffer, tabs, TCM_GETITEMRECT, i);
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = reinterpret_cast<char*>(buffer.At(kTextAt));
            item.cchTextMax = kTextMax;
            char text[kTextMax] = {};
            buffer.Write(kTextAt, text, sizeof text);
            buffer.Write(0, &item, sizeof item);
            Send(tabs, TCM_GETITEMA, i, buffer.At(0));
            buffer.Read(kTextAt, text, sizeof text - 1);
            std::string row;
            Field(&row, rect);
            rows.push_back(row);
            Field(&rows.back(), text);
        }
        known = tabs;
    }
    int selected = static_cast<int>(Send(tabs, TCM_GETCURSEL, 0, 0));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::size_t text = rows[i].rfind('\t');
        *out += "tab" + rows[i].substr(0, text) + (static_cast<int>(i) == selected ? "\t1" : "\t0") +
                rows[i].substr(text) + "\n";
    }
}

std::vector<HWND> Boxes(HWND panel);

std::string Screen() {
    HWND panel = Panel();
    if (!panel) {
        return "";
    }
    std::string out = "panel";
    RECT client{};
    GetClientRect(panel, &client);
    MapWindowPoints(panel, nullptr, reinterpret_cast<POINT*>(&client), 2);
    Field(&out, ScreenRect(panel));
    Field(&out, client);
    Field(&out, CloseBox(panel));
    out += "\n";
    RemoteBuffer rects(panel, sizeof(RECT));
    for (HWND child : Children(panel)) {
        if (GetParent(child) != panel) {
            continue;
        }
        std::string name = ClassOf(child);
        bool button = lstrcmpiA(name.c_str(), "Button") == 0;
        std::string line = "control";
        Field(&line, name);
        Field(&line, GetDlgCtrlID(child));
        Field(&line, ScreenRect(child));
        LONG type = button ? GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK : -1;
        Field(&line, type);
        bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
        Field(&line, box && Send(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        Field(&line, TextOf(child));
        out += line + "\n";
        if (lstrcmpiA(name.c_str(), TRACKBAR_CLASSA) == 0 && rects.ok()) {
            // The range and the channel stay as the program set them up.
            static std::map<HWND, std::pair<std::string, RECT>> fixed;
            auto known = fixed.find(child);
            if (known == fixed.end()) {
                std::string range;
                Field(&range, Send(child, TBM_GETRANGEMIN, 0, 0));
                Field(&range, Send(child, TBM_GETRANGEMAX, 0, 0));
                RECT channel = ControlRect(rects, child, TBM_GETCHANNELRECT, 0);
                known = fixed.emplace(child, std::make_pair(range, channel)).first;
            }
            line = "slider";
            Field(&line, GetDlgCtrlID(child));
            line += known->second.first;
            Field(&line, Send(child, TBM_GETPOS, 0, 0));
            Field(&line, known->second.second);
            Field(&line, ControlRect(rects, child, TBM_GETTHUMBRECT, 0));
            out += line + "\n";
        } else if (lstrcmpiA(name.c_str(), WC_TABCONTROLA) == 0) {
            Tabs(child, &out);
        }
    }
    for (HWND box : Boxes(panel)) {
        // Its message is its longest static text (the icon's static has none).
        std::string text;
        for (HWND child : Children(box)) {
            std::string candidate = TextOf(child);
            if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0 &&
                candidate.size() > text.size()) {
                text = candidate;
            }
        }
        std::string line = "box";
        Field(&line, ScreenRect(box));
        Field(&line, ScreenRect(GetDlgItem(box, IDOK)));
        Field(&line, TextOf(box));
        Field(&line, text);
        out += line + "\n";
    }
    return out;
}

// Each round trip lets the panel's thread take at least one more message from its queue: sent
// messages go first, so one trip per input message given, and one more, leave none waiting.
void Sync(int trips) {
    HWND panel = Panel();
    for (int i = 0; panel && i < trips; ++i) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(panel, WM_NULL, 0, 0, SMTO_NORMAL, kTimeout, &result)) {
            break;
        }
        Sleep(0);
    }
}

std::vector<HWND> Boxes(HWND panel) {
    BoxSearch search{panel, 0, {}};
    GetWindowThreadProcessId(panel, &search.process);
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Raise(int box, POINT point) {
    HWND panel = Panel();
    std::vector<HWND> boxes = Boxes(panel);
    HWND target = box < 0 ? panel : box < static_cast<int>(boxes.size()) ? boxes[box] : nullptr;
    HWND hit = WindowFromPoint(point);
    if (target && (!hit || GetAncestor(hit, GA_ROOT) != target)) {
        SetWindowPos(target, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

bool Wait(DWORD limit) {
    DWORD start = GetTickCount();
    HWND panel = nullptr;
    while (!(panel = Panel())) {
        if (GetTickCount() - start > limit) {
            return false;
        }
        Sleep(10);
    }
    // The dialog shows before start-up loads the settings; input idle means the program has
    // reached its loop, or the loop of the load's message box.
    DWORD id = 0;
    GetWindowThreadProcessId(panel, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id);
    if (process) {
        WaitForInputIdle(process, kTimeout);
        CloseHandle(process);
    }
    Sync(2);
    return true;
}

}  // namespace

int main() {
    // Texts go out byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (std::strcmp(line, "screen") == 0) {
            std::fputs(Screen().c_str(), stdout);
        } else if (std::strncmp(line, "wait ", 5) == 0) {
            std::puts(Wait(static_cast<DWORD>(std::atoi(line + 5))) ? "shown" : "none");
        } else if (std::strncmp(line, "raise ", 6) == 0) {
            int box = 0;
            POINT point{};
            std::sscanf(line + 6, "%d %ld %ld", &box, &point.x, &point.y);
            Raise(box, point);
        } else if (std::strncmp(line, "sync ", 5) == 0) {
            Sync(std::atoi(line + 5));
        } else {
            std::printf("unknown command %s\n", line);
        }
        std::puts("end");
        std::fflush(stdout);
    }
    return 0;
}
