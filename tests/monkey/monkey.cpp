// Thousands of random user actions against the program on the own layer, seeded and reproducible:
// tabs, sliders by drag, keys and clicks, check boxes, Apply and Reset, message boxes answered at
// random, saves that fail at random, and a defaults file that comes and goes. After every action:
// once start-up has ended the current tab index names a profile, the labels, check boxes and
// stored values agree, and the settings file is the one that the last successful save wrote whole.
//
//   monkey_test SEED ACTIONS FILES_DIR
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "panel/dialog_window.h"
#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/settings_file.h"
#include "res/program_resources.h"
#include "tests/scenarios/runner/screen.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

const char* const kGroups[] = {"Dancing", "Attack Delay", "Tech Speed", "Teching Handicap"};
const char* const kCheckBoxes[] = {
    "Early Harassing",   "Alternative Strategies", "Dynamic Production Buildings",
    "Build Relic Units", "Build Turrets",          "Build Mines"};
const UINT kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT};
// Start-up files, one for each seed in turn: whole, malformed for one profile, empty, out of the
// sliders' ranges, and none at all.
const char* const kStartFiles[] = {"good.ai", "no_harder.ai", "empty.ai", "out_of_range.ai",
                                   nullptr};

std::mt19937 g_random;
fs::path g_files;
long g_action = 0;
long g_actions = 0;
// What the run went through, printed at its end so that a seed's reach can be seen.
struct Counts {
    long saves = 0;
    long boxes = 0;
    std::size_t deepestBoxes = 0;
    long underStartUpBox = 0;
} g_counts;
std::string g_expectedFile;  // what the settings file must hold: empty when it must be missing
bool g_fileExpected = false;

int Below(int n) {
    return static_cast<int>(g_random() % static_cast<unsigned>(n));
}
bool OneIn(int n) {
    return Below(n) == 0;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "seed action %ld: %s\n", g_action, what.c_str());
    std::fflush(nullptr);
    std::_Exit(1);
}

std::string ReadBytes(const fs::path& path, bool* present) {
    std::ifstream in(path, std::ios::binary);
    *present = static_cast<bool>(in);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// What a save of the profiles as they are now writes.
std::string Serialized() {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    for (std::size_t i = 0; i < ProfileRegistry::Count(); ++i) {
        ProfileRegistry::At(i)->Write(out);
    }
    std::fclose(out);
    std::string bytes(buffer, size);
    std::free(buffer);
    return bytes;
}

// ---- Saves that fail at random
// ----------------------------------------------------------------------

// Each of a save's five steps: about one save in five fails.
bool Fails() {
    return OneIn(24);
}

std::FILE* OpenMayFail(const char* target, char (&temporary)[kFilePathSize]) {
    return Fails() ? nullptr : RealSaveFileSteps().open(target, temporary);
}
bool FlushMayFail(std::FILE* file) {
    return !Fails() && RealSaveFileSteps().flush(file);
}
bool SyncMayFail(std::FILE* file) {
    return !Fails() && RealSaveFileSteps().sync(file);
}
bool CloseMayFail(std::FILE* file) {
    bool closed = RealSaveFileSteps().close(file);
    return !Fails() && closed;
}
// The profiles cannot change while a save runs: no message is handled between its steps.
bool ReplaceMayFail(const char* from, const char* to) {
    if (Fails()) {
        return false;
    }
    std::string expected = Serialized();
    if (!RealSaveFileSteps().replace(from, to)) {
        return false;
    }
    g_expectedFile = expected;
    ++g_counts.saves;
    g_fileExpected = true;
    return true;
}
void RemoveReally(const char* path) {
    RealSaveFileSteps().remove(path);
}

const SaveFileSteps kFailingSteps = {OpenMayFail,  FlushMayFail,   SyncMayFail,
                                     CloseMayFail, ReplaceMayFail, RemoveReally};

// ---- Checks -------------------------------------------------------------------------------------

DialogWindow* Panel() {
    return WindowRegistry::Count() ? WindowRegistry::At(0) : nullptr;
}

void CheckSettingsFile() {
    bool present = false;
    std::string bytes = ReadBytes(kSettingsFilePath, &present);
    if (present != g_fileExpected || (present && bytes != g_expectedFile)) {
        Fail("the settings file is not the one that the last save wrote whole");
    }
    const std::string temporary = fs::path(kSettingsFilePath).filename().string() + ".";
    for (const fs::directory_entry& entry : fs::directory_iterator("Core")) {
        if (entry.path().filename().string().starts_with(temporary)) {
            Fail("a save left its temporary file behind");
        }
    }
}

// The panel's controls, found once by what they show: they stay for the whole run.
struct Controls {
    HWND panel = nullptr;
    HWND tabs = nullptr;
    HWND sliders[4] = {};
    HWND labels[4] = {};
    HWND checkBoxes[6] = {};
    HWND apply = nullptr;
    HWND reset = nullptr;
    HWND ok = nullptr;
    HWND cancel = nullptr;
} g_controls;

void FindControls() {
    g_controls.panel = screen::Panel();
    if (!g_controls.panel) {
        Fail("the panel is not on screen");
    }
    g_controls.tabs = screen::Tabs();
    for (int i = 0; i < 4; ++i) {
        g_controls.sliders[i] = screen::Slider(kGroups[i]);
        g_controls.labels[i] = screen::ValueLabel(kGroups[i]);
    }
    for (int i = 0; i < 6; ++i) {
        g_controls.checkBoxes[i] = screen::ButtonWithCaption(kCheckBoxes[i]);
    }
    g_controls.apply = screen::ButtonWithCaption("Apply");
    g_controls.reset = screen::ButtonWithCaption("Reset");
    g_controls.ok = screen::ButtonWithCaption("OK");
    g_controls.cancel = screen::ButtonWithCaption("Cancel");
}

void ExpectLabel(int row, const char* expected) {
    const char* group = kGroups[row];
    std::string actual = screen::Text(g_controls.labels[row]);
    if (expected && actual != expected) {
        Fail(std::string("label ") + group + " reads \"" + actual + "\", the value says \"" +
             expected + "\"");
    }
}

// Labels and check boxes show the current profile. A load whose message is still open has
// changed the profiles without showing them yet, so the panel is compared only without one.
void CheckPanel() {
    DialogWindow* panel = Panel();
    if (!panel || panel->profiles.size() != 5) {
        return;  // start-up has not handed over the profiles yet
    }
    AISetting* profile = panel->CurrentProfile();
    if (panel->iCurrentTab < 0 || panel->iCurrentTab >= 5 || !profile) {
        Fail("the current tab index names no profile");
    }
    for (const headless::BoxInfo& box : headless::OpenBoxes()) {
        if (box.text.find("Using default settings now.") != std::string::npos) {
            return;
        }
    }
    headless::TabState tabs;
    if (!headless::GetTabState(g_controls.tabs, &tabs) || tabs.selected != panel->iCurrentTab) {
        Fail("the selected tab is not the current profile's");
    }
    static const char* const dancing[] = {nullptr, nullptr, "Off", "Standard", "Godlike"};
    static const char* const tech[] = {"Very Slow", "Slow", "Average", "Fast", "Very Fast"};
    static const char* const handicap[] = {"Allies Major", "Allies Minor", "Off", "Opponents Minor",
                                           "Opponents Major"};
    auto text = [](const char* const* texts, std::int32_t value) {
        return value >= -2 && value <= 2 ? texts[value + 2] : nullptr;
    };
    ExpectLabel(0, text(dancing, profile->iDancing));
    ExpectLabel(2, text(tech, profile->iTechSpeed));
    ExpectLabel(3, text(handicap, profile->iHandicap));
    std::string minutes = std::to_string(profile->iAttackDelay) + " minutes";
    ExpectLabel(1, minutes.c_str());

    const bool values[] = {profile->bHarassing,      profile->bAlternativeStrategies,
                           profile->bMultiBuildings, profile->bRelicUnits,
                           profile->bTurrets,        profile->bMines};
    for (int i = 0; i < 6; ++i) {
        if (screen::IsChecked(g_controls.checkBoxes[i]) != values[i]) {
            Fail(std::string("check box ") + kCheckBoxes[i] + " disagrees with its setting");
        }
    }
}

// ---- Actions
// --------------------------------------------------------------------------------------

void ChangeDefaultsFile() {
    std::error_code error;
    fs::remove(kDefaultsFilePath, error);
    int pick = Below(3);
    if (pick > 0) {
        fs::copy_file(g_files / (pick == 1 ? "defaults.ai" : "no_harder.ai"), kDefaultsFilePath,
                      error);
    }
}

void RandomAction() {
    // The load's box at start-up is left open longer: the panel has no profiles under it.
    DialogWindow* panel = Panel();
    bool startingUp = panel && panel->profiles.empty();
    if (!headless::OpenBoxes().empty() && OneIn(startingUp ? 8 : 3)) {
        headless::DismissBox();
        return;
    }
    HWND slider = g_controls.sliders[Below(4)];
    switch (Below(12)) {
        case 0:
        case 1:
            headless::ClickTab(g_controls.tabs, Below(5));
            break;
        case 2:
            headless::DragSlider(slider, Below(15) - 3);
            break;
        case 3:
            headless::ClickSliderThumb(slider);
            headless::PressKey(kKeys[Below(8)]);
            break;
        case 4:
            headless::ClickSliderChannel(slider, OneIn(2));
            break;
        case 5:
        case 6:
            headless::Click(g_controls.checkBoxes[Below(6)]);
            break;
        case 7:
            headless::Click(g_controls.apply);
            break;
        case 8:
            headless::Click(g_controls.reset);
            break;
        case 9:
            ChangeDefaultsFile();
            break;
        default:
            if (!headless::DismissBox()) {
                headless::PressKey(kKeys[Below(8)]);
            }
            break;
    }
}

// Ends the run the way a person does: boxes answered, then OK, Cancel or the close box.
void FinalAction() {
    if (headless::DismissBox()) {
        return;
    }
    int pick = Below(3);
    if (pick == 2) {
        headless::CloseWindow(g_controls.panel);
    } else {
        headless::Click(pick == 0 ? g_controls.ok : g_controls.cancel);
    }
}

class MonkeyInput : public headless::InputSource {
  public:
    bool ProvideInput() override {
        if (!g_controls.panel) {
            FindControls();
        }
        std::size_t open = headless::OpenBoxes().size();
        g_counts.deepestBoxes = std::max(g_counts.deepestBoxes, open);
        g_counts.boxes += open > 0;
        DialogWindow* panel = Panel();
        g_counts.underStartUpBox += open > 0 && panel && panel->profiles.empty();
        CheckSettingsFile();
        CheckPanel();
        headless::WindowInfo shown;
        if (!headless::GetWindowInfo(g_controls.panel, &shown) || !shown.visible) {
            Fail("the panel is not on screen");
        }
        ++g_action;
        if (g_action > g_actions + 1000) {
            Fail("the program does not end");
        }
        if (g_action > g_actions) {
            FinalAction();
        } else {
            RandomAction();
        }
        return true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SEED ACTIONS FILES_DIR\n", argv[0]);
        return 2;
    }
    unsigned seed = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
    g_actions = std::strtol(argv[2], nullptr, 10);
    g_files = fs::absolute(argv[3]);
    g_random.seed(seed);

    std::string root = (fs::temp_directory_path() / "monkey-XXXXXX").string();
    if (!mkdtemp(root.data())) {
        std::perror("mkdtemp");
        return 2;
    }
    fs::path folder = fs::canonical(root);
    fs::create_directories(folder / "Core");
    const char* start = kStartFiles[seed % std::size(kStartFiles)];
    if (start) {
        fs::copy_file(g_files / start, folder / kSettingsFilePath);
        g_expectedFile = ReadBytes(folder / kSettingsFilePath, &g_fileExpected);
    }
    std::error_code ignored;
    fs::current_path(folder, ignored);
    ChangeDefaultsFile();

    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    support::SetModulePathForTesting((folder / "AIControlPanel").string());
    SetSaveFileSteps(&kFailingSteps);
    MonkeyInput input;
    headless::SetInputSource(&input);
    std::string commandLine;
    int exitCode = WinMain(own::ProgramInstance(), nullptr, commandLine.data(), 1);
    headless::SetInputSource(nullptr);
    SetSaveFileSteps(nullptr);

    CheckSettingsFile();
    fs::remove_all(folder, ignored);
    if (exitCode != 1) {
        Fail("exit code " + std::to_string(exitCode));
    }
    std::printf(
        "seed %u, start file %s: %ld actions, exit code %d; %ld saves written whole; %ld actions "
        "under a message box (%ld of them before the profiles were handed over), up to %zu "
        "boxes open at once\n",
        seed, start ? start : "(none)", g_action, exitCode, g_counts.saves, g_counts.boxes,
        g_counts.underStartUpBox, g_counts.deepestBoxes);
    return 0;
}
