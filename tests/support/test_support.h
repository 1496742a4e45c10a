#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/own/headless.h"
#include "platform/own/hooks.h"
#include "profiles/settings_file.h"

namespace support {

// Dispatches what is pending, without waiting; stops before a quit message and leaves it queued.
void DoEvents();

// Hit-tested clicks, queued as input: none for a window that is not on screen; a top-level window
// that another covers at the point is first brought forward, as from the task bar.
void Click(HWND window);                     // at the centre of its window rectangle
void ClickTab(HWND tab, int index);          // on the item
void DragSlider(HWND slider, int position);  // from the thumb to that position, then let go

// A script of steps, each run when the layer would wait: the usual input source for tests.
class ScriptedInput : public headless::InputSource {
  public:
    ScriptedInput();
    ~ScriptedInput() override;
    ScriptedInput(const ScriptedInput&) = delete;
    ScriptedInput& operator=(const ScriptedInput&) = delete;

    ScriptedInput& Then(std::function<void()> step);
    bool ProvideInput() override;
    std::size_t remaining() const { return steps_.size(); }

  private:
    headless::InputSource* previous_;
    std::deque<std::function<void()>> steps_;
};

// While one of these lives, every message box's text is recorded and the box answered with a click
// on OK (its modal loop runs and takes the click).
class AutoAnswerBoxes {
  public:
    AutoAnswerBoxes();
    ~AutoAnswerBoxes();
    AutoAnswerBoxes(const AutoAnswerBoxes&) = delete;
    AutoAnswerBoxes& operator=(const AutoAnswerBoxes&) = delete;

    const std::vector<std::string>& boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

  private:
    static void Observe(const headless::BoxInfo& box);

    AutoAnswerBoxes* previous_;
    own::BoxObserver previousObserver_;
    std::vector<std::string> boxes_;
};

enum class SaveStep { kCreate, kInPlace, kWrite, kFlush, kCut, kSync, kFolder, kClose, kReplace };

// While one of these lives, each step of a save asks the rule first and fails where it says so,
// as the system's own would: a step that opens or renames (given its path) before it does
// anything, a write after half its bytes, the others after their work. Removing a file that is
// not there, which a save never made, ends the test program.
class FailingSaves {
  public:
    using Rule = std::function<bool(SaveStep step, const char* path)>;
    explicit FailingSaves(Rule rule);
    ~FailingSaves();
    FailingSaves(const FailingSaves&) = delete;
    FailingSaves& operator=(const FailingSaves&) = delete;
};

// A regular file's bytes; nothing where there is none at the path or it cannot be read.
std::optional<std::string> ReadBytes(const std::filesystem::path& path);

// Empties ProfileRegistry, as a new process would, for tests that build profiles of their own.
void ForgetProfiles();

}  // namespace support
