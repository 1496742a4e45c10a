#include "tests/scenarios/engine/player.h"

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace scenario {

const char* const kGroups[4] = {"Dancing", "Attack Delay", "Tech Speed", "Teching Handicap"};
const char* const kCheckBoxes[6] = {
    "Early Harassing",   "Alternative Strategies", "Dynamic Production Buildings",
    "Build Relic Units", "Build Turrets",          "Build Mines"};
const char* const kKeys[8] = {"Left", "Right", "Up", "Down", "Home", "End", "PageUp", "PageDown"};

namespace fs = std::filesystem;

namespace {

constexpr const char* kProgramName = "AIControlPanel";
constexpr auto kLagLimit = std::chrono::seconds(3);

std::string Quoted(const std::string& text) {
    Line line{0, {text}, {true}};
    return Describe(line);
}

std::string Numbers(const Rect& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
}

Rect Relative(const Rect& r, const Screen& screen) {
    return Rect{r.left - screen.client.left, r.top - screen.client.top,
                r.right - screen.client.left, r.bottom - screen.client.top};
}

std::string ReadBytes(const fs::path& path, bool* ok) {
    std::ifstream in(path, std::ios::binary);
    *ok = static_cast<bool>(in) && fs::is_regular_file(path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The line has these words; a null word stands for any word or quoted text.
bool Is(const Line& line, std::initializer_list<const char*> words) {
    if (line.words.size() != words.size()) {
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

bool Number(const Line& line, std::size_t i, int* value) {
    if (i >= line.words.size() || line.quoted[i] || line.words[i].empty()) {
        return false;
    }
    char* end = nullptr;
    *value = static_cast<int>(std::strtol(line.words[i].c_str(), &end, 10));
    return !*end;
}

bool Numbers(const Line& line, std::size_t from, Rect* r) {
    return Number(line, from, &r->left) && Number(line, from + 1, &r->top) &&
           Number(line, from + 2, &r->right) && Number(line, from + 3, &r->bottom);
}

bool SameClass(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool IsExpectation(const Line& line) {
    const std::string& verb = line.words[0];
    if (verb == "file") {
        return line.words.size() >= 3 && !line.quoted[2] && line.words[2] != "from";
    }
    return verb == "box" || Is(line, {"no", "box"}) || verb == "label" || verb == "slider" ||
           verb == "checked" || verb == "unchecked" || verb == "tab" || verb == "exit" ||
           verb == "differs" || verb == "control" || verb == "thumb";
}

}  // namespace

Player::Player(Backend* backend, std::string name, std::vector<Line> lines, fs::path files)
    : backend_(backend), name_(std::move(name)), lines_(std::move(lines)),
      files_(fs::absolute(files)) {}

bool Player::Record(const fs::path& path) {
    record_.open(path, std::ios::binary | std::ios::trunc);
    recording_ = static_cast<bool>(record_);
    return recording_;
}

void Player::Write(const std::string& text) {
    if (recording_) {
        record_ << text << '\n';
        record_.flush();
    }
}

bool Player::Fail(const Line* line, const std::string& what) {
    if (!failed_) {
        failed_ = true;
        failure_ = line ? name_ + ":" + std::to_string(line->number) + ": " + Describe(*line) +
                              "\n  " + what
                        : name_ + ": " + what;
    }
    return false;
}

// ---- Set-up

bool Player::SetUpLine(const Line& line) {
    if (Is(line, {"folder", nullptr})) {
        fs::create_directories(InFolder(line.words[1]));
    } else if (Is(line, {"file", nullptr, "from", nullptr})) {
        return FileAction(line);
    } else if (Is(line, {"program", "path", "length", nullptr})) {
        int length = 0;
        Number(line, 3, &length);
        int padding = length - backend_->ProgramPathLength((folder_ / "x").string()) + 1;
        if (padding < 1 || padding > 255) {
            return Fail(&line, "a program path of that length cannot be made here");
        }
        folder_ /= std::string(padding, 'p');
        fs::create_directories(folder_);
    } else if (Is(line, {"differs", nullptr})) {
        differs_ = line.words[1];
    } else {
        return Fail(&line, "not a set-up line");
    }
    return true;
}

bool Player::SetUp(const fs::path& root) {
    folder_ = root;
    for (; next_ < lines_.size(); ++next_) {
        const Line& line = lines_[next_];
        Write(Describe(line));
        if (Is(line, {"start"})) {
            ++next_;
            return true;
        }
        if (!SetUpLine(line)) {
            return false;
        }
    }
    return Fail(nullptr, "the scenario never starts the program");
}

// ---- Expectations

bool Player::Read(Screen* screen) {
    std::string error;
    *screen = Screen{};
    if (!backend_->Read(screen, &error)) {
        return Fail(next_ < lines_.size() ? &lines_[next_] : nullptr,
                    "cannot read the screen: " + error);
    }
    return true;
}

std::string Player::Check(const Line& line, const Screen& screen, bool* known) {
    *known = true;
    const std::string& verb = line.words[0];
    bool wantsPanel = verb == "label" || verb == "slider" || verb == "checked" ||
                      verb == "unchecked" || verb == "tab" || verb == "control" || verb == "thumb";
    if (wantsPanel && !screen.panel) {
        return "the panel is not on screen";
    }
    if (Is(line, {"box", nullptr})) {
        if (screen.boxes.empty()) {
            return "no box is open";
        }
        const Box& top = screen.boxes.front();
        return top.title == "Error" && top.text == line.words[1]
                   ? ""
                   : "a box titled " + Quoted(top.title) + " saying " + Quoted(top.text);
    }
    if (Is(line, {"no", "box"})) {
        return screen.boxes.empty() ? "" : "a box saying " + Quoted(screen.boxes.front().text);
    }
    if (Is(line, {"label", nullptr, nullptr})) {
        const Control* label = screen.ValueLabel(line.words[1]);
        if (!label) {
            return "no such value label";
        }
        return label->text == line.words[2] ? "" : Quoted(label->text);
    }
    int number = 0;
    if (Is(line, {"slider", nullptr, nullptr}) && Number(line, 2, &number)) {
        const Control* slider = screen.Slider(line.words[1]);
        if (!slider || !slider->slider) {
            return "no such slider";
        }
        return slider->pos == number ? "" : "position " + std::to_string(slider->pos);
    }
    if (Is(line, {"checked", nullptr}) || Is(line, {"unchecked", nullptr})) {
        const Control* box = screen.Button(line.words[1]);
        if (!box) {
            return "no such check box";
        }
        return box->checked == (verb == "checked") ? "" : box->checked ? "checked" : "unchecked";
    }
    if (Is(line, {"tab", nullptr})) {
        std::string selected = screen.SelectedTab();
        return selected == line.words[1] ? ""
               : selected.empty()        ? "no tab selected"
                                         : "tab " + Quoted(selected);
    }
    Rect want;
    if (Is(line, {"control", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}) &&
        Number(line, 2, &number) && Numbers(line, 4, &want)) {
        const Control* seen = nullptr;
        for (const Control& c : screen.controls) {
            if (SameClass(c.className, line.words[1]) && c.id == number &&
                c.text == line.words[3]) {
                if (Relative(c.rect, screen) == want) {
                    return "";
                }
                seen = seen ? seen : &c;
            }
        }
        return seen ? "the rectangle " + Numbers(Relative(seen->rect, screen))
                    : "no such control";
    }
    if (Is(line, {"thumb", nullptr, nullptr, nullptr, nullptr, nullptr}) &&
        Numbers(line, 2, &want)) {
        const Control* slider = screen.Slider(line.words[1]);
        if (!slider || !slider->slider) {
            return "no such slider";
        }
        Rect seen = Relative(slider->thumb, screen);
        return seen == want ? "" : "the thumb at " + Numbers(seen);
    }
    if (Is(line, {"differs", nullptr})) {
        differs_ = line.words[1];
        return "";
    }
    *known = false;
    return "";
}

bool Player::Expect(const Line& line) {
    int number = 0;
    if (Is(line, {"exit", nullptr}) && Number(line, 1, &number)) {
        int code = 0;
        if (!backend_->Ended(&code)) {
            return Fail(&line, "expected the program to have ended, but it still runs");
        }
        return code == number ||
               Fail(&line, "expected exit code " + line.words[1] + ", saw " + std::to_string(code));
    }
    if (Is(line, {"file", nullptr, "missing"})) {
        return !fs::exists(InFolder(line.words[1])) ||
               Fail(&line, "expected no such file, but there is one");
    }
    if (Is(line, {"file", nullptr, "equals", nullptr})) {
        bool present = false;
        bool fixture = false;
        std::string actual = ReadBytes(InFolder(line.words[1]), &present);
        std::string expected = ReadBytes(files_ / line.words[3], &fixture);
        if (!fixture) {
            return Fail(&line, "cannot read the fixture file");
        }
        if (!present) {
            return Fail(&line, "expected the file, but there is none");
        }
        if (actual != expected) {
            std::size_t at = 0;
            while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
                ++at;
            }
            return Fail(&line, "the file differs from byte " + std::to_string(at) + " on (" +
                                   std::to_string(actual.size()) + " bytes, expected " +
                                   std::to_string(expected.size()) + "): saw " +
                                   Quoted(actual.substr(at, 40)) + ", expected " +
                                   Quoted(expected.substr(at, 40)));
        }
        return true;
    }
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (!cachedValid_ && !Read(&cached_)) {
            return false;
        }
        cachedValid_ = true;
        bool known = false;
        std::string seen = Check(line, cached_, &known);
        if (!known) {
            return Fail(&line, "not a line of the scenario format");
        }
        if (seen.empty()) {
            return true;
        }
        cachedValid_ = false;
        if (!backend_->Lags() || std::chrono::steady_clock::now() - start > kLagLimit) {
            return Fail(&line, "saw " + seen);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Player::WriteReadings(const Screen& screen) {
    if (!screen.panel) {
        return;
    }
    if (!controlsRecorded_) {
        controlsRecorded_ = true;
        for (const Control& c : screen.controls) {
            Write("control " + Quoted(c.className) + " " + std::to_string(c.id) + " " +
                  Quoted(c.text) + " " + Numbers(Relative(c.rect, screen)));
        }
    }
    Write("tab " + Quoted(screen.SelectedTab()));
    for (const char* group : kGroups) {
        const Control* label = screen.ValueLabel(group);
        const Control* slider = screen.Slider(group);
        if (label) {
            Write("label " + Quoted(group) + " " + Quoted(label->text));
        }
        if (slider && slider->slider) {
            Write("slider " + Quoted(group) + " " + std::to_string(slider->pos));
            Rect thumb = Relative(slider->thumb, screen);
            bool known = false;
            for (auto& [name, rect] : thumbsRecorded_) {
                if (name == group) {
                    known = rect == thumb;
                    rect = thumb;
                    break;
                }
            }
            if (!known) {
                thumbsRecorded_.emplace_back(group, thumb);
                Write("thumb " + Quoted(group) + " " + Numbers(thumb));
            }
        }
    }
    for (const char* caption : kCheckBoxes) {
        if (const Control* box = screen.Button(caption)) {
            Write((box->checked ? "checked " : "unchecked ") + Quoted(caption));
        }
    }
    Write(screen.boxes.empty() ? "no box" : "box " + Quoted(screen.boxes.front().text));
}

// ---- Actions

bool Player::Click(const Screen& screen, int box, Point point) {
    backend_->Uncover(screen, box, point);
    backend_->MouseMove(point);
    backend_->MouseDown(point);
    backend_->MouseUp(point);
    return true;
}

bool Player::FileAction(const Line& line) {
    std::error_code error;
    if (Is(line, {"remove", nullptr})) {
        fs::remove(InFolder(line.words[1]), error);
    } else {
        fs::path target = InFolder(line.words[1]);
        fs::create_directories(target.parent_path(), error);
        fs::copy_file(files_ / line.words[3], target, fs::copy_options::overwrite_existing, error);
    }
    return !error || Fail(&line, "cannot change the file: " + error.message());
}

bool Player::Act(const Line& line) {
    int ended = 0;
    if (!cachedValid_ && !Read(&cached_)) {
        return false;
    }
    cachedValid_ = false;
    const Screen& screen = cached_;
    if (Is(line, {"file", nullptr, "from", nullptr}) || Is(line, {"remove", nullptr})) {
        return FileAction(line);
    }
    if (!screen.panel) {
        return Fail(&line, backend_->Ended(&ended) ? "the program has already ended"
                                                   : "the panel is not on screen");
    }
    if (Is(line, {"select", "tab", nullptr})) {
        for (std::size_t i = 0; i < screen.tabs.size(); ++i) {
            if (screen.tabs[i] == line.words[2]) {
                return Click(screen, -1, Centre(screen.tabRects[i]));
            }
        }
        return Fail(&line, "there is no such tab");
    }
    if (Is(line, {"press", nullptr}) || Is(line, {"toggle", nullptr})) {
        const Control* button = screen.Button(line.words[1]);
        return button ? Click(screen, -1, Centre(button->rect))
                      : Fail(&line, "there is no such button");
    }
    if (Is(line, {"close"})) {
        return Click(screen, -1, Centre(screen.closeBox));
    }
    if (Is(line, {"dismiss", "box"})) {
        return screen.boxes.empty() ? Fail(&line, "there is no message box to dismiss")
                                    : Click(screen, 0, Centre(screen.boxes.front().ok));
    }
    if (line.words.size() < 3 || line.words[1] != "slider") {
        return Fail(&line, "not a line of the scenario format");
    }
    const Control* slider = screen.Slider(line.words[2]);
    if (!slider || !slider->slider) {
        return Fail(&line, "there is no such slider");
    }
    Point thumb = Centre(slider->thumb);
    int target = 0;
    if (Is(line, {"key", "slider", nullptr, nullptr})) {
        Click(screen, -1, thumb);
        return backend_->Key(line.words[3]) || Fail(&line, "unknown key " + line.words[3]);
    }
    if (Is(line, {"drag", "slider", nullptr, "to", nullptr}) && Number(line, 4, &target)) {
        if (target < slider->min || target > slider->max) {
            return Fail(&line, "the slider has no tick at that position");
        }
        // The thumb's centre travels the channel less one thumb width, evenly over the range.
        int half = (slider->thumb.right - slider->thumb.left) / 2;
        int travel = slider->channel.right - slider->channel.left - 2 * half - 1;
        int range = slider->max > slider->min ? slider->max - slider->min : 1;
        int offset = (2 * travel * (target - slider->min) + range) / (2 * range);
        Point to{slider->channel.left + half + offset, thumb.y};
        backend_->Uncover(screen, -1, thumb);
        backend_->MouseMove(thumb);
        backend_->MouseDown(thumb);
        backend_->MouseMove(Point{(thumb.x + to.x) / 2, thumb.y});
        backend_->MouseMove(to);
        backend_->MouseUp(to);
        return true;
    }
    if (Is(line, {"click", "slider", nullptr, "left"}) ||
        Is(line, {"click", "slider", nullptr, "right"})) {
        bool left = line.words[3] == "left";
        int x = left ? (slider->channel.left + slider->thumb.left) / 2
                     : (slider->thumb.right + slider->channel.right) / 2;
        if (left ? x >= slider->thumb.left : x < slider->thumb.right) {
            return Fail(&line, "no room in the channel " + line.words[3] + " of the thumb");
        }
        return Click(screen, -1, Point{x, thumb.y});
    }
    return Fail(&line, "not a line of the scenario format");
}

bool Player::Step() {
    for (;;) {
        if (failed_) {
            return false;
        }
        if (next_ >= lines_.size()) {
            if (!driver_) {
                return false;
            }
            Screen screen;
            if (!Read(&screen)) {
                return false;
            }
            std::string text;
            if (!driver_->NextLine(screen, &text)) {
                return false;
            }
            Line line{static_cast<int>(lines_.size()) + 1, {}, {}};
            std::string error;
            if (!SplitLine(text, &line, &error) || line.words.empty()) {
                return Fail(nullptr, "the driver gave a broken line: " + text);
            }
            lines_.push_back(line);
        }
        Line line = lines_[next_];
        if (IsExpectation(line)) {
            Write(Describe(line));
            ++next_;
            if (!Expect(line)) {
                return false;
            }
            continue;
        }
        if (recording_ || driver_) {
            if (!Read(&cached_)) {
                return false;
            }
            cachedValid_ = true;
            if (driver_) {
                std::string broken = driver_->Check(cached_);
                if (!broken.empty()) {
                    return Fail(&line, "before this action: " + broken);
                }
            }
            WriteReadings(cached_);
        }
        Write(Describe(line));
        ++next_;
        if (!Act(line)) {
            return false;
        }
        ++actions_;
        backend_->Settle();
        return true;
    }
}

bool Player::Finish() {
    int code = 0;
    if (backend_->Ended(&code)) {
        bool exitLine = false;
        for (std::size_t i = next_; i < lines_.size(); ++i) {
            exitLine = exitLine || lines_[i].words[0] == "exit";
        }
        if (!exitLine) {
            Write("exit " + std::to_string(code));
        }
    }
    cachedValid_ = false;
    for (; next_ < lines_.size() && !failed_; ++next_) {
        const Line& line = lines_[next_];
        Write(Describe(line));
        if (!IsExpectation(line)) {
            return Fail(&line, "the program has already ended");
        }
        if (!Expect(line)) {
            return false;
        }
    }
    return !failed_;
}

}  // namespace scenario
