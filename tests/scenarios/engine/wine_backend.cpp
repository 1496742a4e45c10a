#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

#include "tests/scenarios/engine/player.h"
#include "tests/scenarios/engine/x_input.h"

namespace scenario {
namespace {

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
        return (probe_ = Spawn({g_run.options['l'], g_run.options['p']}, {}, &in_, &out_)) > 0 &&
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
        exitCode_.reset();
        pid_ = Spawn({fs::absolute(g_run.options['l']), "./AIControlPanel.exe"}, folder);
        std::vector<std::string> answer;
        for (int i = 0; pid_ > 0 && i < 40 && !Ended(0); ++i, answer.clear()) {
            if (!Ask("wait 500", &answer) || answer == std::vector<std::string>{"shown"})
                return true;
        }
        return exitCode_.has_value();
    }
    void Stop() {
        if (pid_ > 0 && !exitCode_ && kill(pid_, SIGKILL) == 0)
            waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    std::optional<int> Ended() override { return Ended(1000); }
    std::optional<int> Ended(int tries) {  // 10 ms apart
        for (int i = 0, status = 0; !exitCode_ && i <= tries; ++i) {
            if (waitpid(pid_, &status, WNOHANG) == pid_)
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else if (i < tries)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return exitCode_;
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
    int in_ = -1, out_ = -1, events_ = 0;
    std::optional<int> exitCode_;  // once the program has ended
};

// Plays a scenario file, or the random scenario of the seed, on both sides; true when they agree.
bool Play(WineBackend* wine, const std::string& file, long seed) {
    std::string name =
        file.empty() ? "seed-" + std::to_string(seed) : fs::path(file).stem().string();
    fs::path run = fs::path(g_run.options['w']) / "runs" / name, record = run / (name + ".scn");
    fs::path files = FilesOf(file);
    fs::remove_all(run);
    fs::create_directories(run / "wine");
    pid_t child = fork();
    if (child == 0) {  // headless; what it prints is dropped, what it says of its failures shows
        g_run.options['o'] = record.string();
        g_run.options['k'] = (run / "linux").string();
        g_run.options['b'] = "";
        dup2(open("/dev/null", O_WRONLY), 1);
        PlayHere(file, seed);
    }
    int status = -1;
    std::vector<Line> lines;
    std::string error;
    if (waitpid(child, &status, 0) != child || status != 0 ||
        !ReadScenario(record.string(), &lines, &error)) {
        std::printf("FAIL %s: the Linux run fails\n", name.c_str());
        return false;
    }
    Player player(wine, record.string(), lines, files);
    bool played = player.SetUp(run / "wine");
    std::error_code failed;
    fs::copy_file(g_run.options['e'], player.folder_ / "AIControlPanel.exe", failed);
    played = played && wine->Launch(player.folder_);
    while (played && player.Step()) {
    }
    played = played && player.Finish();
    wine->Stop();
    fs::remove(player.folder_ / "AIControlPanel.exe", failed);
    // The folders are compared once both runs have played to the end.
    std::vector<std::string> compare = {"/usr/bin/diff", "-r", run / "linux", player.folder_};
    if (played && waitpid(Spawn(compare, {}), &status, 0) > 0 && status == 0) {
        std::printf("PASS %s: %d actions\n", name.c_str(), player.actions_);
        fs::remove_all(run);
        return true;
    }
    fs::path replay = fs::path(g_run.options['w']) / "failures" / name;
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

int PlayUnderWine(const std::vector<std::string>& files, long seed, long end) {
    std::map<int, std::string>& o = g_run.options;
    WineBackend wine;
    if (o['e'].empty() || o['w'].empty() || !x_input::Open() || !wine.StartProbe()) {
        std::fprintf(stderr,
                     "differential: no --exe or --work, no X display with XTest, or no "
                     "probe under Wine from --loader and --probe\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    int played = static_cast<int>(files.size()), passed = 0;
    for (const std::string& file : files)
        passed += Play(&wine, file, -1);
    for (long s = seed; s >= 0 && s < end; ++s, ++played)
        passed += Play(&wine, "", s);
    std::printf("differential: %d passed, %d failed\n", passed, played - passed);
    return passed == played ? 0 : 1;
}

}  // namespace scenario
