// Plays a scenario file against the program on the own layer: starts it in a fresh folder with
// the scenario's files, gives it a person's input whenever it would wait, and checks what is on
// screen, the exit code and the files left behind.
//
//   scenario_runner FILE.scn [--files DIR] [--keep DIR]
//
// --files names the folder of the fixture files (default: "files" beside the scenario); --keep
// copies the finished program folder to DIR for a comparison with another platform's run.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "tests/scenarios/runner/scenario.h"
#include "tests/scenarios/runner/screen.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgramName = "AIControlPanel";

struct Options {
    std::string scenario;
    fs::path files;
    fs::path keep;
};

struct Run {
    Options options;
    fs::path root;           // the fresh temporary folder
    fs::path programFolder;  // the root unless the scenario moves the program
    std::vector<scenario::Line> lines;
    std::size_t next = 0;
    bool started = false;
    bool ended = false;
    int exitCode = 0;
};

Run* g_run = nullptr;

std::string ReadBytes(const fs::path& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    *ok = static_cast<bool>(in);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Shows a text with its control characters visible.
std::string Visible(const std::string& text) {
    scenario::Line line{0, {text}, {true}};
    return scenario::Describe(line);
}

void Keep() {
    if (g_run->options.keep.empty()) {
        return;
    }
    std::error_code error;
    fs::create_directories(g_run->options.keep, error);
    fs::copy(g_run->root, g_run->options.keep,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    if (error) {
        std::fprintf(stderr, "cannot keep the program folder in %s: %s\n",
                     g_run->options.keep.c_str(), error.message().c_str());
    }
}

void CleanUp() {
    Keep();
    std::error_code error;
    fs::remove_all(g_run->root, error);
}

// Ends the run at once, from wherever the program stands: nothing of it may run on.
[[noreturn]] void Fail(const scenario::Line* line, const std::string& what) {
    if (line) {
        std::fprintf(stderr, "%s:%d: %s\n  %s\n", g_run->options.scenario.c_str(), line->number,
                     scenario::Describe(*line).c_str(), what.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", g_run->options.scenario.c_str(), what.c_str());
    }
    CleanUp();
    std::fflush(nullptr);
    std::_Exit(1);
}

bool Is(const scenario::Line& line, std::initializer_list<const char*> words) {
    if (line.words.size() < words.size()) {
        return false;
    }
    std::size_t i = 0;
    for (const char* word : words) {
        if (word && (line.quoted[i] || line.words[i] != word)) {
            return false;
        }
        ++i;
    }
    return true;
}

// The quoted text at a position; a line without it is malformed.
const std::string& TextAt(const scenario::Line& line, std::size_t i) {
    if (i >= line.words.size() || !line.quoted[i]) {
        Fail(&line, "expected a quoted text as word " + std::to_string(i + 1));
    }
    return line.words[i];
}

int NumberAt(const scenario::Line& line, std::size_t i) {
    if (i >= line.words.size() || line.quoted[i]) {
        Fail(&line, "expected a number as word " + std::to_string(i + 1));
    }
    char* end = nullptr;
    long value = std::strtol(line.words[i].c_str(), &end, 10);
    if (*end || line.words[i].empty()) {
        Fail(&line, "\"" + line.words[i] + "\" is not a number");
    }
    return static_cast<int>(value);
}

void Expect(const scenario::Line& line, bool holds, const std::string& expected,
            const std::string& actual) {
    if (!holds) {
        Fail(&line, "expected " + expected + ", got " + actual);
    }
}

HWND Need(const scenario::Line& line, HWND window, const std::string& what) {
    if (!window) {
        Fail(&line, "there is no " + what + " on screen");
    }
    return window;
}

fs::path InFolder(const std::string& relative) {
    return g_run->programFolder / relative;
}

// ---- Set-up
// ---------------------------------------------------------------------------------------

void PlaceProgram(const scenario::Line& line) {
    int length = NumberAt(line, 3);
    // root + "/" + padding + "/" + program name
    int padding = length - static_cast<int>(g_run->root.string().size() + 2 +
                                            std::char_traits<char>::length(kProgramName));
    if (padding < 1 || padding > 255) {
        Fail(&line, "a program path of that length cannot be made here");
    }
    g_run->programFolder = g_run->root / std::string(padding, 'p');
    fs::create_directories(g_run->programFolder);
}

void SetUp(const scenario::Line& line) {
    if (Is(line, {"folder", nullptr})) {
        fs::create_directories(InFolder(TextAt(line, 1)));
    } else if (Is(line, {"file", nullptr, "from", nullptr})) {
        fs::path target = InFolder(TextAt(line, 1));
        fs::create_directories(target.parent_path());
        std::error_code error;
        fs::copy_file(g_run->options.files / TextAt(line, 3), target,
                      fs::copy_options::overwrite_existing, error);
        if (error) {
            Fail(&line, "cannot copy the file: " + error.message());
        }
    } else if (Is(line, {"program", "path", "length", nullptr})) {
        PlaceProgram(line);
    } else {
        Fail(&line, "not a set-up line");
    }
}

// ---- Expectations
// ---------------------------------------------------------------------------------

void ExpectFile(const scenario::Line& line) {
    fs::path path = InFolder(TextAt(line, 1));
    bool present = false;
    std::string actual = ReadBytes(path, &present);
    present = present && fs::is_regular_file(path);
    if (Is(line, {"file", nullptr, "missing"})) {
        Expect(line, !fs::exists(path), "no such file", "one");
        return;
    }
    bool fixture = false;
    std::string expected = ReadBytes(g_run->options.files / TextAt(line, 3), &fixture);
    if (!fixture) {
        Fail(&line, "cannot read the fixture file");
    }
    if (!present) {
        Fail(&line, "expected the file, but there is none");
    }
    if (actual != expected) {
        std::size_t at = 0;
        while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
            ++at;
        }
        Fail(&line, "the file differs from byte " + std::to_string(at) + " on (" +
                        std::to_string(actual.size()) + " bytes, expected " +
                        std::to_string(expected.size()) + "): got " +
                        Visible(actual.substr(at, 40)) + ", expected " +
                        Visible(expected.substr(at, 40)));
    }
}

void ExpectBox(const scenario::Line& line) {
    std::vector<headless::BoxInfo> boxes = headless::OpenBoxes();
    if (Is(line, {"no", "box"})) {
        Expect(line, boxes.empty(), "no message box",
               boxes.empty() ? "" : "a box saying " + Visible(boxes.back().text));
        return;
    }
    const std::string& text = TextAt(line, 1);
    if (boxes.empty()) {
        Fail(&line, "expected a message box saying " + Visible(text) + ", but none is open");
    }
    const headless::BoxInfo& top = boxes.back();
    Expect(line, top.title == "Error" && top.text == text,
           "a box titled \"Error\" saying " + Visible(text),
           "one titled " + Visible(top.title) + " saying " + Visible(top.text));
}

// True when the line is an expectation, which has then been checked.
bool CheckExpectation(const scenario::Line& line) {
    const std::string& verb = line.words[0];
    if (verb == "file" && line.words.size() >= 3 && !line.quoted[2]) {
        ExpectFile(line);
    } else if (verb == "box" || Is(line, {"no", "box"})) {
        ExpectBox(line);
    } else if (verb == "label") {
        HWND label = Need(line, screen::ValueLabel(TextAt(line, 1)), "such value label");
        std::string actual = screen::Text(label);
        Expect(line, actual == TextAt(line, 2), Visible(TextAt(line, 2)), Visible(actual));
    } else if (verb == "slider") {
        HWND slider = Need(line, screen::Slider(TextAt(line, 1)), "such slider");
        int actual = screen::SliderPosition(slider);
        Expect(line, actual == NumberAt(line, 2), "position " + line.words[2],
               "position " + std::to_string(actual));
    } else if (verb == "checked" || verb == "unchecked") {
        HWND box = Need(line, screen::ButtonWithCaption(TextAt(line, 1)), "such check box");
        bool checked = screen::IsChecked(box);
        Expect(line, checked == (verb == "checked"), verb, checked ? "checked" : "unchecked");
    } else if (verb == "tab") {
        Need(line, screen::Tabs(), "tab control");
        std::string actual = screen::SelectedTab();
        Expect(line, actual == TextAt(line, 1), "tab " + Visible(TextAt(line, 1)) + " selected",
               actual.empty() ? "none selected" : "tab " + Visible(actual));
    } else if (verb == "exit") {
        if (!g_run->ended) {
            Fail(&line, "expected the program to have ended, but it still runs");
        }
        Expect(line, g_run->exitCode == NumberAt(line, 1), "exit code " + line.words[1],
               "exit code " + std::to_string(g_run->exitCode));
    } else if (verb == "differs") {
        // Only a note for the comparison between the platforms.
    } else {
        return false;
    }
    return true;
}

// ---- Actions
// --------------------------------------------------------------------------------------

UINT KeyNamed(const scenario::Line& line, const std::string& name) {
    static const std::map<std::string, UINT> keys = {
        {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP},        {"Down", VK_DOWN},
        {"Home", VK_HOME}, {"End", VK_END},     {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT},
    };
    auto key = keys.find(name);
    if (key == keys.end()) {
        Fail(&line, "unknown key " + name);
    }
    return key->second;
}

void Act(const scenario::Line& line) {
    if (g_run->ended) {
        Fail(&line, "the program has already ended");
    }
    const std::string& verb = line.words[0];
    if (Is(line, {"select", "tab", nullptr})) {
        int index = screen::TabIndex(TextAt(line, 2));
        if (index < 0) {
            Fail(&line, "there is no such tab");
        }
        headless::ClickTab(screen::Tabs(), index);
    } else if (verb == "press" || verb == "toggle") {
        headless::Click(Need(line, screen::ButtonWithCaption(TextAt(line, 1)), "such button"));
    } else if (Is(line, {"key", "slider", nullptr, nullptr})) {
        HWND slider = Need(line, screen::Slider(TextAt(line, 2)), "such slider");
        UINT key = KeyNamed(line, line.words[3]);
        headless::ClickSliderThumb(slider);
        headless::PressKey(key);
    } else if (Is(line, {"drag", "slider", nullptr, "to", nullptr})) {
        HWND slider = Need(line, screen::Slider(TextAt(line, 2)), "such slider");
        headless::DragSlider(slider, NumberAt(line, 4));
    } else if (Is(line, {"click", "slider", nullptr, nullptr})) {
        HWND slider = Need(line, screen::Slider(TextAt(line, 2)), "such slider");
        if (line.words[3] != "left" && line.words[3] != "right") {
            Fail(&line, "a slider is clicked left or right of its thumb");
        }
        headless::ClickSliderChannel(slider, line.words[3] == "right");
    } else if (Is(line, {"close"})) {
        headless::CloseWindow(Need(line, screen::Panel(), "control panel"));
    } else if (Is(line, {"dismiss", "box"})) {
        if (!headless::DismissBox()) {
            Fail(&line, "there is no message box to dismiss");
        }
    } else {
        Fail(&line, "not a line of the scenario format");
    }
}

// Whenever the program would wait: check what is expected now, then give the next action.
class ScenarioInput : public headless::InputSource {
  public:
    bool ProvideInput() override {
        while (g_run->next < g_run->lines.size()) {
            const scenario::Line& line = g_run->lines[g_run->next++];
            if (!CheckExpectation(line)) {
                Act(line);
                return true;
            }
        }
        Fail(nullptr, "the scenario has ended while the program still runs");
    }
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if ((arg == "--keep" || arg == "--files") && i + 1 < argc) {
            (arg == "--keep" ? options->keep : options->files) = argv[++i];
        } else if (options->scenario.empty() && arg[0] != '-') {
            options->scenario = arg;
        } else {
            return false;
        }
    }
    if (options->files.empty()) {
        options->files = fs::path(options->scenario).parent_path() / "files";
    }
    // The program changes the current folder.
    options->files = fs::absolute(options->files);
    if (!options->keep.empty()) {
        options->keep = fs::absolute(options->keep);
    }
    return !options->scenario.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Run run;
    g_run = &run;
    if (!ParseOptions(argc, argv, &run.options)) {
        std::fprintf(stderr, "usage: %s FILE.scn [--files DIR] [--keep DIR]\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!scenario::ReadScenario(run.options.scenario, &run.lines, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::string root = (fs::temp_directory_path() / "scenario-XXXXXX").string();
    if (!mkdtemp(root.data())) {
        std::perror("mkdtemp");
        return 2;
    }
    run.root = run.programFolder = fs::canonical(root);

    while (run.next < run.lines.size() && !Is(run.lines[run.next], {"start"})) {
        SetUp(run.lines[run.next++]);
    }
    if (run.next == run.lines.size()) {
        Fail(nullptr, "the scenario never starts the program");
    }
    ++run.next;

    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    support::SetModulePathForTesting((run.programFolder / kProgramName).string());
    ScenarioInput input;
    headless::SetInputSource(&input);
    std::string commandLine;
    run.exitCode = WinMain(own::ProgramInstance(), nullptr, commandLine.data(), 1);
    run.ended = true;
    headless::SetInputSource(nullptr);

    for (; run.next < run.lines.size(); ++run.next) {
        const scenario::Line& line = run.lines[run.next];
        if (!CheckExpectation(line)) {
            Act(line);
        }
    }
    std::printf("%s: passed, exit code %d\n", run.options.scenario.c_str(), run.exitCode);
    CleanUp();
    return 0;
}
