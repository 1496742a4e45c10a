// Plays a scenario against the program on the own layer, in this process: starts it in a fresh
// folder with the scenario's files, gives it a person's input whenever it would wait, and checks
// what is on screen, the exit code and the files left behind.
//
//   scenario_player FILE.scn [--files DIR] [--keep DIR] [--record OUT.scn]
//   scenario_player --random SEED --actions N [--failing-saves] [--files DIR] [--keep DIR]
//                   [--record OUT.scn]
//
// --random plays N random actions chosen from the seed (and checks the panel and the settings
// file before each); --failing-saves makes saves fail at random. --files names the folder of the
// fixture files (default: "files" beside the scenario, or tests/scenarios/files); --keep copies
// the program's folder to DIR at the end; --record writes the scenario as played, with what the
// screen showed before every action, for a replay on another backend.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "tests/scenarios/engine/player.h"
#include "tests/scenarios/engine/random_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgramName = "AIControlPanel";
constexpr const char* kPanelCaption = "AI Control Panel";

scenario::Rect ToRect(const RECT& r) {
    return scenario::Rect{static_cast<int>(r.left), static_cast<int>(r.top),
                          static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

class HeadlessBackend : public scenario::Backend {
  public:
    const char* Name() const override { return "Linux"; }
    int ProgramPathLength(const std::string& folder) const override {
        return static_cast<int>(folder.size() + 1 + std::char_traits<char>::length(kProgramName));
    }
    bool Lags() const override { return false; }
    void SetEnded(int code) {
        ended_ = true;
        exitCode_ = code;
    }
    bool Ended(int* exitCode) override {
        *exitCode = exitCode_;
        return ended_;
    }

    bool Read(scenario::Screen* screen, std::string*) override {
        panel_ = nullptr;
        boxes_.clear();
        std::vector<headless::WindowInfo> windows = headless::Windows();
        for (const headless::WindowInfo& info : windows) {
            if (!info.parent && info.visible && info.text == kPanelCaption) {
                panel_ = info.hwnd;
                screen->panel = true;
                screen->frame = ToRect(info.rect);
                screen->client = ToRect(info.client);
                screen->closeBox = ToRect(info.closeBox);
            }
        }
        for (const headless::WindowInfo& info : windows) {
            if (!panel_ || info.parent != panel_) {
                continue;
            }
            scenario::Control c;
            c.className = info.className;
            c.id = info.id;
            c.text = info.text;
            c.rect = ToRect(info.rect);
            headless::ButtonState button;
            if (info.className == "Button" && headless::GetButtonState(info.hwnd, &button)) {
                c.buttonType = static_cast<int>(button.type);
                c.groupBox = button.type == BS_GROUPBOX;
                c.checkBox = button.type == BS_CHECKBOX || button.type == BS_AUTOCHECKBOX;
                c.checked = button.check == BST_CHECKED;
            }
            headless::TrackbarState slider;
            if (headless::GetTrackbarState(info.hwnd, &slider)) {
                c.slider = true;
                c.min = slider.min;
                c.max = slider.max;
                c.pos = slider.pos;
                c.channel = ToRect(slider.channel);
                c.thumb = ToRect(slider.thumb);
            }
            headless::TabState tabs;
            if (headless::GetTabState(info.hwnd, &tabs)) {
                screen->tabs = tabs.items;
                for (const RECT& r : tabs.itemRects) {
                    screen->tabRects.push_back(ToRect(r));
                }
                screen->selectedTab = tabs.selected;
            }
            screen->controls.push_back(c);
        }
        std::vector<headless::BoxInfo> boxes = headless::OpenBoxes();
        for (auto box = boxes.rbegin(); box != boxes.rend(); ++box) {
            headless::WindowInfo frame;
            headless::WindowInfo ok;
            headless::GetWindowInfo(box->box, &frame);
            headless::GetWindowInfo(box->okButton, &ok);
            screen->boxes.push_back(
                scenario::Box{box->title, box->text, ToRect(frame.rect), ToRect(ok.rect)});
            boxes_.push_back(box->box);
        }
        return true;
    }

    // The layer raises the target's window when another lies over the point, as a person
    // clicking it in the task bar would.
    void Uncover(const scenario::Screen&, int box, scenario::Point point) override {
        HWND target = box < 0 ? panel_ : boxes_[static_cast<std::size_t>(box)];
        for (const headless::WindowInfo& info : headless::Windows()) {
            if (info.parent || !info.visible) {
                continue;
            }
            if (info.hwnd == target) {
                return;
            }
            if (ToRect(info.rect).Contains(point.x, point.y)) {
                headless::BringForward(target);
                return;
            }
        }
    }
    void MouseDown(scenario::Point p) override { headless::MouseDown(POINT{p.x, p.y}); }
    void MouseMove(scenario::Point p) override { headless::MouseMove(POINT{p.x, p.y}); }
    void MouseUp(scenario::Point p) override { headless::MouseUp(POINT{p.x, p.y}); }
    bool Key(const std::string& name) override {
        static const UINT keys[] = {VK_LEFT, VK_RIGHT, VK_UP,    VK_DOWN,
                                    VK_HOME, VK_END,   VK_PRIOR, VK_NEXT};
        for (int i = 0; i < 8; ++i) {
            if (name == scenario::kKeys[i]) {
                headless::PressKey(keys[i]);
                return true;
            }
        }
        return false;
    }
    // The program takes the input when it next pumps its messages.
    void Settle() override {}

  private:
    HWND panel_ = nullptr;
    std::vector<HWND> boxes_;
    bool ended_ = false;
    int exitCode_ = 0;
};

struct Run {
    scenario::Player* player = nullptr;
    scenario::RandomDriver* random = nullptr;
    fs::path root;
    fs::path keep;
};
Run g_run;

void CleanUp() {
    std::error_code error;
    if (!g_run.keep.empty()) {
        fs::remove_all(g_run.keep, error);
        fs::create_directories(g_run.keep, error);
        fs::copy(g_run.player->folder(), g_run.keep, fs::copy_options::recursive, error);
        if (error) {
            std::fprintf(stderr, "cannot keep the program folder in %s: %s\n",
                         g_run.keep.c_str(), error.message().c_str());
        }
    }
    fs::remove_all(g_run.root, error);
}

// Ends the run at once, from wherever the program stands: nothing of it may run on.
[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    CleanUp();
    std::fflush(nullptr);
    std::_Exit(1);
}

class ScenarioInput : public headless::InputSource {
  public:
    bool ProvideInput() override {
        if (g_run.player->Step()) {
            return true;
        }
        Fail(g_run.player->failed() ? g_run.player->failure()
                                    : g_run.player->failure() +
                                          "the scenario has ended while the program still runs");
    }
};

struct Options {
    std::string scenario;
    long seed = -1;
    int actions = 0;
    bool failingSaves = false;
    fs::path files, keep, record;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool value = i + 1 < argc;
        if (arg == "--files" && value) {
            o->files = argv[++i];
        } else if (arg == "--keep" && value) {
            o->keep = fs::absolute(argv[++i]);
        } else if (arg == "--record" && value) {
            o->record = fs::absolute(argv[++i]);
        } else if (arg == "--random" && value) {
            o->seed = std::strtol(argv[++i], nullptr, 10);
        } else if (arg == "--actions" && value) {
            o->actions = std::atoi(argv[++i]);
        } else if (arg == "--failing-saves") {
            o->failingSaves = true;
        } else if (o->scenario.empty() && arg[0] != '-') {
            o->scenario = arg;
        } else {
            return false;
        }
    }
    if (o->files.empty()) {
        o->files = o->seed >= 0 ? fs::path(AICP_SCENARIO_FILES)
                                : fs::path(o->scenario).parent_path() / "files";
    }
    o->files = fs::absolute(o->files);  // the program changes the current folder
    return o->seed >= 0 ? o->scenario.empty() && o->actions > 0 : !o->scenario.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: %s FILE.scn [--files DIR] [--keep DIR] [--record OUT.scn]\n"
                     "       %s --random SEED --actions N [--failing-saves] [--files DIR] "
                     "[--keep DIR] [--record OUT.scn]\n",
                     argv[0], argv[0]);
        return 2;
    }
    std::vector<scenario::Line> lines;
    std::string error;
    std::unique_ptr<scenario::RandomDriver> random;
    std::string name = options.scenario;
    if (options.seed >= 0) {
        random = std::make_unique<scenario::RandomDriver>(static_cast<unsigned>(options.seed),
                                                          options.actions, options.failingSaves);
        name = "seed " + std::to_string(options.seed);
        for (const std::string& text : random->SetUpLines()) {
            scenario::Line line{static_cast<int>(lines.size()) + 1, {}, {}};
            scenario::SplitLine(text, &line, &error);
            lines.push_back(line);
        }
    } else if (!scenario::ReadScenario(options.scenario, &lines, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::string root = (fs::temp_directory_path() / "scenario-XXXXXX").string();
    if (!mkdtemp(root.data())) {
        std::perror("mkdtemp");
        return 2;
    }
    HeadlessBackend backend;
    scenario::Player player(&backend, name, lines, options.files);
    g_run = Run{&player, random.get(), fs::canonical(root), options.keep};
    if (!options.record.empty() && !player.Record(options.record)) {
        Fail("cannot write " + options.record.string());
    }
    if (!player.SetUp(g_run.root)) {
        Fail(player.failure());
    }
    if (random) {
        random->Started(player.folder().string());
        player.SetDriver(random.get());
    }

    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    own::SetModulePathForTesting((player.folder() / kProgramName).string());
    ScenarioInput input;
    headless::SetInputSource(&input);
    std::string commandLine;
    int exitCode = WinMain(own::ProgramInstance(), nullptr, commandLine.data(), 1);
    headless::SetInputSource(nullptr);
    backend.SetEnded(exitCode);
    if (!player.Finish()) {
        Fail(player.failure());
    }
    if (random) {
        std::string broken = random->CheckFile();
        if (!broken.empty()) {
            Fail(name + ": after the program's end: " + broken);
        }
        if (exitCode != 1) {
            Fail(name + ": exit code " + std::to_string(exitCode));
        }
    }
    std::printf("%s: passed, exit code %d, %d actions%s\n", name.c_str(), exitCode,
                player.actions(), random ? (", " + random->Summary()).c_str() : "");
    CleanUp();
    return 0;
}
