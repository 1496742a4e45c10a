// Plays scenarios (tests/scenarios/README.md): one on the own layer, in this process, giving the
// program a person's input whenever it would wait; or, with --backend wine, each on the own layer
// and then from that run's record against the Windows program under Wine (the differential check).
//
//   scenario_player FILE.scn | --random SEED --actions N [--failing-saves]
//                   [--files DIR] [--keep DIR] [--record OUT.scn] [--backend desktop [--scale N]]
//   scenario_player --backend wine --loader WINE --exe PROGRAM.exe --probe PROBE.exe --work DIR
//                   FILE.scn... | --random SEED --count K --actions N
//
// --files: the fixture files (default: files/ beside the scenario); --keep copies the program's
// folder to DIR at the end; --record writes the scenario as played, with what the screen showed.
// --backend desktop shows the program's window on the X display of DISPLAY and gives the input as
// real X events there, instead of straight to the layer; --scale draws it so many times bigger.
// --backend wine plays the seeds from SEED on, and keeps each run and failure in DIR.
#include <fcntl.h>
#include <getopt.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <thread>
#include <tuple>
#include <utility>

#include "desktop/desktop.h"
#include "platform/own/headless.h"
#include "profiles/profile_registry.h"
#include "tests/scenarios/engine/engine.h"
#include "tests/scenarios/engine/x_input.h"
#include "tests/support/panel.h"

namespace fs = std::filesystem;
using namespace scenario;

namespace {

Rect Of(const RECT& r) {
    return Rect{r.left, r.top, r.right, r.bottom};
}

class HeadlessBackend : public Backend {
  public:
    int ProgramPathLength(const std::string& folder) const override {
        return static_cast<int>(folder.size() + sizeof "/AIControlPanel" - 1);
    }
    bool Lags() const override { return false; }
    std::optional<int> Ended() override { return code; }
    std::optional<int> code;  // once the program has ended

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
    // The layer's clock stands still here: time passes only by hand, and the layer handles each
    // timer that falls due on the way.
    void Wait(int milliseconds) override {
        DWORD end = now_ + static_cast<DWORD>(milliseconds);
        MSG quit;
        for (int next = 0; (next = headless::MillisecondsToNextTimer()) >= 0 &&
                           next <= static_cast<int>(end - now_) &&
                           !PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);) {
            now_ += static_cast<DWORD>(next);
            support::DoEvents();
        }
        now_ = end;
        support::DoEvents();
    }
    // Timers fire without waiting, at the same moments on every run.
    static void StopClock() {
        own::SetClockHook(+[] { return now_; });
    }

  protected:
    std::vector<HWND> windows_;  // the panel, then the boxes as last read

  private:
    static inline DWORD now_ = 0;
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
        POINT at = front_->OnScreen(POINT{p.x, p.y});
        x_input::Move(at.x, at.y);
    }
    void MouseButton(bool down) override {
        x_input::Button(down);
        // A window manager may hold the button a while (its grab for click to focus).
        for (int wait = 0; wait < 400 && front_->Holding() != down; ++wait) {
            front_->Pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
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
            MouseMove(Point{panel.rect.left + 8, panel.rect.top + 8});
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
bool g_failingSaves = false;
std::optional<std::string> g_expectedFile;  // what the settings file must hold, if it must be
long g_saves = 0;

int Below(int n) {
    return static_cast<int>(g_random() % static_cast<unsigned>(n));
}

// The caption of a setting at random, among the switches or among the graded ones.
std::string AnyCaption(const Screen& s, bool isSwitch) {
    const Setting* row = &kSettings[Below(kSettingCount)];
    while ((row->switchField != nullptr) != isSwitch)
        row = &kSettings[Below(kSettingCount)];
    return s.CaptionOf(row->controlId);
}

// What a save writes from the profiles now. No message is handled between a save's steps.
std::string Written() {
    std::string written;
    char block[AISetting::kBlockRoom];
    for (std::size_t i = 0; i < ProfileRegistry::Count(); ++i)
        written.append(block, ProfileRegistry::At(i)->Write(block));
    return written;
}

// With saves failing at random, one step in sixteen fails, which ends the save with its message
// and leaves the file as it was. What the file must hold follows the steps.
bool WatchSave(support::SaveStep step, const char*) {
    static std::string pending;
    if (step == support::SaveStep::kCreate)
        pending = Written();
    bool fails = g_failingSaves && g_saveRandom() % 16 == 0;
    if (step == support::SaveStep::kReplace && !fails) {
        g_expectedFile = pending;  // the rename is done, whatever comes next
        ++g_saves;
    }
    return fails;
}

std::string CheckFile() {
    if (support::ReadBytes(kSettingsFilePath) != g_expectedFile)
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
            *line = "toggle " + Quoted(AnyCaption(s, true));
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
        const std::string caption = AnyCaption(s, false);
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
            const std::string caption = s.CaptionOf(setting.controlId);
            const Control* label = s.InGroup(caption, "Static");
            const Control* box = s.Button(caption);
            if (expected && (!label || label->text != expected))
                return "label " + caption + " does not show " + expected;
            if (setting.switchField && (!box || box->checked != p->*setting.switchField))
                return "check box " + caption + " disagrees with its setting";
        }
        return "";
    }

  private:
    int actions_, given_ = 0;
};

// ---- A run on Linux

std::map<int, std::string> g_options;  // the options given, by their letters
Player* g_player = nullptr;
fs::path g_root, g_keep;

// Ends the run at once, from wherever the program stands: nothing of it may run on.
[[noreturn]] void Exit(const std::string& what, int code) {
    std::error_code error;
    if (!g_keep.empty() && g_player) {
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

// The fixture files of a scenario file, or of the random scenarios (file empty).
fs::path FilesOf(const std::string& file) {
    return !g_options['F'].empty() ? fs::path(g_options['F'])
           : file.empty()          ? fs::path(AICP_SCENARIO_FILES)
                                   : fs::path(file).parent_path() / "files";
}

// Plays the scenario file, or the random scenario of the seed, and ends the process.
[[noreturn]] void PlayHere(const std::string& file, long seed) {
    std::map<int, std::string>& o = g_options;
    std::string scenario = file, error;
    g_failingSaves = o.count('f');
    g_keep = o['k'].empty() ? fs::path() : fs::absolute(o['k']);
    std::vector<Line> lines;
    if (seed >= 0) {
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
    } else if (!ReadScenario(scenario, &lines, &error)) {
        Exit(error, 2);
    }
    std::string root = (fs::temp_directory_path() / "scenario-XXXXXX").string();
    if (!mkdtemp(root.data()))
        Exit("cannot make a folder to play in", 2);
    g_root = fs::canonical(root);
    desktop::DesktopInput front;
    bool onDesktop = o['b'] == "desktop";
    if (onDesktop && (!x_input::Open() || !front.Start(std::atoi(o['s'].c_str()), &error)))
        Exit("no X display with XTest to play on " + error, 2);
    g_desktop = onDesktop ? &front : nullptr;
    if (!onDesktop)
        HeadlessBackend::StopClock();
    HeadlessBackend headless;
    DesktopBackend desktopBackend(&front);
    HeadlessBackend& backend = onDesktop ? desktopBackend : headless;
    RandomDriver random(std::atoi(o['a'].c_str()));
    Player player(&backend, scenario, lines, FilesOf(file), seed >= 0 ? &random : nullptr);
    g_player = &player;
    if (!o['o'].empty() && !player.Record(o['o']))
        Exit("cannot write " + o['o'], 2);
    if (!player.SetUp(g_root))
        Exit(player.failure_, 1);
    g_expectedFile = support::ReadBytes(player.folder_ / kSettingsFilePath);
    if (seed >= 0)
        static support::FailingSaves watched(WatchSave);
    ScenarioInput input;
    headless::SetInputSource(&input);
    int code = support::RunProgram((player.folder_ / "AIControlPanel").string());
    backend.code = code;
    headless::SetInputSource(nullptr);
    if (!player.Finish())
        Exit(player.failure_, 1);
    std::string broken = seed < 0    ? ""
                         : code != 1 ? "exit code " + std::to_string(code)
                                     : CheckFile();
    if (!broken.empty())
        Exit(scenario + ": after the program's end: " + broken, 1);
    Exit(scenario + ": passed, exit code " + std::to_string(code) + ", " +
             std::to_string(player.actions_) + " actions" +
             (seed < 0 ? "" : ", " + std::to_string(g_saves) + " saves written whole"),
         0);
}

// ---- Under Wine

// Starts a program in a folder, its standard input and output on pipes when asked for (else
// nothing comes in, and what it prints is dropped); what it says of its failures shows.
pid_t Spawn(std::vector<std::string> args, const fs::path& folder, int* in = nullptr,
            int* out = nullptr) {
    int to[2] = {-1, -1}, from[2] = {-1, -1};
    if (in && (pipe(to) != 0 || pipe(from) != 0))
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(in ? to[0] : null, 0);
        dup2(in ? from[1] : null, 1);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (folder.empty() || chdir(folder.c_str()) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    if (in) {
        close(to[0]);
        close(from[1]);
        *in = to[1];
        *out = from[0];
    }
    return pid;
}

// The program under Wine, one at a time, and the probe beside it for the whole run.
class WineBackend : public Backend {
  public:
    ~WineBackend() override {
        Stop();
        close(in_);
        if (probe_ > 0 && kill(probe_, SIGKILL) == 0)  // never kill(-1): that is every process
            waitpid(probe_, nullptr, 0);
    }
    bool StartProbe() {
        return (probe_ = Spawn({g_options['l'], g_options['p']}, {}, &in_, &out_)) > 0 &&
               Ask("sync 0");
    }
    // The probe answers a command with lines and "end"; false when it does not in time.
    bool Ask(const std::string& command, std::vector<std::string>* lines = nullptr) {
        std::string request = command + "\n", line;
        std::vector<std::string> ignored;
        lines = lines ? lines : &ignored;
        pollfd ready{out_, POLLIN, 0};
        if (write(in_, request.data(), request.size()) != static_cast<ssize_t>(request.size()))
            return false;
        for (char c = 0; poll(&ready, 1, 30000) == 1 && read(out_, &c, 1) == 1;) {
            if (c != '\n')
                line += c;
            else if (line == "end")
                return true;
            else
                lines->push_back(std::exchange(line, ""));
        }
        return false;
    }

    // Wine shows the program as Z:\path\to\AIControlPanel.exe.
    int ProgramPathLength(const std::string& folder) const override {
        return static_cast<int>(folder.size() + sizeof "Z:\\AIControlPanel.exe" - 1);
    }
    bool Lags() const override { return true; }

    // True once the dialog shows, or the program has ended, within 20 s.
    bool Launch(const fs::path& folder) {
        exitCode_.reset();
        pid_ = Spawn({fs::absolute(g_options['l']), "./AIControlPanel.exe"}, folder);
        std::vector<std::string> answer;
        for (int i = 0; pid_ > 0 && i < 40 && !Ended(0); ++i, answer.clear()) {
            if (!Ask("wait 500", &answer) || answer == std::vector<std::string>{"shown"})
                return true;
        }
        return exitCode_.has_value();
    }
    void Stop() {
        if (pid_ > 0 && !exitCode_ && kill(pid_, SIGKILL) == 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    std::optional<int> Ended() override { return Ended(1000); }
    std::optional<int> Ended(int tries) {  // 10 ms apart
        for (int i = 0, status = 0; !exitCode_ && i <= tries; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else if (i < tries)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return exitCode_;
    }
    bool Read(scenario::Screen* screen, std::string* error) override {
        std::vector<std::string> lines;
        *error = Ask("screen", &lines) ? "" : "the probe does not answer";
        for (const std::string& line : lines)
            *error = ParseScreenLine(line, screen) ? *error : "the probe says: " + line;
        return error->empty();
    }
    void Uncover(int box, Point p) override {
        Ask("raise " + std::to_string(box) + " " + std::to_string(p.x) + " " + std::to_string(p.y));
    }
    void MouseMove(Point p) override {
        x_input::Move(p.x, p.y);
        ++events_;
    }
    void MouseButton(bool down) override {
        x_input::Button(down);
        Settle(0x01, down);  // VK_LBUTTON
    }
    void Wait(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void Key(const scenario::Key& key, bool down) override {
        x_input::Key(key.keysym, down);
        Settle(key.vk, down);
    }
    // The X server has sent the events. The probe waits until the key or button given last
    // shows its new state (the panel's program has taken the event from X), then makes the
    // round trips that let the panel's thread handle it and what it leaves.
    void Settle(int vk, bool down) {
        Ask("sync " + std::to_string(++events_ + 1) + " " + std::to_string(vk) + " " +
            (down ? "1" : "0"));
        events_ = 0;
    }

  private:
    pid_t probe_ = -1, pid_ = -1;
    int in_ = -1, out_ = -1, events_ = 0;
    std::optional<int> exitCode_;  // once the program has ended
};

// Plays a scenario file, or the random scenario of the seed, on both sides; true when they agree.
bool Play(WineBackend* wine, const std::string& file, long seed) {
    std::string name =
        file.empty() ? "seed-" + std::to_string(seed) : fs::path(file).stem().string();
    fs::path run = fs::path(g_options['w']) / "runs" / name, record = run / (name + ".scn");
    fs::path files = FilesOf(file);
    fs::remove_all(run);
    fs::create_directories(run / "wine");
    pid_t child = fork();
    if (child == 0) {  // headless; what it prints is dropped, what it says of its failures shows
        g_options['o'] = record.string();
        g_options['k'] = (run / "linux").string();
        g_options['b'] = "";
        dup2(open("/dev/null", O_WRONLY), 1);
        PlayHere(file, seed);
    }
    int status = -1;
    std::vector<Line> lines;
    std::string error;
    if (waitpid(child, &status, 0) != child || status != 0 ||
        !ReadScenario(record.string(), &lines, &error)) {
        std::printf("FAIL %s: the Linux run fails\n", name.c_str());
        return false;
    }
    Player player(wine, record.string(), lines, files);
    bool played = player.SetUp(run / "wine");
    std::error_code failed;
    fs::copy_file(g_options['e'], player.folder_ / "AIControlPanel.exe", failed);
    played = played && wine->Launch(player.folder_);
    while (played && player.Step()) {
    }
    played = played && player.Finish();
    wine->Stop();
    fs::remove(player.folder_ / "AIControlPanel.exe", failed);
    // The folders are compared once both runs have played to the end.
    std::vector<std::string> compare = {"/usr/bin/diff", "-r", run / "linux", player.folder_};
    if (played && waitpid(Spawn(compare, {}), &status, 0) > 0 && status == 0) {
        std::printf("PASS %s: %d actions\n", name.c_str(), player.actions_);
        fs::remove_all(run);
        return true;
    }
    fs::path replay = fs::path(g_options['w']) / "failures" / name;
    fs::create_directories(replay, failed);
    fs::copy(files, replay / "files", fs::copy_options::recursive, failed);
    fs::copy_file(record, replay / record.filename(), failed);
    std::string what =
        played ? "the runs leave different files: diff -r " + compare[2] + " " + compare[3]
        : player.failure_.empty() ? "the dialog did not show within 20 s"
                                  : player.failure_;
    std::printf(
        "FAIL %s, at action %d: Linux saw what the line expects, Wine did not:\n  %s\n"
        "  replay: scripts/differential.sh --scenarios %s\n",
        name.c_str(), player.actions_ + !played, what.c_str(), replay.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    static const option kOptions[] = {{"random", 1, 0, 'r'},  {"count", 1, 0, 'c'},
                                      {"actions", 1, 0, 'a'}, {"failing-saves", 0, 0, 'f'},
                                      {"files", 1, 0, 'F'},   {"keep", 1, 0, 'k'},
                                      {"record", 1, 0, 'o'},  {"backend", 1, 0, 'b'},
                                      {"scale", 1, 0, 's'},   {"loader", 1, 0, 'l'},
                                      {"exe", 1, 0, 'e'},     {"probe", 1, 0, 'p'},
                                      {"work", 1, 0, 'w'},    {}};
    std::map<int, std::string>& o = g_options;
    for (int c; (c = getopt_long(argc, argv, "", kOptions, nullptr)) != -1;)
        o[c] = optarg ? optarg : "";
    long seed = o.count('r') ? std::atol(o['r'].c_str()) : -1;
    long end = seed + (o.count('c') ? std::atol(o['c'].c_str()) : 1);
    int files = argc - optind;
    bool known = o.count('r') ? seed >= 0 && end > seed && !files && std::atoi(o['a'].c_str()) > 0
                              : files > 0;
    bool one = o.count('r') ? end == seed + 1 : files == 1;
    if (o.count('?') || !known || (o['b'] != "wine" && !one)) {
        std::fprintf(stderr, "usage: see the head of %s\n", __FILE__);
        return 2;
    }
    if (o['b'] != "wine")
        PlayHere(files ? argv[optind] : "", seed);
    WineBackend wine;
    if (o['e'].empty() || o['w'].empty() || !x_input::Open() || !wine.StartProbe()) {
        std::fprintf(stderr,
                     "differential: no --exe or --work, no X display with XTest, or no "
                     "probe under Wine from --loader and --probe\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    int played = argc - optind, passed = 0;
    for (int i = optind; i < argc; ++i)
        passed += Play(&wine, argv[i], -1);
    for (long s = seed; s >= 0 && s < end; ++s, ++played)
        passed += Play(&wine, "", s);
    std::printf("differential: %d passed, %d failed\n", passed, played - passed);
    return passed == played ? 0 : 1;
}
