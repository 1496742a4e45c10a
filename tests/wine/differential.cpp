// The differential check: each scenario is played first by the Linux scenario player, which
// records what the screen shows before every action, and then, from that record, against the
// Windows program under Wine, with X pointer and key events at the points that the probe reads
// off the real dialog. Wine must see the same after every action and leave the same files and
// exit code.
//
//   differential --player PATH --loader PATH --exe PATH --probe PATH --work DIR
//                (--seed S --count K --actions N | --scenarios DIR)
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "tests/scenarios/engine/player.h"

namespace fs = std::filesystem;
using scenario::Point;

namespace {

constexpr const char* kProgramFile = "AIControlPanel.exe";

// Starts a program with its standard input and output on pipes (or both on /dev/null).
pid_t Spawn(const std::vector<std::string>& args, const fs::path& folder, int* in, int* out) {
    int toChild[2] = {-1, -1}, fromChild[2] = {-1, -1};
    if (in && (pipe(toChild) != 0 || pipe(fromChild) != 0)) {
        return -1;
    }
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(in ? toChild[0] : null, 0);
        dup2(in ? fromChild[1] : null, 1);
        dup2(null, 2);
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            _exit(127);
        }
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (in) {
        close(toChild[0]);
        close(fromChild[1]);
        *in = toChild[1];
        *out = fromChild[0];
    }
    return pid;
}

// The probe under Wine, asked over pipes for the whole run.
class Probe {
  public:
    bool Start(const std::string& loader, const std::string& probe) {
        pid_ = Spawn({loader, probe}, {}, &in_, &out_);
        return pid_ > 0;
    }
    ~Probe() {
        if (pid_ > 0) {
            close(in_);
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    // The answer's lines, up to its "end"; false when the probe does not answer in time.
    bool Ask(const std::string& command, std::vector<std::string>* lines) {
        std::string request = command + "\n";
        if (write(in_, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
            return false;
        }
        lines->clear();
        for (;;) {
            std::size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                if (line == "end") {
                    return true;
                }
                lines->push_back(line);
                continue;
            }
            pollfd ready{out_, POLLIN, 0};
            char chunk[4096];
            ssize_t got = poll(&ready, 1, 30000) == 1 ? read(out_, chunk, sizeof chunk) : -1;
            if (got <= 0) {
                return false;
            }
            buffer_.append(chunk, static_cast<std::size_t>(got));
        }
    }

  private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
    std::string buffer_;
};

class WineBackend : public scenario::Backend {
  public:
    WineBackend(Display* display, Probe* probe, std::string loader, fs::path exe)
        : display_(display), probe_(probe), loader_(std::move(loader)), exe_(std::move(exe)) {}
    ~WineBackend() override { Stop(); }

    const char* Name() const override { return "Wine"; }
    // Wine shows the program as Z:\path\to\AIControlPanel.exe.
    int ProgramPathLength(const std::string& folder) const override {
        return static_cast<int>(2 + folder.size() + 1 + std::strlen(kProgramFile));
    }
    bool Lags() const override { return true; }

    bool Launch(const fs::path& folder, std::string* error) {
        std::error_code failed;
        fs::copy_file(exe_, folder / kProgramFile, fs::copy_options::overwrite_existing, failed);
        pid_ = failed ? -1 : Spawn({loader_, std::string("./") + kProgramFile}, folder, {}, {});
        folder_ = folder;
        std::vector<std::string> answer;
        for (int i = 0; pid_ > 0 && i < 40; ++i) {
            int code = 0;
            if (!probe_->Ask("wait 500", &answer) || answer.empty() || Ended(&code, false) ||
                answer[0] == "shown") {
                return true;
            }
        }
        *error = "the dialog did not show within 20 s";
        return false;
    }
    void Stop() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
        if (!folder_.empty()) {
            std::error_code ignored;
            fs::remove(folder_ / kProgramFile, ignored);
        }
    }

    bool Ended(int* exitCode) override { return Ended(exitCode, true); }
    bool Ended(int* exitCode, bool wait) {
        for (int i = 0; !ended_ && pid_ > 0; ++i) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            } else if (!wait || i == 1000) {
                break;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        *exitCode = exitCode_;
        return ended_;
    }

    bool Read(scenario::Screen* screen, std::string* error) override {
        std::vector<std::string> lines;
        if (!probe_->Ask("screen", &lines)) {
            *error = "the probe does not answer";
            return false;
        }
        for (const std::string& line : lines) {
            if (!scenario::ParseScreenLine(line, screen)) {
                *error = "the probe says: " + line;
                return false;
            }
        }
        return true;
    }

    // The panel and the boxes have no owner: whichever is clicked is raised first where
    // another lies over the point, as a person does through the task bar.
    void Uncover(const scenario::Screen&, int box, Point point) override {
        std::vector<std::string> ignored;
        probe_->Ask("raise " + std::to_string(box) + " " + std::to_string(point.x) + " " +
                        std::to_string(point.y),
                    &ignored);
    }
    void MouseMove(Point p) override {
        XTestFakeMotionEvent(display_, -1, p.x, p.y, CurrentTime);
        ++events_;
    }
    void MouseDown(Point) override {
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        ++events_;
    }
    void MouseUp(Point) override {
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        ++events_;
    }
    bool Key(const std::string& name) override {
        static const std::map<std::string, KeySym> keys = {
            {"Left", XK_Left}, {"Right", XK_Right}, {"Up", XK_Up},        {"Down", XK_Down},
            {"Home", XK_Home}, {"End", XK_End},     {"PageUp", XK_Prior}, {"PageDown", XK_Next}};
        auto key = keys.find(name);
        if (key == keys.end()) {
            return false;
        }
        KeyCode code = XKeysymToKeycode(display_, key->second);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        events_ += 2;
        return true;
    }
    // X has delivered the events once XSync returns; the probe's round trips then let the
    // panel's thread take them.
    void Settle() override {
        XSync(display_, False);
        std::vector<std::string> ignored;
        probe_->Ask("sync " + std::to_string(events_ + 1), &ignored);
        events_ = 0;
    }

  private:
    Display* display_;
    Probe* probe_;
    std::string loader_;
    fs::path exe_;
    fs::path folder_;
    pid_t pid_ = -1;
    bool ended_ = false;
    int exitCode_ = 0;
    int events_ = 0;
};

struct Options {
    std::string player, loader, exe, probe;
    fs::path work, scenarios;
    long seed = -1;
    int count = 0, actions = 0;
};

// Every file under a folder with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::ostringstream bytes;
        if (it->is_regular_file()) {
            bytes << std::ifstream(it->path(), std::ios::binary).rdbuf();
        }
        files[fs::relative(it->path(), folder).string() + (it->is_directory() ? "/" : "")] =
            bytes.str();
    }
    return files;
}

std::string CompareFolders(const fs::path& linuxFolder, const fs::path& wineFolder) {
    std::map<std::string, std::string> a = Files(linuxFolder), b = Files(wineFolder);
    std::string problems;
    for (const auto& [name, bytes] : a) {
        auto other = b.find(name);
        problems += other == b.end()        ? "  only on Linux: " + name + "\n"
                    : other->second != bytes ? "  " + name + " differs\n"
                                             : "";
    }
    for (const auto& [name, bytes] : b) {
        problems += a.count(name) ? "" : "  only under Wine: " + name + "\n";
    }
    return problems;
}

class Differential {
  public:
    Differential(const Options& options, Display* display, Probe* probe)
        : o_(options), display_(display), probe_(probe) {}

    // Plays one scenario on both sides; true when they agree.
    bool Play(const std::string& name, std::vector<std::string> linuxArgs, const fs::path& files,
              const std::string& replayName) {
        fs::path run = o_.work / "runs" / replayName;
        std::error_code ignored;
        fs::remove_all(run, ignored);
        fs::create_directories(run / "wine");
        fs::path record = run / (replayName + ".scn");
        linuxArgs.insert(linuxArgs.begin(), o_.player);
        for (const char* arg : {"--record", "--keep", "--files"}) {
            linuxArgs.push_back(arg);
            linuxArgs.push_back(std::string(arg) == "--record" ? record.string()
                                : std::string(arg) == "--keep" ? (run / "linux").string()
                                                               : files.string());
        }
        pid_t pid = Spawn(linuxArgs, {}, {}, {});
        int status = 1;
        waitpid(pid, &status, 0);
        if (status != 0) {
            std::printf("FAIL %s: the Linux run fails (%s)\n", name.c_str(),
                        Join(linuxArgs).c_str());
            return false;
        }
        std::vector<scenario::Line> lines;
        std::string error;
        scenario::ReadScenario(record.string(), &lines, &error);
        auto started = std::chrono::steady_clock::now();
        WineBackend wine(display_, probe_, o_.loader, o_.exe);
        scenario::Player player(&wine, record.string(), lines, files);
        bool played = player.SetUp(run / "wine") && wine.Launch(player.folder(), &error);
        while (played && player.Step()) {
        }
        played = played && !player.failed() && player.Finish();
        wine.Stop();
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        actions_ += player.actions();
        wineSeconds_ += seconds;
        std::string problems = played ? CompareFolders(run / "linux", player.folder()) : "";
        if (played && problems.empty()) {
            std::printf("PASS %s: %d actions, %.1f s under Wine\n", name.c_str(),
                        player.actions(), seconds);
            fs::remove_all(run, ignored);
            return true;
        }
        fs::path replay = o_.work / "failures" / replayName;
        fs::remove_all(replay, ignored);
        fs::create_directories(replay);
        fs::copy(files, replay / "files", fs::copy_options::recursive, ignored);
        fs::copy_file(record, replay / record.filename(), ignored);
        std::printf("FAIL %s, step %d (after %d actions):\n  %s\n%s", name.c_str(),
                    player.actions(), player.actions(),
                    played ? "the runs leave different files or exit codes"
                           : (player.failure().empty() ? error : player.failure()).c_str(),
                    problems.c_str());
        std::printf("  Linux's readings are the scenario's expectations; replay with\n"
                    "  scripts/differential.sh --scenarios %s\n",
                    replay.c_str());
        return false;
    }

    void Summary() const {
        if (actions_ > 0) {
            std::printf("differential: %d actions under Wine in %.1f s, %.0f ms per action\n",
                        actions_, wineSeconds_, 1000 * wineSeconds_ / actions_);
        }
    }

  private:
    static std::string Join(const std::vector<std::string>& args) {
        std::string out;
        for (const std::string& arg : args) {
            out += (out.empty() ? "" : " ") + arg;
        }
        return out;
    }
    const Options& o_;
    Display* display_;
    Probe* probe_;
    int actions_ = 0;
    double wineSeconds_ = 0;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i], value = argv[i + 1];
        if (arg == "--player" || arg == "--loader" || arg == "--exe" || arg == "--probe") {
            (arg == "--player" ? o->player
             : arg == "--loader" ? o->loader
             : arg == "--exe"    ? o->exe
                                 : o->probe) = value;
        } else if (arg == "--work" || arg == "--scenarios") {
            (arg == "--work" ? o->work : o->scenarios) = fs::absolute(value);
        } else if (arg == "--seed") {
            o->seed = std::atol(value.c_str());
        } else if (arg == "--count" || arg == "--actions") {
            (arg == "--count" ? o->count : o->actions) = std::atoi(value.c_str());
        } else {
            return false;
        }
    }
    return !o->player.empty() && !o->loader.empty() && !o->exe.empty() && !o->probe.empty() &&
           !o->work.empty() &&
           (o->scenarios.empty() ? o->seed >= 0 && o->count > 0 && o->actions > 0 : o->seed < 0);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: see the head of %s\n", __FILE__);
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    Display* display = XOpenDisplay(nullptr);
    int ignored = 0;
    if (!display || !XTestQueryExtension(display, &ignored, &ignored, &ignored, &ignored)) {
        std::fprintf(stderr, "differential: no X display with the XTest extension\n");
        return 2;
    }
    Probe probe;
    std::vector<std::string> answer;
    if (!probe.Start(options.loader, options.probe) || !probe.Ask("sync 0", &answer)) {
        std::fprintf(stderr, "differential: the probe does not start under Wine\n");
        return 2;
    }
    Differential differential(options, display, &probe);
    int passed = 0, failed = 0;
    auto count = [&](bool agreed) { ++(agreed ? passed : failed); };
    if (options.scenarios.empty()) {
        fs::path files = fs::path(AICP_SCENARIO_FILES);
        for (int i = 0; i < options.count; ++i) {
            std::string seed = std::to_string(options.seed + i);
            count(differential.Play("seed " + seed,
                                    {"--random", seed, "--actions", std::to_string(options.actions)},
                                    files, "seed-" + seed));
        }
    } else {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(options.scenarios)) {
            if (entry.path().extension() == ".scn") {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& scn : files) {
            count(differential.Play(scn.stem().string(), {scn.string()},
                                    options.scenarios / "files", scn.stem().string()));
        }
    }
    differential.Summary();
    std::printf("differential: %d passed, %d failed\n", passed, failed);
    XCloseDisplay(display);
    return failed == 0 && passed > 0 ? 0 : 1;
}
