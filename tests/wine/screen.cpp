// Finding the control panel's controls and their points on the screen, from another process.
#include "tests/wine/screen.h"

#include <commctrl.h>

namespace probe {

namespace {

constexpr const char* kBoxCaption = "Error";

bool IsGroupBox(HWND window) {
    return IsClass(window, "Button") &&
           (GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

struct BoxSearch {
    HWND panel;
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && window != search->panel && IsWindowVisible(window) &&
        TextOf(window) == kBoxCaption) {
        search->found.push_back(window);
    }
    return TRUE;
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
        if (!address_) {
            Fail("cannot reach the panel's memory");
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    virtual ~RemoteBuffer() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    char* At(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    void Write(SIZE_T offset, const void* data, SIZE_T size) const {
        WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    void Read(SIZE_T offset, void* data, SIZE_T size) const {
        ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }

  private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

}  // namespace

void Fail(const std::string& why) {
    throw ProbeError{why};
}

HWND Panel() {
    HWND panel = FindWindowA(kPanelClass, kPanelCaption);
    if (!panel) {
        Fail("the panel is not on screen");
    }
    return panel;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Asks the window itself, as a person reading the screen would see it.
std::string TextOf(HWND window) {
    char text[512] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

bool IsClass(HWND window, const char* name) {
    return lstrcmpiA(ClassOf(window).c_str(), name) == 0;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT Centre(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// A push button or check box with exactly this caption.
HWND ButtonNamed(const std::string& caption) {
    for (HWND child : Children(Panel())) {
        if (IsClass(child, "Button") && !IsGroupBox(child) && TextOf(child) == caption) {
            return child;
        }
    }
    Fail("no button or check box \"" + caption + "\"");
}

// The control of the given class lying inside the group box with this caption: sliders and
// their value labels belong to a row by where they stand, as a person sees them.
HWND InGroup(const std::string& caption, const char* className) {
    std::vector<HWND> children = Children(Panel());
    for (HWND box : children) {
        if (!IsGroupBox(box) || TextOf(box) != caption) {
            continue;
        }
        RECT frame = ScreenRect(box);
        for (HWND child : children) {
            POINT centre = Centre(ScreenRect(child));
            if (IsClass(child, className) && PtInRect(&frame, centre)) {
                return child;
            }
        }
    }
    Fail("no " + std::string(className) + " in a group \"" + caption + "\"");
}

HWND Slider(const std::string& caption) {
    return InGroup(caption, TRACKBAR_CLASSA);
}

HWND Tabs() {
    for (HWND child : Children(Panel())) {
        if (IsClass(child, WC_TABCONTROLA)) {
            return child;
        }
    }
    Fail("no tab control");
}

// The program's open "Error" boxes, the one on top first.
std::vector<HWND> Boxes() {
    BoxSearch search{Panel(), 0, {}};
    GetWindowThreadProcessId(search.panel, &search.process);
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The message of a box: its longest static text (the icon's static has none).
std::string BoxText(HWND box) {
    std::string text;
    for (HWND child : Children(box)) {
        std::string candidate = TextOf(child);
        if (IsClass(child, "Static") && candidate.size() > text.size()) {
            text = candidate;
        }
    }
    return text;
}

// A rectangle that a control message fills in the control's client coordinates, in screen pixels.
RECT ControlRect(HWND control, UINT message, WPARAM wParam) {
    RemoteBuffer buffer(control, sizeof(RECT));
    SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(buffer.At(0)));
    RECT rect{};
    buffer.Read(0, &rect, sizeof rect);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<std::string> TabTexts(HWND tabs) {
    std::vector<std::string> texts;
    constexpr SIZE_T kTextAt = sizeof(TCITEMA);
    constexpr int kTextMax = 128;
    RemoteBuffer buffer(tabs, kTextAt + kTextMax);
    int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer.At(kTextAt);
        item.cchTextMax = kTextMax;
        char empty[kTextMax] = {};
        buffer.Write(kTextAt, empty, sizeof empty);
        buffer.Write(0, &item, sizeof item);
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(buffer.At(0)));
        char text[kTextMax] = {};
        buffer.Read(kTextAt, text, sizeof text - 1);
        texts.emplace_back(text);
    }
    return texts;
}

int TabIndex(HWND tabs, const std::string& text) {
    std::vector<std::string> texts = TabTexts(tabs);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == text) {
            return static_cast<int>(i);
        }
    }
    Fail("no tab \"" + text + "\"");
}

// Where the thumb's centre stands at a position: the thumb's travel is the channel less one
// thumb width, split evenly over the range.
POINT TickPoint(HWND slider, int position) {
    RECT channel = ControlRect(slider, TBM_GETCHANNELRECT, 0);
    RECT thumb = ControlRect(slider, TBM_GETTHUMBRECT, 0);
    int low = static_cast<int>(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
    int high = static_cast<int>(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
    int half = (thumb.right - thumb.left) / 2;
    int travel = channel.right - channel.left - 2 * half - 1;
    int range = high > low ? high - low : 1;
    int x = channel.left + half + MulDiv(travel, position - low, range);
    return POINT{x, Centre(thumb).y};
}

POINT ChannelPoint(HWND slider, const std::string& side) {
    RECT channel = ControlRect(slider, TBM_GETCHANNELRECT, 0);
    RECT thumb = ControlRect(slider, TBM_GETTHUMBRECT, 0);
    int x = side == "left" ? (channel.left + thumb.left) / 2 : (thumb.right + channel.right) / 2;
    if (side == "left" ? x >= thumb.left : x <= thumb.right) {
        Fail("no room in the channel " + side + " of the thumb");
    }
    return POINT{x, Centre(thumb).y};
}

// The middle of the close box, found by asking the panel what lies along its caption.
POINT CloseBoxPoint(HWND panel) {
    RECT frame = ScreenRect(panel);
    int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    int first = -1;
    int last = -1;
    for (int x = frame.right - 1; x > frame.right - 80; --x) {
        LRESULT hit = SendMessageA(panel, WM_NCHITTEST, 0, MAKELPARAM(x, y));
        if (hit == HTCLOSE) {
            last = last < 0 ? x : last;
            first = x;
        } else if (last >= 0) {
            break;
        }
    }
    if (last < 0) {
        Fail("the panel has no close box on its caption");
    }
    return POINT{(first + last) / 2, y};
}

}  // namespace probe
