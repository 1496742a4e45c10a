#include "tests/scenarios/engine/random_driver.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "panel/dialog_window.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/settings_file.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

// Start-up files: whole, malformed for one profile, empty, out of the sliders' ranges, none.
const char* const kStartFiles[] = {"good.ai", "no_harder.ai", "empty.ai", "out_of_range.ai",
                                   nullptr};
const char* const kDefaultsFiles[] = {"defaults.ai", "no_harder.ai", nullptr};
const char* const kTabs[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};

std::mt19937* g_saveRandom = nullptr;  // null: saves do not fail
std::string g_expectedFile;            // what the settings file must hold
bool g_fileExpected = false;
long g_saves = 0;

std::string ReadBytes(const char* path, bool* present) {
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

// Each of a save's steps fails one time in 24: about one save in five.
bool Fails() {
    return g_saveRandom && (*g_saveRandom)() % 24 == 0;
}
std::FILE* OpenMayFail(const char* path) {
    return Fails() ? nullptr : RealSaveFileSteps().open(path);
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
// No message is handled between a save's steps, so the profiles are still what it wrote.
bool ReplaceMayFail(const char* from, const char* to) {
    if (Fails()) {
        return false;
    }
    std::string expected = Serialized();
    if (!RealSaveFileSteps().replace(from, to)) {
        return false;
    }
    g_expectedFile = expected;
    g_fileExpected = true;
    ++g_saves;
    return true;
}
void RemoveReally(const char* path) {
    RealSaveFileSteps().remove(path);
}
const SaveFileSteps kWatchedSteps = {OpenMayFail,  FlushMayFail,   SyncMayFail,
                                     CloseMayFail, ReplaceMayFail, RemoveReally};

std::string Q(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

RandomDriver::RandomDriver(unsigned seed, int actions, bool failingSaves)
    : random_(seed), actions_(actions) {
    startFile_ = kStartFiles[seed % std::size(kStartFiles)];
    static std::mt19937 saveRandom;
    saveRandom.seed(seed ^ 0x5a5a5a5au);
    g_saveRandom = failingSaves ? &saveRandom : nullptr;
    SetSaveFileSteps(&kWatchedSteps);
}

RandomDriver::~RandomDriver() {
    SetSaveFileSteps(nullptr);
    g_saveRandom = nullptr;
}

std::vector<std::string> RandomDriver::SetUpLines() {
    std::vector<std::string> lines = {"folder \"Core\""};
    if (startFile_) {
        lines.push_back("file \"Core/AIConfig.ai\" from " + Q(startFile_));
    }
    if (const char* defaults = kDefaultsFiles[Below(3)]) {
        lines.push_back("file \"Core/AIDefaultConfig.ai\" from " + Q(defaults));
    }
    lines.push_back("start");
    return lines;
}

void RandomDriver::Started(const std::string& folder) {
    g_expectedFile = ReadBytes((folder + "/" + kSettingsFilePath).c_str(), &g_fileExpected);
}

std::string RandomDriver::SliderAction(const Screen& screen) {
    const char* group = kGroups[Below(4)];
    const Control* slider = screen.Slider(group);
    if (!slider) {
        return "";
    }
    switch (Below(3)) {
        case 0:
            return "drag slider " + Q(group) + " to " +
                   std::to_string(slider->min + Below(slider->max - slider->min + 1));
        case 1:
            return "key slider " + Q(group) + " " + kKeys[Below(8)];
        default: {
            // Only where the channel has room beside the thumb.
            bool left = (slider->channel.left + slider->thumb.left) / 2 < slider->thumb.left;
            bool right = (slider->thumb.right + slider->channel.right) / 2 >= slider->thumb.right;
            bool pickLeft = left && (!right || OneIn(2));
            return "click slider " + Q(group) + (pickLeft ? " left" : " right");
        }
    }
}

std::string RandomDriver::FinalAction(const Screen& screen) {
    if (!screen.boxes.empty()) {
        return "dismiss box";
    }
    switch (Below(3)) {
        case 0:
            return "press \"OK\"";
        case 1:
            return "press \"Cancel\"";
        default:
            return "close";
    }
}

bool RandomDriver::NextLine(const Screen& screen, std::string* line) {
    if (++given_ > actions_ + 100) {
        return false;
    }
    if (given_ > actions_) {
        *line = FinalAction(screen);
        return true;
    }
    // The load's box at start-up is left open longer: the panel has no profiles under it.
    bool startingUp = WindowRegistry::Count() && WindowRegistry::At(0)->profiles.empty();
    if (!screen.boxes.empty() && OneIn(startingUp ? 8 : 3)) {
        *line = "dismiss box";
        return true;
    }
    switch (Below(12)) {
        case 0:
        case 1:
            *line = "select tab " + Q(kTabs[Below(5)]);
            break;
        case 2:
        case 3:
        case 4:
            *line = SliderAction(screen);
            break;
        case 5:
        case 6:
            *line = "toggle " + Q(kCheckBoxes[Below(6)]);
            break;
        case 7:
            *line = "press \"Apply\"";
            break;
        case 8:
            *line = "press \"Reset\"";
            break;
        case 9: {
            const char* defaults = kDefaultsFiles[Below(3)];
            *line = defaults ? "file \"Core/AIDefaultConfig.ai\" from " + Q(defaults)
                             : "remove \"Core/AIDefaultConfig.ai\"";
            break;
        }
        default:
            *line = screen.boxes.empty() ? SliderAction(screen) : "dismiss box";
            break;
    }
    return !line->empty();
}

std::string RandomDriver::CheckFile() {
    bool present = false;
    std::string bytes = ReadBytes(kSettingsFilePath, &present);
    if (present != g_fileExpected || (present && bytes != g_expectedFile)) {
        return "the settings file is not the one that the last save wrote whole";
    }
    if (fs::exists(std::string(kSettingsFilePath) + ".tmp")) {
        return "a save left its temporary file behind";
    }
    return "";
}

// Labels and check boxes show the current profile. A load whose message is still open has
// changed the profiles without showing them yet, so the panel is compared only without one.
std::string RandomDriver::Check(const Screen& screen) {
    std::string file = CheckFile();
    if (!file.empty()) {
        return file;
    }
    DialogWindow* panel = WindowRegistry::Count() ? WindowRegistry::At(0) : nullptr;
    if (!panel || panel->profiles.size() != 5) {
        return "";  // start-up has not handed over the profiles yet
    }
    AISetting* profile = panel->CurrentProfile();
    if (panel->iCurrentTab < 0 || panel->iCurrentTab >= 5 || !profile) {
        return "the current tab index names no profile";
    }
    for (const Box& box : screen.boxes) {
        if (box.text.find("Using default settings now.") != std::string::npos) {
            return "";
        }
    }
    if (screen.selectedTab != panel->iCurrentTab) {
        return "the selected tab is not the current profile's";
    }
    static const char* const dancing[] = {nullptr, nullptr, "Off", "Standard", "Godlike"};
    static const char* const tech[] = {"Very Slow", "Slow", "Average", "Fast", "Very Fast"};
    static const char* const handicap[] = {"Allies Major", "Allies Minor", "Off",
                                           "Opponents Minor", "Opponents Major"};
    auto text = [](const char* const* texts, std::int32_t value) {
        return value >= -2 && value <= 2 ? texts[value + 2] : nullptr;
    };
    std::string minutes = std::to_string(profile->iAttackDelay) + " minutes";
    const char* expected[] = {text(dancing, profile->iDancing), minutes.c_str(),
                              text(tech, profile->iTechSpeed), text(handicap, profile->iHandicap)};
    for (int row = 0; row < 4; ++row) {
        const Control* label = screen.ValueLabel(kGroups[row]);
        if (expected[row] && (!label || label->text != expected[row])) {
            return std::string("label ") + kGroups[row] + " does not show the value " +
                   expected[row];
        }
    }
    const bool values[] = {profile->bHarassing,      profile->bAlternativeStrategies,
                           profile->bMultiBuildings, profile->bRelicUnits,
                           profile->bTurrets,        profile->bMines};
    for (int i = 0; i < 6; ++i) {
        const Control* box = screen.Button(kCheckBoxes[i]);
        if (!box || box->checked != values[i]) {
            return std::string("check box ") + kCheckBoxes[i] + " disagrees with its setting";
        }
    }
    return "";
}

std::string RandomDriver::Summary() const {
    return "start file " + std::string(startFile_ ? startFile_ : "(none)") + ", " +
           std::to_string(g_saves) + " saves written whole";
}

}  // namespace scenario
