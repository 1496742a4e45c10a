#pragma once
// The scenario engine (tests/scenarios/README.md): scenario lines, the screen as a person sees it,
// and the player that plays the lines against a backend (the own layer in this process, or the
// Windows program under Wine), checks what is expected and can record what it saw.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace scenario {

namespace fs = std::filesystem;

// A line's words; quoted texts have their C escapes resolved.
struct Line {
    int number = 0;
    std::vector<std::string> words;
    std::vector<bool> quoted;
};
Line Parsed(const std::string& text, int number = 0);  // no words where the text is broken
bool ReadScenario(const std::string& path, std::vector<Line>* lines, std::string* error);
std::string Describe(const Line& line);  // the line as it would be written
// In double quotes, with C escapes for what a line cannot hold as it is (also the probe's).
inline std::string Quoted(const std::string& text) {
    static const std::string kSpecial = "\n\r\t\\\"", kLetters = "nrt\\\"";
    std::string out = "\"";
    for (char c : text) {
        std::size_t i = kSpecial.find(c);
        out += i == std::string::npos ? std::string(1, c) : std::string{'\\', kLetters[i]};
    }
    return out + "\"";
}

// ---- The screen, in screen pixels

constexpr const char* kTrackbar = "msctls_trackbar32";
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct Point {
    int x = 0, y = 0;
};
struct Control {
    std::string className, text;
    int id;
    Rect rect;
    int buttonType;  // a Button's style & BS_TYPEMASK, else -1
    bool checked;
    int min = 0, max = 0, pos = 0;  // a slider's
    Rect channel{}, thumb{};
};
struct Box {
    Rect ok;
    std::string title, text;
};
struct Tab {
    Rect rect;
    std::string text;
};
struct Screen {
    bool panel = false;  // false before the dialog shows and after the program ends
    Rect client, closeBox;
    std::vector<Control> controls;
    std::vector<Tab> tabs;
    int selectedTab = -1;
    std::vector<Box> boxes;  // the one on top first
    int focus = -1;          // the control that has the keyboard focus, if one of the panel's
    int focusBox = -1;       // else the box that has it, if one does
    bool focusOnOk = false;  // and whether it is that box's OK button

    // A slider or value label by the caption of its group box; a button by its caption.
    const Control* InGroup(const std::string& group, const char* className) const;
    const Control* Button(const std::string& caption) const;
    std::string GroupOf(const Control& control) const;  // its group box's caption, or empty
    std::string CaptionOf(int id) const;  // a check box's caption, or a slider's group's
    const Control* Focused() const { return focus >= 0 ? &controls[focus] : nullptr; }
    const Control* Find(auto match) const {  // the first control that matches
        auto c = std::ranges::find_if(controls, match);
        return c == controls.end() ? nullptr : &*c;
    }
};
// One line of the probe's report (tests/wine/probe.cpp) into the screen.
bool ParseScreenLine(const std::string& text, Screen* screen);
// Where `click slider` clicks: halfway between the thumb and that end of the channel; false where
// that leaves no room.
bool ChannelPoint(const Control& slider, bool left, Point* at);

// The keys that scenarios name, with their virtual-key codes and X key symbols: first the eight
// that move a slider, then Tab, Enter, Escape, Space, F4, and last the modifiers.
struct Key {
    const char* name;
    int vk;
    unsigned keysym;
};
extern const Key kKeys[16];
constexpr int kSliderKeys = 8;

// Where a scenario is played: every verb is made of these readings and inputs. Input is taken
// by the program before the next reading.
class Backend {
  public:
    virtual ~Backend() = default;
    // The length of the program's full path, as the program sees it, when it lies in folder.
    virtual int ProgramPathLength(const std::string& folder) const = 0;
    virtual bool Read(Screen* screen, std::string* error) = 0;
    // The exit code once the program has ended, waiting for that as long as the backend needs.
    virtual std::optional<int> Ended() = 0;
    // Readings may lag behind the input given: expectations are read again for a while.
    virtual bool Lags() const = 0;
    // Brings the panel (box < 0) or that box to the top where another window lies over the
    // point, as a person does through the task bar: none of them has an owner.
    virtual void Uncover(int box, Point point) = 0;
    virtual void MouseMove(Point point) = 0;
    // A person lets go only after the program has shown what the press did.
    virtual void MouseButton(bool down) = 0;
    virtual void Wait(int milliseconds) = 0;  // the program runs on meanwhile (its timers too)
    virtual void Key(const scenario::Key& key, bool down) = 0;
};

// Gives actions when the scenario's lines have run out, and checks what must hold before each.
class Driver {
  public:
    virtual ~Driver() = default;
    virtual bool NextLine(const Screen& screen, std::string* line) = 0;
    virtual std::string Check(const Screen& screen) = 0;  // empty when all holds
};

class Player {
  public:
    Player(Backend* backend, std::string name, std::vector<Line> lines, const fs::path& files,
           Driver* driver = nullptr);
    // Writes every line played, and what the screen shows before every action, to the file.
    bool Record(const fs::path& path);
    bool SetUp(const fs::path& root);  // the lines up to `start`, in a fresh folder
    bool Step();    // lines up to one action; false when none is left or on a failure
    bool Finish();  // what follows the program's end: expectations only

    fs::path folder_;
    std::string failure_;  // the first failure
    int actions_ = 0;

  private:
    bool Fail(const Line* line, const std::string& what);
    bool Arrange(const Line& line);
    bool Read();
    bool Expect(const Line& line);
    bool Act(const Line& line);
    // Presses at a point, holds the button so long, and lets go there or (a drag) at another.
    bool Click(int box, Point at, const Point* to = nullptr, int hold = 0);
    // Modifiers down, the key down and up, the modifiers up in reverse; false for no keys.
    bool Press(const std::vector<const Key*>& keys);
    void Write(const std::string& text);
    void WriteReadings();

    Backend* backend_;
    std::string name_;
    std::vector<Line> lines_;
    fs::path files_;
    std::size_t next_ = 0;
    Driver* driver_;
    std::ofstream record_;
    Screen screen_;  // as last read; stale once an action is given
    bool fresh_ = false;
    std::map<int, std::string> thumbsWritten_;  // by the slider's id; none at first
};

}  // namespace scenario
