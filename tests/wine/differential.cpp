// The differential check (scenario_player --backend wine): each scenario played on Linux, recording
// what the screen shows before every action, then from that record against the Windows program
// under Wine, with XTest events at the points that the probe reads off the real dialog.
#include <fcntl.h>
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

std::map<int, std::string>* g_options;  // by their letters

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
        return (probe_ = Spawn({(*g_options)['l'], (*g_options)['p']}, {}, &in_, &out_)) > 0 &&
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
        pid_ = Spawn({fs::absolute((*g_options)['l']), "./AIControlPanel.exe"}, folder);
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

// Waits for a child process to end: its exit status, or -1.
int ExitStatus(pid_t pid) {
    int status = -1;
    waitpid(pid, &status, 0);
    return status;
}

// Plays one run on both sides; true when they agree.
bool Play(WineBackend* wine, const Run& scenario, const std::function<void(const Run&)>& here) {
    std::map<int, std::string>& options = *g_options;
    std::string name = scenario.file.empty() ? "seed-" + std::to_string(scenario.seed)
                                             : fs::path(scenario.file).stem().string();
    fs::path run = fs::path(options['w']) / "runs" / name, record = run / (name + ".scn");
    fs::remove_all(run);
    fs::create_directories(run / "wine");
    pid_t child = fork();
    if (child == 0) {  // headless; what it prints is dropped, what it says of its failures shows
        options['o'] = record.string();
        options['k'] = (run / "linux").string();
        options['b'] = "";
        dup2(open("/dev/null", O_WRONLY), 1);
        here(scenario);
    }
    std::vector<Line> lines;
    std::string error;
    if (ExitStatus(child) != 0 || !ReadScenario(record.string(), &lines, &error)) {
        std::printf("FAIL %s: the Linux run fails\n", name.c_str());
        return false;
    }
    Player player(wine, record.string(), lines, scenario.files);
    bool played = player.SetUp(run / "wine");
    std::error_code failed;
    fs::copy_file(options['e'], player.folder_ / "AIControlPanel.exe", failed);
    played = played && wine->Launch(player.folder_);
    while (played && player.Step()) {
    }
    played = played && player.Finish();
    wine->Stop();
    fs::remove(player.folder_ / "AIControlPanel.exe", failed);
    // The folders are compared once both runs have played to the end.
    std::vector<std::string> compare = {"/usr/bin/diff", "-r", run / "linux", player.folder_};
    if (played && ExitStatus(Spawn(compare, {})) == 0) {
        std::printf("PASS %s: %d actions\n", name.c_str(), player.actions_);
        fs::remove_all(run);
        return true;
    }
    fs::path replay = fs::path(options['w']) / "failures" / name;
    fs::create_directories(replay, failed);
    fs::copy(scenario.files, replay / "files", fs::copy_options::recursive, failed);
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

int scenario::Differential(std::map<int, std::string>& options, const std::vector<Run>& runs,
                           const std::function<void(const Run&)>& here) {
    g_options = &options;
    WineBackend wine;
    if (options['e'].empty() || options['w'].empty() || !x_input::Open() || !wine.StartProbe()) {
        std::fprintf(stderr,
                     "differential: no --exe or --work, no X display with XTest, or no "
                     "--loader and --probe to run the probe under Wine\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    int passed = 0;
    for (const Run& run : runs)
        passed += Play(&wine, run, here);
    std::printf("differential: %d passed, %zu failed\n", passed, runs.size() - passed);
    return passed == static_cast<int>(runs.size()) ? 0 : 1;
}
