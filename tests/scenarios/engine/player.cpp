// Plays scenarios (tests/scenarios/README.md): one on the own layer, in this process, giving the
// program a person's input whenever it would wait; or, with --backend wine, each on the own layer
// and then from that run's record against the Windows program under Wine (the differential check).
//
//   scenario_player FILE.scn | --random SEED --actions N [--failing-saves]
//                   [--files DIR] [--keep DIR] [--record OUT.scn] [--backend desktop [--scale N]]
//   scenario_player --backend wine --loader WINE --exe PROGRAM.exe --probe PROBE.exe --work DIR
//                   FILE.scn... | --random SEED --count K --actions N
//
// --files: the fixture files (default: files/ beside the scenario); --keep copies the program's
// folder to DIR at the end; --record writes the scenario as played, with what the screen showed.
// --backend desktop shows the program's window on the X display of DISPLAY and gives the input as
// real X events there, instead of straight to the layer; --scale draws it so many times bigger.
// --backend wine plays the seeds from SEED on, and keeps each run and failure in DIR.
#include "tests/scenarios/engine/player.h"

#include <getopt.h>

#include <cstdio>
#include <cstdlib>

#include "tests/scenarios/engine/headless_backend.h"
#include "tests/scenarios/engine/x_input.h"
#include "tests/support/panel.h"

using namespace scenario;

Run scenario::g_run;

namespace {

Player* g_player = nullptr;
fs::path g_root, g_keep;

// Ends the run at once, from wherever the program stands: nothing of it may run on.
[[noreturn]] void Exit(const std::string& what, int code) {
    std::error_code error;
    if (!g_keep.empty() && g_player) {
        fs::remove_all(g_keep, error);
        fs::copy(g_player->folder_, g_keep, fs::copy_options::recursive, error);
    }
    fs::remove_all(g_root, error);
    std::fprintf(code ? stderr : stdout, "%s\n", what.c_str());
    std::fflush(nullptr);
    std::_Exit(code);
}

desktop::DesktopInput* g_desktop = nullptr;  // with --backend desktop

class ScenarioInput : public headless::InputSource {
  public:
    bool ProvideInput() override {
        const std::string& failure = g_player->failure_;
        if ((!g_desktop || !g_desktop->Pump()) && !g_player->Step())
            Exit(failure.empty() ? "the scenario has ended while the program still runs" : failure,
                 1);
        return true;
    }
};

}  // namespace

fs::path scenario::FilesOf(const std::string& file) {
    return !g_run.options['F'].empty() ? fs::path(g_run.options['F'])
           : file.empty()              ? fs::path(AICP_SCENARIO_FILES)
                                       : fs::path(file).parent_path() / "files";
}

void scenario::PlayHere(const std::string& file, long seed) {
    std::map<int, std::string>& o = g_run.options;
    std::string scenario = file, error;
    g_keep = o['k'].empty() ? fs::path() : fs::absolute(o['k']);
    std::vector<Line> lines;
    std::unique_ptr<Driver> random;
    if (seed >= 0) {
        random = RandomScenario(seed, std::atoi(o['a'].c_str()), &lines);
        scenario = "seed " + std::to_string(seed);
    } else if (!ReadScenario(scenario, &lines, &error)) {
        Exit(error, 2);
    }
    std::string root = (fs::temp_directory_path() / "scenario-XXXXXX").string();
    if (!mkdtemp(root.data()))
        Exit("cannot make a folder to play in", 2);
    g_root = fs::canonical(root);
    desktop::DesktopInput front;
    bool onDesktop = o['b'] == "desktop";
    if (onDesktop && (!x_input::Open() || !front.Start(desktop::ScaleNamed(o['s'].c_str()), &error)))
        Exit("no X display with XTest to play on " + error, 2);
    g_desktop = onDesktop ? &front : nullptr;
    if (!onDesktop)
        HeadlessBackend::StopClock();
    HeadlessBackend headless;
    DesktopBackend desktopBackend(&front);
    HeadlessBackend& backend = onDesktop ? desktopBackend : headless;
    Player player(&backend, scenario, lines, FilesOf(file), random.get());
    g_player = &player;
    if (!o['o'].empty() && !player.Record(o['o']))
        Exit("cannot write " + o['o'], 2);
    if (!player.SetUp(g_root))
        Exit(player.failure_, 1);
    g_run.expectedFile = support::ReadBytes(player.folder_ / kSettingsFilePath);
    ScenarioInput input;
    headless::SetInputSource(&input);
    int code = support::RunProgram((player.folder_ / "AIControlPanel").string());
    backend.code = code;
    headless::SetInputSource(nullptr);
    if (!player.Finish())
        Exit(player.failure_, 1);
    std::string broken = seed < 0    ? ""
                         : code != 1 ? "exit code " + std::to_string(code)
                                     : CheckFile();
    if (!broken.empty())
        Exit(scenario + ": after the program's end: " + broken, 1);
    Exit(scenario + ": passed, exit code " + std::to_string(code) + ", " +
             std::to_string(player.actions_) + " actions" +
             (seed < 0 ? "" : ", " + std::to_string(g_run.saves) + " saves written whole"),
         0);
}

int main(int argc, char** argv) {
    static const option kOptions[] = {{"random", 1, 0, 'r'},  {"count", 1, 0, 'c'},
                                      {"actions", 1, 0, 'a'}, {"failing-saves", 0, 0, 'f'},
                                      {"files", 1, 0, 'F'},   {"keep", 1, 0, 'k'},
                                      {"record", 1, 0, 'o'},  {"backend", 1, 0, 'b'},
                                      {"scale", 1, 0, 's'},   {"loader", 1, 0, 'l'},
                                      {"exe", 1, 0, 'e'},     {"probe", 1, 0, 'p'},
                                      {"work", 1, 0, 'w'},    {}};
    std::map<int, std::string>& o = g_run.options;
    for (int c; (c = getopt_long(argc, argv, "", kOptions, nullptr)) != -1;)
        o[c] = optarg ? optarg : "";
    long seed = o.count('r') ? std::atol(o['r'].c_str()) : -1;
    long end = seed + (o.count('c') ? std::atol(o['c'].c_str()) : 1);
    int files = argc - optind;
    bool known = o.count('r') ? seed >= 0 && end > seed && !files && std::atoi(o['a'].c_str()) > 0
                              : files > 0;
    bool one = o.count('r') ? end == seed + 1 : files == 1;
    if (o.count('?') || !known || (o['b'] != "wine" && !one)) {
        std::fprintf(stderr, "usage: see the head of %s\n", __FILE__);
        return 2;
    }
    if (o['b'] != "wine")
        PlayHere(files ? argv[optind] : "", seed);
    return PlayUnderWine(std::vector<std::string>(argv + optind, argv + argc), seed, end);
}
