#include <random>

#include "tests/scenarios/engine/player.h"
#include "tests/support/panel.h"

namespace scenario {
namespace {

constexpr std::size_t kProfiles = std::size(kProfileNames);
const char* const kDefaults[] = {"defaults.ai", "no_harder.ai", nullptr};
// How a random scenario ends (Enter presses OK unless a default Apply or Reset has the focus).
const char* const kEndings[] = {"close",      "press \"OK\"", "press \"Cancel\"",
                                "key Escape", "key Alt+F4",   "key Enter"};
std::mt19937 g_random, g_saveRandom;

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

// With saves failing at random, one step in sixteen fails, which ends the save with its message
// and leaves the file as it was. What the file must hold follows the steps.
bool WatchSave(support::SaveStep step, const char*) {
    static std::string pending;  // what the save writes: no message is handled between its steps
    if (step == support::SaveStep::kCreate) {
        char block[AISetting::kBlockRoom];
        pending.clear();
        for (std::size_t i = 0; i < ProfileRegistry::Count(); ++i)
            pending.append(block, ProfileRegistry::At(i)->Write(block));
    }
    bool fails = g_run.options.count('f') && g_saveRandom() % 16 == 0;
    if (step == support::SaveStep::kReplace && !fails) {
        g_run.expectedFile = pending;  // the rename is done, whatever comes next
        ++g_run.saves;
    }
    return fails;
}

class Random : public Driver {
  public:
    explicit Random(int actions) : actions_(actions) {}

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

    // A key to whatever has the focus, none that would end the program (they come at the end).
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

}  // namespace

std::unique_ptr<Driver> RandomScenario(long seed, int actions, std::vector<Line>* lines) {
    // The start file comes from the seed in turn; the defaults file at random.
    static const char* const kStart[] = {"good.ai", "no_harder.ai", "empty.ai", "out_of_range.ai",
                                         nullptr};
    g_random.seed(static_cast<unsigned>(seed));
    g_saveRandom.seed(static_cast<unsigned>(seed) ^ 0x5a5a5a5au);
    const char* start = kStart[seed % 5];
    const char* defaults = kDefaults[Below(3)];
    lines->push_back(Parsed("folder \"Core\"", 1));
    if (start)
        lines->push_back(Parsed("file \"Core/AIConfig.ai\" from " + Quoted(start), 2));
    if (defaults) {
        lines->push_back(Parsed("file \"Core/AIDefaultConfig.ai\" from " + Quoted(defaults),
                                static_cast<int>(lines->size()) + 1));
    }
    lines->push_back(Parsed("start", static_cast<int>(lines->size()) + 1));
    static support::FailingSaves watched(WatchSave);
    return std::make_unique<Random>(actions);
}

std::string CheckFile() {
    if (support::ReadBytes(kSettingsFilePath) != g_run.expectedFile)
        return "the settings file is not the one that the last save wrote whole";
    for (const auto& entry : fs::directory_iterator("Core")) {
        if (entry.path().filename().string().starts_with("AIConfig.ai."))
            return "a save left its temporary file behind";
    }
    return "";
}

}  // namespace scenario
