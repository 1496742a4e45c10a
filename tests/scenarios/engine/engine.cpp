#include "tests/scenarios/engine/engine.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <tuple>

#include "profiles/settings_table.h"
#include "tests/support/test_support.h"

namespace scenario {

const Key kKeys[16] = {
    {"Left", 0x25, 0xFF51},   {"Right", 0x27, 0xFF53},    {"Up", 0x26, 0xFF52},
    {"Down", 0x28, 0xFF54},   {"Home", 0x24, 0xFF50},     {"End", 0x23, 0xFF57},
    {"PageUp", 0x21, 0xFF55}, {"PageDown", 0x22, 0xFF56}, {"Tab", 0x09, 0xFF09},
    {"Enter", 0x0D, 0xFF0D},  {"Escape", 0x1B, 0xFF1B},   {"Space", 0x20, 0x0020},
    {"F4", 0x73, 0xFFC1},     {"Shift", 0x10, 0xFFE1},    {"Ctrl", 0x11, 0xFFE3},
    {"Alt", 0x12, 0xFFE9}};

namespace {

bool SplitLine(const std::string& text, Line* line, std::string* error) {
    static const std::string kEscapes = "n\nr\rt\t\\\\\"\"", kBlank = " \t\r";
    for (std::size_t pos = 0; pos < text.size();) {
        if (kBlank.find(text[pos]) != std::string::npos && ++pos)
            continue;
        std::string word;
        bool quoted = text[pos] == '"';
        while (quoted ? ++pos < text.size() && text[pos] != '"'
                      : pos < text.size() && kBlank.find(text[pos]) == std::string::npos) {
            std::size_t escape = std::string::npos;
            if (quoted && text[pos] == '\\' &&
                (++pos == text.size() || (escape = kEscapes.find(text[pos])) % 2 != 0)) {
                *error = "unknown escape in a quoted text";
                return false;
            }
            word += escape != std::string::npos ? kEscapes[escape + 1] : text[pos];
            pos += quoted ? 0 : 1;
        }
        if (quoted && pos++ >= text.size()) {
            *error = "a quoted text is not closed";
            return false;
        }
        line->words.push_back(word);
        line->quoted.push_back(quoted);
    }
    return true;
}

bool Number(const Line& line, std::size_t i, int* value) {
    char* end = nullptr;
    *value = i < line.words.size() && !line.quoted[i]
                 ? static_cast<int>(std::strtol(line.words[i].c_str(), &end, 10))
                 : 0;
    return end && end != line.words[i].c_str() && !*end;
}

}  // namespace

Line Parsed(const std::string& text, int number) {
    Line line{number, {}, {}};
    std::string error;
    return SplitLine(text, &line, &error) ? line : Line{number, {}, {}};
}

bool ReadScenario(const std::string& path, std::vector<Line>* lines, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    for (int number = 1; in && std::getline(in, text); ++number) {
        Line line{number, {}, {}};
        if (!SplitLine(text, &line, error)) {
            *error = path + ":" + std::to_string(number) + ": " + *error;
            return false;
        }
        if (!line.words.empty() && (line.quoted[0] || line.words[0][0] != '#'))
            lines->push_back(line);
    }
    *error = in.eof() ? "" : "cannot read " + path;
    return in.eof();
}

std::string Describe(const Line& line) {
    std::string out;
    for (std::size_t i = 0; i < line.words.size(); ++i)
        out += (i ? " " : "") + (line.quoted[i] ? Quoted(line.words[i]) : line.words[i]);
    return out;
}

const Control* Screen::InGroup(const std::string& group, const char* className) const {
    return Find([&](const Control& c) { return c.className == className && GroupOf(c) == group; });
}

std::string Screen::GroupOf(const Control& c) const {
    const Control* group = Find([&c](const Control& box) {
        return box.buttonType == 7 && &box != &c && c.rect.left >= box.rect.left &&
               c.rect.right <= box.rect.right && c.rect.top >= box.rect.top &&
               c.rect.bottom <= box.rect.bottom;
    });
    return group ? group->text : "";
}

std::string Screen::CaptionOf(int id) const {
    const Control* c = Find([id](const Control& x) { return x.id == id; });
    return !c ? "" : c->className == kTrackbar ? GroupOf(*c) : c->text;
}

const Control* Screen::Button(const std::string& caption) const {
    return Find([&](const Control& c) {
        return c.className == "Button" && c.buttonType != 7 && c.text == caption;
    });
}

bool ChannelPoint(const Control& c, bool left, Point* at) {
    *at = {left ? (c.channel.left + c.thumb.left) / 2 : (c.thumb.right + c.channel.right) / 2,
           (c.thumb.top + c.thumb.bottom) / 2};
    return left ? at->x < c.thumb.left : at->x >= c.thumb.right;
}

// The probe's lines: "panel CLIENT CLOSEBOX", "control CLASS ID RECT TYPE CHECKED TEXT",
// "slider MIN MAX CHANNEL POS THUMB" (of the control before it), "tab RECT TEXT SELECTED",
// "box OK TITLE TEXT" and "focus CONTROL BOX ONOK" (places among the control and box lines, -1
// for none); a rectangle is four numbers, texts are quoted.
bool ParseScreenLine(const std::string& text, Screen* s) {
    Line line = Parsed(text);
    std::vector<int> n;
    std::vector<std::string> t;
    for (std::size_t i = 1; i < line.words.size(); ++i) {
        if (line.quoted[i])
            t.push_back(line.words[i]);
        else if (!Number(line, i, &n.emplace_back()))
            return false;
    }
    auto rect = [&n](std::size_t i) { return Rect{n[i], n[i + 1], n[i + 2], n[i + 3]}; };
    const std::string kind = line.words.empty() ? "" : line.words[0];
    if (kind == "panel" && n.size() == 8 && t.empty()) {
        *s = Screen{true, rect(0), rect(4), {}, {}, -1, {}};
    } else if (kind == "control" && n.size() == 7 && t.size() == 2) {
        s->controls.push_back(Control{t[0], t[1], n[0], rect(1), n[5], n[6] != 0});
    } else if (kind == "slider" && n.size() == 11 && t.empty() && !s->controls.empty()) {
        Control& c = s->controls.back();
        std::tie(c.min, c.max, c.pos, c.channel, c.thumb) =
            std::tuple(n[0], n[1], n[6], rect(2), rect(7));
    } else if (kind == "tab" && n.size() == 5 && t.size() == 1) {
        s->selectedTab = n[4] ? static_cast<int>(s->tabs.size()) : s->selectedTab;
        s->tabs.push_back(Tab{rect(0), t[0]});
    } else if (kind == "box" && n.size() == 4 && t.size() == 2) {
        s->boxes.push_back(Box{rect(0), t[0], t[1]});
    } else if (kind == "focus" && n.size() == 3 && t.empty()) {
        bool known = n[0] < static_cast<int>(s->controls.size());
        std::tie(s->focus, s->focusBox, s->focusOnOk) = std::tuple(known ? n[0] : -1, n[1], n[2]);
    } else {
        return false;
    }
    return true;
}

namespace {

constexpr auto kLagLimit = std::chrono::seconds(3);

// A rectangle relative to the panel's client area.
std::string Numbers(const Rect& r, const Screen& s) {
    return " " + std::to_string(r.left - s.client.left) + " " +
           std::to_string(r.top - s.client.top) + " " + std::to_string(r.right - s.client.left) +
           " " + std::to_string(r.bottom - s.client.top);
}

std::string ControlLine(const Control& c, const Screen& s) {
    return "control " + Quoted(c.className) + " " + std::to_string(c.id) + " " + Quoted(c.text) +
           Numbers(c.rect, s);
}

// Where the keyboard focus is, as a `focus` line of the scenario format names it.
std::string FocusSeen(const Line& line, const Screen& s) {
    const Control* c = s.Focused();
    if (!c) {
        bool none = line.words.size() == 2 && line.words[1] == "none" && !line.quoted[1];
        return none || s.focusBox < 0 ? "focus none"
               : s.focusBox > 0       ? "focus in a box beneath the top one"
               : s.focusOnOk          ? "focus box \"OK\""
                                      : "focus box";
    }
    std::string group = Quoted(s.GroupOf(*c));
    return c->className == "SysTabControl32" ? "focus tabs"
           : c->className == kTrackbar       ? "focus slider " + group
           : c->className == "Static"        ? "focus label " + group
           : c->buttonType == 7              ? "focus group " + Quoted(c->text)
                                             : "focus " + Quoted(c->text);
}

// What the screen shows of an expectation's subject, written as that expectation; empty when
// the line expects nothing of the screen.
std::string Seen(const Line& line, const Screen& s) {
    const std::string& verb = line.words[0];
    std::string subject = line.words.size() > 1 ? line.words[1] : "";
    const Box* box = s.boxes.empty() ? nullptr : &s.boxes[0];
    if (verb == "box" || (verb == "no" && subject == "box")) {
        return !box ? "no box"
               : box->title == "Error"
                   ? "box " + Quoted(box->text)
                   : "a box titled " + Quoted(box->title) + ": " + Quoted(box->text);
    } else if (std::string(" tab label slider thumb checked unchecked control focus default ")
                   .find(" " + verb + " ") == std::string::npos) {
        return "";
    } else if (!s.panel) {
        return "the panel is not on screen";
    } else if (verb == "focus") {
        return FocusSeen(line, s);
    } else if (verb == "default") {  // the push button that carries the default ring
        const Control* c =
            s.Find([](const Control& x) { return x.className == "Button" && x.buttonType == 1; });
        return c ? "default " + Quoted(c->text) : "default none";
    } else if (verb == "tab") {
        return "tab " + Quoted(s.selectedTab >= 0 ? s.tabs[s.selectedTab].text : "");
    } else if (verb == "control") {  // by its class, id and text
        const Control* c = s.Find([&](const Control& x) {
            return line.words.size() > 3 && x.className == subject &&
                   line.words[2] == std::to_string(x.id) && x.text == line.words[3];
        });
        return c ? ControlLine(*c, s) : "no such control";
    }
    const Control* c = verb == "label"                       ? s.InGroup(subject, "Static")
                       : verb == "slider" || verb == "thumb" ? s.InGroup(subject, kTrackbar)
                                                             : s.Button(subject);
    return !c                 ? "no such control"
           : verb == "label"  ? "label " + Quoted(subject) + " " + Quoted(c->text)
           : verb == "slider" ? "slider " + Quoted(subject) + " " + std::to_string(c->pos)
           : verb == "thumb"  ? "thumb " + Quoted(subject) + Numbers(c->thumb, s)
                              : (c->checked ? "checked " : "unchecked ") + Quoted(subject);
}

Point Centre(const Rect& r) {
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// What the screen is expected to show, the exit code or a file.
bool IsExpectation(const Line& line) {
    const std::string& verb = line.words[0];
    return verb == "exit" || !Seen(line, Screen{}).empty() ||
           (verb == "file" && line.words.size() > 2 && line.words[2] != "from");
}

// The line has these words, unquoted, where null takes any word.
bool Is(const Line& line, std::initializer_list<const char*> words) {
    for (std::size_t i = 0; const char* word : words) {
        if (i >= line.words.size() || (word && (line.quoted[i] || line.words[i] != word)))
            return false;
        ++i;
    }
    return line.words.size() == words.size();
}

// The keys of a combination such as "Ctrl+Shift+Tab", among the first of kKeys; none where a
// name is not one of them.
std::vector<const Key*> KeysOf(const std::string& combination, int among = 16) {
    std::vector<const Key*> keys;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = combination.find('+', start);
        std::string name = combination.substr(start, end - start);
        keys.push_back(
            std::find_if(kKeys, kKeys + among, [&](const Key& k) { return name == k.name; }));
        if (keys.back() == kKeys + among)
            return {};
    }
    return keys;
}

}  // namespace

Player::Player(Backend* backend, std::string name, std::vector<Line> lines, const fs::path& files,
               Driver* driver)
    : backend_(backend),
      name_(std::move(name)),
      lines_(std::move(lines)),
      files_(fs::absolute(files)),
      driver_(driver) {}

bool Player::Record(const fs::path& path) {
    record_.open(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(record_);
}

void Player::Write(const std::string& text) {
    if (record_.is_open())
        record_ << text << '\n' << std::flush;
}

bool Player::Fail(const Line* line, const std::string& what) {
    std::string where = line ? ":" + std::to_string(line->number) + ": " + Describe(*line) : "";
    failure_ = failure_.empty() ? name_ + where + (line ? "\n  " : ": ") + what : failure_;
    return false;
}

bool Player::SetUp(const fs::path& root) {
    folder_ = root;
    for (; next_ < lines_.size(); ++next_) {
        const Line& line = lines_[next_];
        int length = 0;
        Write(Describe(line));
        if (Is(line, {"start"})) {
            ++next_;
            return true;
        } else if (Is(line, {"program", "path", "length", nullptr}) && Number(line, 3, &length)) {
            int padding = length - backend_->ProgramPathLength((folder_ / "p").string()) + 1;
            if (padding < 1 || padding > 255)
                return Fail(&line, "a program path of that length cannot be made here");
            fs::create_directories(folder_ /= std::string(padding, 'p'));
        } else if (!Arrange(line)) {
            return Fail(&line, "not a set-up line");  // unless Arrange told why already
        }
    }
    return Fail(nullptr, "the scenario never starts the program");
}

// What a person does to the files: false for another line, and on a failure.
bool Player::Arrange(const Line& line) {
    std::error_code error;
    fs::path path = line.words.size() > 1 ? folder_ / line.words[1] : fs::path();
    char* end = nullptr;
    int user = 0;
    if (Is(line, {"folder", nullptr})) {
        fs::create_directories(path, error);
    } else if (Is(line, {"file", nullptr, "from", nullptr})) {
        fs::create_directories(path.parent_path(), error);
        fs::copy_file(files_ / line.words[3], path, fs::copy_options::overwrite_existing, error);
    } else if (Is(line, {"link", nullptr, "to", nullptr})) {
        fs::create_directories(path.parent_path(), error);
        fs::create_hard_link(folder_ / line.words[3], path, error);
    } else if (Is(line, {"remove", nullptr})) {
        fs::remove(path, error);
    } else if (Is(line, {"mode", nullptr, nullptr})) {
        auto mode = static_cast<fs::perms>(std::strtol(line.words[2].c_str(), &end, 8));
        fs::permissions(path, mode, error);
        return (!*end && !error) || Fail(&line, "cannot set that mode");
    } else if (Is(line, {"owner", nullptr, nullptr}) && Number(line, 2, &user)) {
        if (geteuid() == 0 && chown(path.c_str(), user, user) != 0)
            error = std::error_code(errno, std::generic_category());
    } else {
        return false;
    }
    return !error || Fail(&line, error.message());
}

bool Player::Read() {
    std::string error;
    screen_ = Screen{};
    fresh_ = backend_->Read(&screen_, &error);
    return fresh_ || Fail(nullptr, "cannot read the screen: " + error);
}

bool Player::Expect(const Line& line) {
    int number = 0;
    if (Is(line, {"exit", nullptr}) && Number(line, 1, &number)) {
        std::optional<int> code = backend_->Ended();
        return !code ? Fail(&line, "expected the program to have ended, but it still runs")
                     : *code == number || Fail(&line, "saw exit code " + std::to_string(*code));
    } else if (Is(line, {"file", nullptr, "missing"})) {
        return !fs::exists(folder_ / line.words[1]) || Fail(&line, "saw such a file");
    } else if (Is(line, {"file", nullptr, "equals", nullptr})) {
        std::optional<std::string> actual = support::ReadBytes(folder_ / line.words[1]);
        std::optional<std::string> expected = support::ReadBytes(files_ / line.words[3]);
        if (!actual || !expected)
            return Fail(&line, expected ? "saw no such file" : "cannot read the fixture file");
        std::size_t at = std::ranges::mismatch(*actual, *expected).in1 - actual->begin();
        return actual == expected ||
               Fail(&line, "the file differs from byte " + std::to_string(at) + ": saw " +
                               Quoted(actual->substr(at, 40)) + ", expected " +
                               Quoted(expected->substr(at, 40)));
    }
    for (auto start = std::chrono::steady_clock::now();;) {
        if (!fresh_ && !Read())
            return false;
        std::string seen = Seen(line, screen_);
        if (seen.empty())
            return Fail(&line, "not a line of the scenario format");
        else if (seen == Describe(line))
            return true;
        fresh_ = false;
        if (!backend_->Lags() || std::chrono::steady_clock::now() - start > kLagLimit)
            return Fail(&line, "saw: " + seen);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool Player::Click(int box, Point at, const Point* to, int hold) {
    backend_->Uncover(box, at);
    backend_->MouseMove(at);
    backend_->MouseButton(true);
    if (hold)
        backend_->Wait(hold);
    if (to) {  // by way of the midpoint
        backend_->MouseMove(Point{(at.x + to->x) / 2, at.y});
        backend_->MouseMove(*to);
    }
    backend_->MouseButton(false);
    return true;
}

bool Player::Press(const std::vector<const Key*>& keys) {
    for (const Key* key : keys)
        backend_->Key(*key, true);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        backend_->Key(**key, false);
    return !keys.empty();
}

bool Player::Act(const Line& line) {
    if (Arrange(line) || !failure_.empty())
        return failure_.empty();
    int target = 0;
    if ((!fresh_ && !Read()) || (!screen_.panel && backend_->Ended()))
        return Fail(&line, "the program has already ended");
    fresh_ = false;
    const Screen& s = screen_;
    const Control* c = line.words.size() > 2 ? s.InGroup(line.words[2], kTrackbar) : nullptr;
    const Control* button = line.words.size() > 1 ? s.Button(line.words[1]) : nullptr;
    auto tab = std::ranges::find(s.tabs, line.words.back(), &Tab::text);
    if (Is(line, {"select", "tab", nullptr}) && tab != s.tabs.end()) {
        return Click(-1, Centre(tab->rect));
    } else if ((Is(line, {"press", nullptr}) || Is(line, {"toggle", nullptr})) && button) {
        return Click(-1, Centre(button->rect));
    } else if (Is(line, {"close"})) {
        return Click(-1, Centre(s.closeBox));
    } else if (Is(line, {"dismiss", "box"}) && !s.boxes.empty()) {
        return Click(0, Centre(s.boxes[0].ok));
    } else if (Is(line, {"key", nullptr})) {
        return Press(KeysOf(line.words[1])) || Fail(&line, "no such key");
    } else if (c) {
        Point thumb = Centre(c->thumb), at;
        bool left = line.words.size() > 3 && line.words[3] == "left";
        bool side = left || (line.words.size() > 3 && line.words[3] == "right");
        if (Is(line, {"key", "slider", nullptr, nullptr})) {
            std::vector<const Key*> keys = KeysOf(line.words[3], kSliderKeys);
            return keys.size() == 1 ? Click(-1, thumb) && Press(keys) : Fail(&line, "no such key");
        } else if (Is(line, {"drag", "slider", nullptr, "to", nullptr}) &&
                   Number(line, 4, &target) && target >= c->min && target <= c->max) {
            // The thumb's centre travels the channel less one thumb width, evenly over the range.
            int half = (c->thumb.right - c->thumb.left) / 2;
            int travel = c->channel.right - c->channel.left - 2 * half - 1;
            int range = c->max > c->min ? c->max - c->min : 1;
            Point to{
                c->channel.left + half + (2 * travel * (target - c->min) + range) / (2 * range),
                thumb.y};
            return Click(-1, thumb, &to);
        } else if (Is(line, {"click", "slider", nullptr, nullptr}) && side) {
            return ChannelPoint(*c, left, &at)
                       ? Click(-1, at)
                       : Fail(&line, "no room in the channel " + line.words[3] + " of the thumb");
        } else if (Is(line, {"hold", "slider", nullptr, nullptr, nullptr}) && side &&
                   Number(line, 4, &target) && target > 0 && target <= 60000) {
            // A press at that end of the channel, held, then let go there.
            at = {left ? c->channel.left : c->channel.right - 1, thumb.y};
            return (left ? at.x < c->thumb.left : at.x >= c->thumb.right)
                       ? Click(-1, at, nullptr, target)
                       : Fail(&line, "the thumb stands at the " + line.words[3] + " end already");
        }
    }
    return Fail(&line, "not an action on what the screen shows");
}

bool Player::Step() {
    while (failure_.empty()) {
        std::string text;
        if (next_ == lines_.size()) {
            if (!driver_ || !Read() || !driver_->NextLine(screen_, &text))
                return false;
            lines_.push_back(Parsed(text, static_cast<int>(lines_.size()) + 1));
            if (lines_.back().words.empty())
                return Fail(nullptr, "the driver gave a broken line: " + text);
        }
        const Line line = lines_[next_++];
        if (IsExpectation(line)) {
            Write(Describe(line));
            if (!Expect(line))
                return false;
            continue;
        }
        if (driver_ || record_.is_open()) {
            std::string broken = Read() && driver_ ? driver_->Check(screen_) : "";
            if (!broken.empty())
                return Fail(&line, "before this action: " + broken);
            if (screen_.panel)
                WriteReadings();
        }
        Write(Describe(line));
        return Act(line) && ++actions_;
    }
    return false;
}

// What the screen shows before an action: the tab, each setting's controls and the box on top,
// and the controls' and the thumbs' rectangles where they are new.
void Player::WriteReadings() {
    for (std::size_t i = 0; thumbsWritten_.empty() && i < screen_.controls.size(); ++i)
        Write(ControlLine(screen_.controls[i], screen_));
    Write(Seen(Parsed("tab"), screen_));
    for (const Setting& setting : kSettings) {  // the sliders' rows come first
        std::string caption = " " + Quoted(screen_.CaptionOf(setting.controlId));
        if (setting.switchField) {
            Write(Seen(Parsed("checked" + caption), screen_));
            continue;
        }
        Write(Seen(Parsed("label" + caption), screen_));
        Write(Seen(Parsed("slider" + caption), screen_));
        std::string thumb = Seen(Parsed("thumb" + caption), screen_);
        if (thumb != thumbsWritten_[setting.controlId])
            Write(thumbsWritten_[setting.controlId] = thumb);
    }
    for (const char* verb : {"box", "focus", "default"})
        Write(Seen(Parsed(verb), screen_));
}

bool Player::Finish() {
    std::optional<int> code;
    auto isExit = [](const Line& line) { return line.words[0] == "exit"; };
    if (std::none_of(lines_.begin() + static_cast<long>(next_), lines_.end(), isExit) &&
        (code = backend_->Ended()))
        Write("exit " + std::to_string(*code));
    fresh_ = false;
    for (; next_ < lines_.size() && failure_.empty(); ++next_) {
        Write(Describe(lines_[next_]));
        if (!IsExpectation(lines_[next_]))
            return Fail(&lines_[next_], "the program has already ended");
        Expect(lines_[next_]);
    }
    return failure_.empty();
}

}  // namespace scenario
