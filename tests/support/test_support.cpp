#include "tests/support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

#include "profiles/pointer_list.h"
#include "profiles/profile_registry.h"

namespace support {
namespace {
AutoAnswerBoxes* g_answerer = nullptr;
FailingSaves::Rule g_saveRule;

using headless::Centre;

// Presses at `from` and lets go at `to`, by way of the middle; see Click.
void Press(HWND target, POINT from, POINT to) {
    HWND top = target;
    while (GetParent(top))
        top = GetParent(top);
    if (!IsWindowVisible(target))
        return;
    if (headless::TopLevelWindowAt(from) != top)
        headless::BringForward(top);
    headless::MouseDown(from);
    if (from.x != to.x || from.y != to.y) {
        headless::MouseMove(POINT{(from.x + to.x) / 2, from.y});
        headless::MouseMove(to);
    }
    headless::MouseUp(to);
}
}  // namespace

void DoEvents() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Click(HWND window) {
    RECT r;
    if (GetWindowRect(window, &r))
        Press(window, Centre(r), Centre(r));
}

void ClickTab(HWND tab, int index) {
    headless::WindowInfo info;
    const own::TabInfo* tabs = headless::Tabs(tab);
    if (tabs && headless::GetWindowInfo(tab, &info) && index >= 0 &&
        index < static_cast<int>(tabs->items.size())) {
        POINT p =
            Centre(headless::OnScreen(info, tabs->items[static_cast<std::size_t>(index)].rect));
        Press(tab, p, p);
    }
}

void DragSlider(HWND slider, int position) {
    if (const own::TrackbarInfo* bar = headless::Trackbar(slider))
        Press(slider, headless::SliderPointFor(slider, bar->pos),
              headless::SliderPointFor(slider, position));
}

ScriptedInput::ScriptedInput() : previous_(headless::GetInputSource()) {
    headless::SetInputSource(this);
}
ScriptedInput::~ScriptedInput() {
    headless::SetInputSource(previous_);
}

ScriptedInput& ScriptedInput::Then(std::function<void()> step) {
    steps_.push_back(std::move(step));
    return *this;
}

bool ScriptedInput::ProvideInput() {
    if (steps_.empty())
        return false;
    std::function<void()> step = std::move(steps_.front());
    steps_.pop_front();
    step();
    return true;
}

AutoAnswerBoxes::AutoAnswerBoxes()
    : previous_(g_answerer), previousObserver_(own::SetBoxObserver(Observe)) {
    g_answerer = this;
}
AutoAnswerBoxes::~AutoAnswerBoxes() {
    g_answerer = previous_;
    own::SetBoxObserver(previousObserver_);
}

void AutoAnswerBoxes::Observe(const headless::BoxInfo& box) {
    if (!g_answerer)
        return;
    g_answerer->boxes_.push_back(box.text);
    Click(box.okButton);
}

FailingSaves::FailingSaves(Rule rule) {
    using enum SaveStep;
    static const SaveFileSteps& real = RealSaveFileSteps();
    static const SaveFileSteps kSteps = {
        [](const char* path, const char* target, NewFile kind, Made* made) {
            *made = Made::kFailed;
            return g_saveRule(kCreate, path) ? nullptr : real.create(path, target, kind, made);
        },
        [](const char* target) {
            return g_saveRule(kInPlace, target) ? nullptr : real.openInPlace(target);
        },
        [](const char* bytes, std::size_t size, std::FILE* f) {
            return real.write(bytes, g_saveRule(kWrite, nullptr) ? size / 2 : size, f);
        },
        [](std::FILE* f) { return real.flush(f) && !g_saveRule(kFlush, nullptr); },
        [](std::FILE* f, long length) { return real.cut(f, length) && !g_saveRule(kCut, nullptr); },
        [](std::FILE* f) { return real.sync(f) && !g_saveRule(kSync, nullptr); },
        [](const char* path) { return real.syncFolder(path) && !g_saveRule(kFolder, path); },
        [](std::FILE* f) { return real.close(f) && !g_saveRule(kClose, nullptr); },
        [](const char* from, const char* to) {
            return g_saveRule(kReplace, to) ? Made::kFailed : real.replace(from, to);
        },
        [](const char* path) {
            if (access(path, F_OK) != 0)
                std::abort();
            real.remove(path);
        }};
    g_saveRule = std::move(rule);
    SetSaveFileSteps(&kSteps);
}
FailingSaves::~FailingSaves() {
    SetSaveFileSteps(nullptr);
}

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in || !std::filesystem::is_regular_file(path))
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void ForgetProfiles() {
    g_registeredProfiles.clear();
}

}  // namespace support
