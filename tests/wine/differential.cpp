// The differential check: each scenario is played by the Linux scenario player, which records
// what the screen shows before every action, then from that record against the Windows program
// under Wine, with XTest events at the points that the probe reads off the real dialog.
//   differential --player PATH --loader PATH --exe PATH --probe PATH --work DIR
//                (--seed S --count K --actions N | FILE.scn...)   (files in files/ beside them)
#include <fcntl.h>
#include <getopt.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

#include "tests/scenarios/engine/engine.h"
#include "tests/scenarios/engine/x_input.h"

namespace fs = std::filesystem;
using namespace scenario;

namespace {

std::map<int, std::string> g_options;  // by their letters

// Starts a program in a folder, its standard input and output on pipes when asked for (else
// nothing comes in, and what it prints is dropped); what it says of its failures shows.
pid_t Spawn(std::vector<std::string> args, const fs::path& folder, int* in = nullptr,
            int* out = nullptr) {
    int to[2] = {-1, -1}, from[2] = {-1, -1};
    if (in && (pipe(to) != 0 || pipe(from) != 0))
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(in ? to[0] : null, 0);
        dup2(in ? from[1] : null, 1);
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (folder.empty() || chdir(folder.c_str()) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    if (in) {
        close(to[0]);
        close(from[1]);
        *in = to[1];
        *out = from[0];
    }
    return pid;
}

// The program under Wine, one at a time, and the probe beside it for the whole run.
class WineBackend : public Backend {
  public:
    ~WineBackend() override {
        Stop();
        close(in_);
        if (probe_ > 0 && kill(probe_, SIGKILL) == 0)  // never kill(-1): that is every process
            waitpid(probe_, nullptr, 0);
    }
    bool StartProbe() {
        return (probe_ = Spawn({g_options['l'], g_options['p']}, {}, &in_, &out_)) > 0 &&
               Ask("sync 0");
    }
    // The probe answers a command with lines and "end"; false when it does not in time.
    bool Ask(const std::string& command, std::vector<std::string>* lines = nullptr) {
        std::string request = command + "\n", line;
        std::vector<std::string> ignored;
        lines = lines ? lines : &ignored;
        pollfd ready{out_, POLLIN, 0};
        if (write(in_, request.data(), request.size()) != static_cast<ssize_t>(request.size()))
            return false;
        for (char c = 0; poll(&ready, 1, 30000) == 1 && read(out_, &c, 1) == 1;) {
            if (c != '\n')
                line += c;
            else if (line == "end")
                return true;
            else
                lines->push_back(std::exchange(line, ""));
        }
        return false;
    }

    // Wine shows the program as Z:\path\to\AIControlPanel.exe.
    int ProgramPathLength(const std::string& folder) const override {
        return static_cast<int>(folder.size() + sizeof "Z:\\AIControlPanel.exe" - 1);
    }
    bool Lags() const override { return true; }

    // True once the dialog shows, or the program has ended, within 20 s.
    bool Launch(const fs::path& folder) {
        ended_ = false;
        pid_ = Spawn({fs::absolute(g_options['l']), "./AIControlPanel.exe"}, folder);
        std::vector<std::string> answer;
        for (int i = 0; pid_ > 0 && i < 40 && !Ended(0); ++i, answer.clear()) {
            if (!Ask("wait 500", &answer) || answer == std::vector<std::string>{"shown"})
                return true;
        }
        return ended_;
    }
    void Stop() {
        if (pid_ > 0 && !ended_ && kill(pid_, SIGKILL) == 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    bool Ended(int* exitCode) override {
        Ended(1000);
        *exitCode = exitCode_;
        return ended_;
    }
    bool Ended(int tries) {  // 10 ms apart
        for (int i = 0, status = 0; !ended_ && i <= tries; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            } else if (i < tries) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        return ended_;
    }
    bool Read(scenario::Screen* screen, std::string* error) override {
        std::vector<std::string> lines;
        *error = Ask("screen", &lines) ? "" : "the probe does not answer";
        for (const std::string& line : lines)
            *error = ParseScreenLine(line, screen) ? *error : "the probe says: " + line;
        return error->empty();
    }
    void Uncover(int box, Point p) override {
        Ask("raise " + std::to_string(box) + " " + std::to_string(p.x) + " " + std::to_string(p.y));
    }
    void MouseMove(Point p) override {
        x_input::Move(p.x, p.y);
        ++events_;
    }
    void MouseButton(bool down) override {
        x_input::Button(down);
        Settle(0x01, down);  // VK_LBUTTON
    }
    void Wait(int milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void Key(const scenario::Key& key, bool down) override {
        x_input::Key(key.keysym, down);
        Settle(key.vk, down);
    }
    // The X server has sent the events. The probe waits until the key or button given last
    // shows its new state (the panel's program has taken the event from X), then makes the
    // round trips that let the panel's thread handle it and what it leaves.
    void Settle(int vk, bool down) {
        Ask("sync " + std::to_string(++events_ + 1) + " " + std::to_string(vk) + " " +
            (down ? "1" : "0"));
        events_ = 0;
    }

  private:
    pid_t probe_ = -1, pid_ = -1;
    int in_ = -1, out_ = -1, exitCode_ = 0, events_ = 0;
    bool ended_ = false;
};

// Runs a program to its end: its exit status, or -1.
int Run(const std::vector<std::string>& args) {
    int status = -1;
    waitpid(Spawn(args, {}), &status, 0);
    return status;
}

// Plays one scenario on both sides; true when they agree.
bool Play(WineBackend* wine, const std::string& name, std::vector<std::string> linuxArgs,
          const fs::path& files) {
    fs::path run = fs::path(g_options['w']) / "runs" / name, record = run / (name + ".scn");
    fs::remove_all(run);
    fs::create_directories(run / "wine");
    linuxArgs.insert(linuxArgs.begin(), g_options['y']);
    linuxArgs.insert(linuxArgs.end(), {"--record", record.string(), "--keep",
                                       (run / "linux").string(), "--files", files.string()});
    std::vector<Line> lines;
    std::string error;
    if (Run(linuxArgs) != 0 || !ReadScenario(record.string(), &lines, &error)) {
        std::printf("FAIL %s: the Linux run fails\n", name.c_str());
        return false;
    }
    Player player(wine, record.string(), lines, files);
    bool played = player.SetUp(run / "wine");
    std::error_code failed;
    fs::copy_file(g_options['e'], player.folder_ / "AIControlPanel.exe", failed);
    played = played && wine->Launch(player.folder_);
    while (played && player.Step()) {
    }
    played = played && player.Finish();
    wine->Stop();
    fs::remove(player.folder_ / "AIControlPanel.exe", failed);
    // The folders are compared once both runs have played to the end.
    std::vector<std::string> compare = {"/usr/bin/diff", "-r", run / "linux", player.folder_};
    if (played && Run(compare) == 0) {
        std::printf("PASS %s: %d actions\n", name.c_str(), player.actions_);
        fs::remove_all(run);
        return true;
    }
    fs::path replay = fs::path(g_options['w']) / "failures" / name;
    fs::create_directories(replay, failed);
    fs::copy(files, replay / "files", fs::copy_options::recursive, failed);
    fs::copy_file(record, replay / record.filename(), failed);
    std::string what =
        played ? "the runs leave different files: diff -r " + compare[2] + " " + compare[3]
        : player.failure_.empty() ? "the dialog did not show within 20 s"
                                  : player.failure_;
    std::printf(
        "FAIL %s, at action %d: Linux saw what the line expects, Wine did not:\n  %s\n"
        "  replay: scripts/differential.sh --scenarios %s\n",
        name.c_str(), player.actions_ + !played, what.c_str(), replay.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    static const option kOptions[] = {
        {"player", 1, 0, 'y'}, {"loader", 1, 0, 'l'},  {"exe", 1, 0, 'e'},
        {"probe", 1, 0, 'p'},  {"work", 1, 0, 'w'},    {"seed", 1, 0, 'S'},
        {"count", 1, 0, 'C'},  {"actions", 1, 0, 'A'}, {}};
    for (int c; (c = getopt_long(argc, argv, "", kOptions, nullptr)) != -1;)
        g_options[c] = optarg ? optarg : "";
    long seed = g_options.count('S') ? std::atol(g_options['S'].c_str()) : -1;
    int count = std::atoi(g_options['C'].c_str()), length = std::atoi(g_options['A'].c_str());
    std::size_t given = 0;
    for (int path : {'y', 'l', 'e', 'p', 'w'})
        given += g_options.count(path);
    if (given != 5 || g_options.count('?') ||
        (optind == argc ? count < 1 || length < 1 : seed >= 0)) {
        std::fprintf(stderr, "usage: see the head of %s\n", __FILE__);
        return 2;
    }
    WineBackend wine;
    if (!x_input::Open() || !wine.StartProbe()) {
        std::fprintf(stderr, "differential: no X display with XTest, or no probe under Wine\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    int played = argc - optind, passed = 0;
    for (int i = optind; i < argc; ++i) {
        fs::path scn = argv[i];
        passed += Play(&wine, scn.stem().string(), {scn.string()}, scn.parent_path() / "files");
    }
    for (long s = seed; s >= 0 && s < seed + count; ++s, ++played) {
        passed += Play(&wine, "seed-" + std::to_string(s),
                       {"--random", std::to_string(s), "--actions", std::to_string(length)},
                       AICP_SCENARIO_FILES);
    }
    std::printf("differential: %d passed, %d failed\n", passed, played - passed);
    return passed == played && played > 0 ? 0 : 1;
}
