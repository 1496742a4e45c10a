#pragma once
// What a person sees of the control panel at one moment, read the same way from either backend:
// the panel's controls with their screen rectangles, the tabs, the sliders and the open message
// boxes. The interpreter finds controls by what they show and aims its clicks from these readings.

#include <string>
#include <vector>

namespace scenario {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x = 0, y = 0;
};

Point Centre(const Rect& rect);

struct Control {
    std::string className;
    int id = 0;
    std::string text;
    Rect rect;  // screen pixels
    int buttonType = -1;  // a Button's style & BS_TYPEMASK; -1 for other classes
    bool groupBox = false;
    bool checkBox = false;
    bool checked = false;
    // Sliders only.
    bool slider = false;
    int min = 0, max = 0, pos = 0;
    Rect channel, thumb;  // screen pixels
};

struct Box {
    std::string title, text;
    Rect frame, ok;
};

struct Screen {
    bool panel = false;  // false once the program has ended, or before its dialog shows
    Rect frame, client, closeBox;
    std::vector<Control> controls;
    std::vector<std::string> tabs;
    std::vector<Rect> tabRects;
    int selectedTab = -1;
    std::vector<Box> boxes;  // the one on top first

    // Sliders and value labels by the caption of the group box they stand in; buttons and
    // check boxes by their caption. Null when there is none.
    const Control* InGroup(const std::string& group, const std::string& className) const;
    const Control* Slider(const std::string& group) const { return InGroup(group, "msctls_trackbar32"); }
    const Control* ValueLabel(const std::string& group) const { return InGroup(group, "Static"); }
    const Control* Button(const std::string& caption) const;
    std::string SelectedTab() const;
};

// The screen as lines of tab-separated fields (texts last, with \\, \t, \n and \r escaped), the
// form in which the probe under Wine reports it:
//   panel  FRAME CLIENT CLOSEBOX                      (each rectangle as four numbers)
//   control CLASS ID RECT BUTTONTYPE CHECKED TEXT
//   slider ID MIN MAX POS CHANNEL THUMB              (after its control line)
//   tab RECT SELECTED TEXT
//   box FRAME OK TITLE TEXT
bool ParseScreenLine(const std::string& line, Screen* screen);

}  // namespace scenario
