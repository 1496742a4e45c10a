// Plays a scenario on the own layer, in this process, giving the program a person's input
// whenever it would wait (random scenarios: tests/scenarios/README.md).
//
//   scenario_player FILE.scn | --random SEED --actions N [--failing-saves]
//                   [--files DIR] [--keep DIR] [--record OUT.scn] [--backend desktop [--scale N]]
//
// --files: the fixture files (default: files/ beside the scenario); --keep copies the program's
// folder to DIR at the end; --record writes the scenario as played, with what the screen showed.
// --backend desktop shows the program's window on the X display of DISPLAY and gives the input as
// real X events there, instead of straight to the layer; --scale draws it so many times bigger.
#include <getopt.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <thread>
#include <tuple>

#include "desktop/desktop.h"
#include "panel/dialog_window.h"
#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "profiles/profile_registry.h"
#include "res/program_resources.h"
#include "tests/scenarios/engine/engine.h"
#include "tests/scenarios/engine/x_input.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using namespace scenario;

namespace {

Rect Of(const RECT& r) {
    return Rect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                static_cast<int>(r.bottom)};
}

class HeadlessBackend : public Backend {
  public:
    int ProgramPathLength(const std::string& folder) const override {
        return static_cast<int>(folder.size() + sizeof "/AIControlPanel" - 1);
    }
    bool Lags() const override { return false; }
    bool Ended(int* exitCode) override {
        *exitCode = code;
        return ended;
    }
    bool ended = false;
    int code = 0;

    bool Read(Screen* s, std::string*) override {
        windows_.assign(1, nullptr);  // the panel's children follow it in Windows()
        for (const headless::WindowInfo& w : headless::Windows()) {
            if (!s->panel && !w.parent && w.visible && w.text == "AI Control Panel") {
                *s = Screen{true, Of(w.client), Of(w.closeBox), {}, {}, -1, {}};
                windows_[0] = w.hwnd;
            }
            if (!s->panel || w.parent != windows_[0])
                continue;
            s->focus = w.focused ? static_cast<int>(s->controls.size()) : s->focus;
            const own::ButtonInfo* button = headless::Button(w.hwnd);
            s->controls.push_back(Control{w.className, w.text, w.id, Of(w.rect),
                                          button ? static_cast<int>(w.style & BS_TYPEMASK) : -1,
                                          button && button->check == BST_CHECKED});
            Control& c = s->controls.back();
            if (const own::TrackbarInfo* bar = headless::Trackbar(w.hwnd)) {
                std::tie(c.min, c.max, c.pos, c.channel, c.thumb) = std::tuple(
                    bar->min, bar->max, bar->pos, Of(headless::OnScreen(w, bar->channel)),
                    Of(headless::OnScreen(w, bar->thumb)));
            }
            if (const own::TabInfo* tabs = headless::Tabs(w.hwnd)) {
                s->selectedTab = tabs->selected;
                for (const own::TabItem& item : tabs->items)
                    s->tabs.push_back(Tab{Of(headless::OnScreen(w, item.rect)), item.text});
            }
        }
        const std::vector<headless::BoxInfo>& boxes = headless::OpenBoxes();
        HWND focus = GetFocus();
        for (auto box = boxes.rbegin(); box != boxes.rend(); ++box) {
            headless::WindowInfo ok;
            headless::GetWindowInfo(box->okButton, &ok);
            if (focus && (focus == box->box || IsChild(box->box, focus))) {
                s->focusBox = static_cast<int>(s->boxes.size());
                s->focusOnOk = focus == box->okButton;
            }
            s->boxes.push_back(Box{Of(ok.rect), box->title, box->text});
            windows_.push_back(box->box);
        }
        return true;
    }

    void Uncover(int box, Point p) override {
        HWND target = windows_[static_cast<std::size_t>(box + 1)];
        if (headless::TopLevelWindowAt(POINT{p.x, p.y}) != target)
            headless::BringForward(target);
    }
    void MouseMove(Point p) override {
        at_ = POINT{p.x, p.y};
        headless::MouseMove(at_);
    }
    // Everything that the press leaves pending, paints included, runs before the release.
    void MouseButton(bool down) override {
        if (!down)
            return headless::MouseUp(at_);
        headless::MouseDown(at_);
        support::DoEvents();
    }
    void Key(const scenario::Key& key, bool down) override {
        down ? headless::KeyDown(static_cast<UINT>(key.vk))
             : headless::KeyUp(static_cast<UINT>(key.vk));
    }
    // The layer's clock stands still here (support::StopClock): time passes only by hand.
    void Wait(int milliseconds) override { support::AdvanceClock(milliseconds); }

  protected:
    std::vector<HWND> windows_;  // the panel, then the boxes as last read

  private:
    POINT at_{};
};

// The program's window on an X display with nothing else on it (Xvfb), where X windows stand
// where the layer puts them, every pixel scaled: the input goes through the X server as real
// pointer and key events (XTest), and reaches the layer through the desktop front end.
class DesktopBackend : public HeadlessBackend {
  public:
    explicit DesktopBackend(desktop::DesktopInput* front) : front_(front) {}
    void Uncover(int box, Point p) override {
        HeadlessBackend::Uncover(box, p);
        front_->Pump();  // the X windows restacked as the layer's windows are
    }
    void MouseMove(Point p) override {
        x_input::Move(p.x * front_->Scale(), p.y * front_->Scale());
    }
    void MouseButton(bool down) override {
        x_input::Button(down);
        if (down) {  // what the press did runs before the release comes, as for the headless
            front_->Pump();
            support::DoEvents();
        }
    }
    // Keys go to the X window under the pointer (no window manager gives the focus here): it
    // rests on the panel's caption first, which a move without a press leaves alone.
    void Key(const scenario::Key& key, bool down) override {
        headless::WindowInfo panel;
        if (down && headless::GetWindowInfo(windows_[0], &panel))
            x_input::Move((panel.rect.left + 8) * front_->Scale(),
                          (panel.rect.top + 8) * front_->Scale());
        x_input::Key(key.keysym, down);
    }
    // Real time, with the window kept up to date and the program's timers served meanwhile.
    void Wait(int milliseconds) override {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            front_->Pump();
            support::DoEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

  private:
    desktop::DesktopInput* front_;
};

// ---- Random scenarios, and what must hold in them

constexpr std::size_t kProfiles = std::size(kProfileNames);
const char* const kDefaults[] = {"defaults.ai", "no_harder.ai", nullptr};
// How a random scenario ends (Enter presses OK unless a default Apply or Reset has the focus).
const char* const kEndings[] = {"close",      "press \"OK\"", "press \"Cancel\"",
                                "key Escape", "key Alt+F4",   "key Enter"};
std::mt19937 g_random, g_saveRandom;
bool g_failingSaves = false, g_fileExpected = false;
std::string g_expectedFile;  // what the settings file must hold
long g_saves = 0;

int Below(int n) {
    return static_cast<int>(g_random() % static_cast<unsigned>(n));
}

// A row of the settings table at random, among the check boxes' or among the sliders'.
const Setting& AnyRow(bool checkBox) {
    const Setting* row = &kSettings[Below(kSettingCount)];
    while ((row->flag != nullptr) != checkBox)
        row = &kSettings[Below(kSettingCount)];
    return *row;
}

// What a save writes from the profiles now. No message is handled between a save's steps.
std::string Written() {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    for (std::size_t i = 0; i < ProfileRegistry::Count(); ++i)
        ProfileRegistry::At(i)->Write(out);
    std::fclose(out);
    std::string written(buffer, size);
    std::free(buffer);
    return written;
}

// With saves failing at random, a step of a new file beside the old one fails one time in 24,
// which turns the save to writing the file in place (about one save in five), and the open of the
// file itself one time in two, which ends the save with its message. Either way the file is
// whole; what it must hold follows the steps.
bool WatchSave(support::SaveStep step, const char*) {
    using enum support::SaveStep;
    static bool renaming = false;  // else writing the file in place
    static std::string pending;
    if (step == kCreate)
        pending = Written();
    renaming = step == kCreate || (renaming && step != kOpenInPlace);
    bool fails = g_failingSaves && (step == kOpenInPlace ? g_saveRandom() % 2 == 0
                                    : renaming           ? g_saveRandom() % 24 == 0
                                                         : false);
    if (step == kReplace || (step == kClose && !renaming)) {
        g_expectedFile = pending;  // the rename is done, or the file written, whatever comes next
        g_fileExpected = true;
        ++g_saves;
    }
    return fails;
}

std::string CheckFile() {
    bool present = false;
    std::string bytes = ReadBytes(kSettingsFilePath, &present);
    if (present != g_fileExpected || (present && bytes != g_expectedFile))
        return "the settings file is not the one that the last save wrote whole";
    for (const fs::directory_entry& entry : fs::directory_iterator("Core")) {
        if (entry.path().filename().string().starts_with("AIConfig.ai."))
            return "a save left its temporary file behind";
    }
    return "";
}

class RandomDriver : public Driver {
  public:
    explicit RandomDriver(int actions) : actions_(actions) {}

    bool NextLine(const Screen& s, std::string* line) override {
        const char* defaults = kDefaults[Below(3)];
        bool startingUp = WindowRegistry::Count() && WindowRegistry::At(0)->profiles.empty();
        // Boxes are answered before the end; the load's box at start-up is left open longer.
        if (++given_ > actions_ + 100)
            return false;
        else if (!s.boxes.empty() && (given_ > actions_ || Below(startingUp ? 8 : 3) == 0))
            *line = s.focusBox == 0 && Below(2) ? "key Escape" : "dismiss box";
        else if (given_ > actions_)  // by mouse, or by keys where something has the focus
            *line = kEndings[Below(s.Focused() ? 6 : 3)];
        else if (int pick = Below(13); pick == 0)
            *line = defaults ? "file \"Core/AIDefaultConfig.ai\" from " + Quoted(defaults)
                             : "remove \"Core/AIDefaultConfig.ai\"";
        else if (pick <= 6)
            *line = KeyAction(s);
        else if ((pick = Below(11)) < 2)
            *line = "select tab " + Quoted(kProfileNames[Below(kProfiles)]);
        else if (pick < 4)
            *line = "toggle " + Quoted(AnyRow(true).caption);
        else if (pick < 6)
            *line = Below(2) ? "press \"Apply\"" : "press \"Reset\"";
        else
            *line = SliderAction(s);
        return true;
    }

    // A key to whatever has the focus. Enter, Space, Escape and Alt+F4 only where they do not end
    // the program: on a box, and Enter or Space on the panel where they press neither OK nor
    // Cancel.
    std::string KeyAction(const Screen& s) {
        std::vector<std::string> keys = {
            "Tab", "Shift+Tab", "Ctrl+Tab", "Ctrl+Shift+Tab", "Ctrl+PageDown", "Ctrl+PageUp"};
        for (int i = 0; i < kSliderKeys; ++i)
            keys.push_back(kKeys[i].name);
        const Control* focus = s.Focused();
        bool onBox = s.focusBox >= 0;
        bool ends = focus && focus->className == "Button" &&
                    (focus->text == "OK" || focus->text == "Cancel");
        if (onBox)
            keys.insert(keys.end(), {"Escape", "Alt+F4"});
        if (onBox || (focus && focus->buttonType == 1 && !ends))
            keys.push_back("Enter");
        if (onBox || (focus && !ends))
            keys.push_back("Space");
        return "key " + keys[static_cast<std::size_t>(Below(static_cast<int>(keys.size())))];
    }

    std::string SliderAction(const Screen& s) {
        const char* caption = AnyRow(false).caption;
        std::string group = Quoted(caption);
        const Control* c = s.InGroup(caption, kTrackbar);
        Point at;
        // A click in the channel only where it has room beside the thumb.
        bool left = ChannelPoint(*c, true, &at), right = ChannelPoint(*c, false, &at);
        switch (Below(3)) {
            case 0:
                return "drag slider " + group + " to " +
                       std::to_string(c->min + Below(c->max - c->min + 1));
            case 1:
                return "key slider " + group + " " + kKeys[Below(kSliderKeys)].name;
            default:
                return "click slider " + group +
                       (left && (!right || Below(2)) ? " left" : " right");
        }
    }

    // The labels and check boxes show the current profile, except while a load's message is
    // still open: the load has changed the profiles without showing them yet.
    std::string Check(const Screen& s) override {
        DialogWindow* panel = WindowRegistry::Count() ? WindowRegistry::At(0) : nullptr;
        AISetting* p = panel ? panel->CurrentProfile() : nullptr;
        std::string file = CheckFile();
        if (!file.empty() || !panel || panel->profiles.size() != kProfiles)
            return file;
        if (!p)
            return "the current tab index names no profile";
        for (const Box& box : s.boxes) {
            if (box.text.find("Using default settings now.") != std::string::npos)
                return "";
        }
        if (s.selectedTab != panel->iCurrentTab)
            return "the selected tab is not the current profile's";
        for (const Setting& setting : kSettings) {
            char buffer[64];
            const char* expected =
                setting.number ? LabelText(setting, p->*setting.number, buffer) : nullptr;
            const Control* label = s.InGroup(setting.caption, "Static");
            const Control* box = s.Button(setting.caption);
            if (expected && (!label || label->text != expected))
                return std::string("label ") + setting.caption + " does not show " + expected;
            if (setting.flag && (!box || box->checked != p->*setting.flag))
                return std::string("check box ") + setting.caption + " disagrees with its setting";
        }
        return "";
    }

  private:
    int actions_, given_ = 0;
};

// ---- The run

Player* g_player = nullptr;
fs::path g_root, g_keep;

// Ends the run at once, from wherever the program stands: nothing of it may run on.
[[noreturn]] void Exit(const std::string& what, int code) {
    std::error_code error;
    if (!g_keep.empty()) {
        fs::remove_all(g_keep, error);
        fs::copy(g_player->folder_, g_keep, fs::copy_options::recursive, error);
    }
    fs::remove_all(g_root, error);
    std::fprintf(code ? stderr : stdout, "%s\n", what.c_str());
    std::fflush(nullptr);
    std::_Exit(code);
}

desktop::DesktopInput* g_desktop = nullptr;  // with --backend desktop

class ScenarioInput : public headless::InputSource {
  public:
    bool ProvideInput() override {
        if ((!g_desktop || !g_desktop->Pump()) && !g_player->Step()) {
            const std::string& failure = g_player->failure_;
            Exit(failure.empty() ? "the scenario has ended while the program still runs" : failure,
                 1);
        }
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    static const option kOptions[] = {
        {"random", 1, 0, 'r'},  {"actions", 1, 0, 'a'}, {"failing-saves", 0, 0, 'f'},
        {"files", 1, 0, 'F'},   {"keep", 1, 0, 'k'},    {"record", 1, 0, 'o'},
        {"backend", 1, 0, 'b'}, {"scale", 1, 0, 's'},   {}};
    std::map<int, std::string> o;  // the options given, by their letters
    for (int c; (c = getopt_long(argc, argv, "", kOptions, nullptr)) != -1;)
        o[c] = optarg ? optarg : "";
    std::string scenario = optind + 1 == argc ? argv[optind] : "", files = o['F'], error;
    long seed = o.count('r') ? std::atol(o['r'].c_str()) : -1;
    int actions = std::atoi(o['a'].c_str());
    g_failingSaves = o.count('f');
    g_keep = o['k'].empty() ? fs::path() : fs::absolute(o['k']);
    std::vector<Line> lines;
    if (seed >= 0 && optind == argc && actions > 0) {
        // The start file comes from the seed in turn; the defaults file at random.
        static const char* const kStart[] = {"good.ai", "no_harder.ai", "empty.ai",
                                             "out_of_range.ai", nullptr};
        g_random.seed(static_cast<unsigned>(seed));
        g_saveRandom.seed(static_cast<unsigned>(seed) ^ 0x5a5a5a5au);
        const char* start = kStart[seed % 5];
        const char* defaults = kDefaults[Below(3)];
        lines.push_back(Parsed("folder \"Core\"", 1));
        if (start)
            lines.push_back(Parsed("file \"Core/AIConfig.ai\" from " + Quoted(start), 2));
        if (defaults) {
            lines.push_back(Parsed("file \"Core/AIDefaultConfig.ai\" from " + Quoted(defaults),
                                   static_cast<int>(lines.size()) + 1));
        }
        lines.push_back(Parsed("start", static_cast<int>(lines.size()) + 1));
        scenario = "seed " + std::to_string(seed);
        files = files.empty() ? AICP_SCENARIO_FILES : files;
    } else if (o.count('?') || seed != -1 || scenario.empty() ||
               !ReadScenario(scenario, &lines, &error)) {
        std::fprintf(stderr, "%s\nusage: see the head of %s\n", error.c_str(), __FILE__);
        return 2;
    }
    files = files.empty() ? (fs::path(scenario).parent_path() / "files").string() : files;
    std::string root = (fs::temp_directory_path() / "scenario-XXXXXX").string();
    if (!mkdtemp(root.data()))
        return 2;
    g_root = fs::canonical(root);
    desktop::DesktopInput front;
    bool onDesktop = o['b'] == "desktop";
    if (onDesktop && (!x_input::Open() || !front.Start(std::atoi(o['s'].c_str()), &error))) {
        std::fprintf(stderr, "no X display with XTest to play on %s\n", error.c_str());
        return 2;
    }
    g_desktop = onDesktop ? &front : nullptr;
    if (!onDesktop)
        support::StopClock();
    HeadlessBackend headless;
    DesktopBackend desktopBackend(&front);
    HeadlessBackend& backend = onDesktop ? desktopBackend : headless;
    RandomDriver random(actions);
    Player player(&backend, scenario, lines, files, seed >= 0 ? &random : nullptr);
    g_player = &player;
    if (!o['o'].empty() && !player.Record(o['o']))
        Exit("cannot write " + o['o'], 2);
    if (!player.SetUp(g_root))
        Exit(player.failure_, 1);
    g_expectedFile = ReadBytes(player.folder_ / kSettingsFilePath, &g_fileExpected);
    if (seed >= 0)
        static support::FailingSaves watched(WatchSave);
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    support::SetModulePathForTesting((player.folder_ / "AIControlPanel").string());
    ScenarioInput input;
    headless::SetInputSource(&input);
    std::string commandLine;
    backend.code = WinMain(own::ProgramInstance(), nullptr, commandLine.data(), 1);
    backend.ended = true;
    headless::SetInputSource(nullptr);
    if (!player.Finish())
        Exit(player.failure_, 1);
    std::string broken = seed < 0            ? ""
                         : backend.code != 1 ? "exit code " + std::to_string(backend.code)
                                             : CheckFile();
    if (!broken.empty())
        Exit(scenario + ": after the program's end: " + broken, 1);
    Exit(scenario + ": passed, exit code " + std::to_string(backend.code) + ", " +
             std::to_string(player.actions_) + " actions" +
             (seed < 0 ? "" : ", " + std::to_string(g_saves) + " saves written whole"),
         0);
}
