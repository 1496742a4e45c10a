// Loading and saving the settings file, each beside a floor that does only the file work the
// operation cannot avoid. Prints every pair's ratio at the end.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/own/headless.h"
#include "platform/platform.h"
#include "profiles/ai_setting.h"
#include "profiles/settings_file.h"
#include "tests/support/test_support.h"

namespace {

std::string g_folder;
std::string Path(const char* name) {
    return g_folder + "/" + name;
}

struct Profiles {
    std::vector<std::unique_ptr<AISetting>> all;
    Profiles() {
        for (const char* name : {"Easy", "Standard", "Hard", "Harder", "Insane"}) {
            all.push_back(std::make_unique<AISetting>(name));
        }
    }
};
Profiles* g_profiles;
support::AutoAnswerBoxes* g_boxes;

void ReadWhole(const std::string& path) {
    static char buffer[1 << 16];
    std::FILE* file = std::fopen(path.c_str(), "rb");
    while (std::fread(buffer, 1, sizeof buffer, file) == sizeof buffer) {
    }
    std::fclose(file);
    benchmark::ClobberMemory();
}

void BM_Load(benchmark::State& state) {
    std::string path = Path("settings.ai");
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadAISettings(path.c_str()));
    }
}
void BM_LoadFloor(benchmark::State& state) {
    std::string path = Path("settings.ai");
    for (auto _ : state) {
        ReadWhole(path);
    }
}

void BM_Save(benchmark::State& state) {
    std::string path = Path("saved.ai");
    for (auto _ : state) {
        benchmark::DoNotOptimize(SaveAISettings(path.c_str()));
    }
}
// The same steps as a save, with the 1218 bytes ready in memory.
void BM_SaveFloor(benchmark::State& state) {
    std::string bytes(1218, 'x');
    std::string path = Path("floor.ai");
    std::string temporary = path + ".tmp";
    for (auto _ : state) {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fflush(file);
        FlushFileToDisk(file);
        std::fclose(file);
        std::rename(temporary.c_str(), path.c_str());
    }
}

long MaxRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_LoadHeaderless64MiB(benchmark::State& state) {
    std::string path = Path("huge.ai");
    long before = MaxRssKiB();
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadAISettings(path.c_str()));
        g_boxes->Clear();
    }
    state.counters["peak_rss_growth_KiB"] = static_cast<double>(MaxRssKiB() - before);
}
void BM_FiveReads64MiB(benchmark::State& state) {
    std::string path = Path("huge.ai");
    for (auto _ : state) {
        for (int i = 0; i < 5; ++i) {
            ReadWhole(path);
        }
    }
}

BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadHeaderless64MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveReads64MiB)->Unit(benchmark::kMillisecond);

void MakeFiles() {
    char folder[] = "/var/tmp/profiles-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        std::abort();
    }
    g_folder = folder;
    for (std::size_t i = 0; i < g_profiles->all.size(); ++i) {
        AISetting& p = *g_profiles->all[i];
        p.iDancing = static_cast<int>(i % 3);
        p.iAttackDelay = static_cast<int>(4 * i);
        p.iTechSpeed = static_cast<int>(i) - 2;
        p.bMines = i % 2 == 0;
    }
    SaveAISettings(Path("settings.ai").c_str());

    // 64 MiB of plausible lines, none of them a block header.
    std::FILE* huge = std::fopen(Path("huge.ai").c_str(), "wb");
    const std::string line = "\tiDancing = 1, bMines = true, some more text to fill the line\r\n";
    for (std::size_t written = 0; written < (64u << 20); written += line.size()) {
        std::fputs(line.c_str(), huge);
    }
    std::fclose(huge);
}

// Collects each benchmark's real time per iteration, to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Ratio("load / its floor (target <= 2)", "BM_Load", "BM_LoadFloor");
        Ratio("save / its floor (target <= 1.2)", "BM_Save", "BM_SaveFloor");
        Ratio("64 MiB headerless load / five plain reads", "BM_LoadHeaderless64MiB",
              "BM_FiveReads64MiB");
    }

  private:
    void Ratio(const char* what, const char* a, const char* b) {
        if (times_.count(a) && times_.count(b)) {
            std::printf("ratio %-45s %.2f\n", what, times_[a] / times_[b]);
        }
    }
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    g_profiles = new Profiles;
    g_boxes = new support::AutoAnswerBoxes;
    MakeFiles();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::string cleanup = "rm -rf '" + g_folder + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
