// Loading and saving the settings file, each beside a floor that does only the file work the
// operation cannot avoid, and loading a 64 MiB file without any header beside five plain reads
// of it. Prints each figure as "ratio NAME: X.XX (target T)" at the end.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_ops.h"
#include "platform/own/headless.h"
#include "platform/platform.h"
#include "profiles/ai_setting.h"
#include "profiles/settings_file.h"
#include "tests/support/test_support.h"

namespace {

constexpr std::size_t kHugeBytes = 64u << 20;

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

// Opened as a load opens it: only a plain file is read.
void ReadWhole(const std::string& path) {
    static char buffer[1 << 16];
    std::FILE* file = OpenForReading(path.c_str());
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
// The file work of a save, with the 1218 bytes ready in memory: the target found, a new file
// beside it written and pushed to the disk, and renamed over the target.
void BM_SaveFloor(benchmark::State& state) {
    std::string bytes(1218, 'x');
    std::string path = Path("floor.ai");
    std::string temporary = path + ".floor1";
    for (auto _ : state) {
        char target[kFilePathSize];
        Made made = Made::kFailed;
        if (!FindSaveTarget(path.c_str(), target)) {
            state.SkipWithError("no target");
            break;
        }
        std::FILE* file = CreateNewFile(temporary.c_str(), target, NewFile::kLikeTarget, &made);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fflush(file);
        FlushFileToDisk(file);
        std::fclose(file);
        RenameOverFile(temporary.c_str(), target);
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
    for (std::size_t written = 0; written < kHugeBytes; written += line.size()) {
        std::fputs(line.c_str(), huge);
    }
    std::fclose(huge);
}

// Prints each figure as the ratio of a benchmark's real time per iteration to its floor's. With
// --benchmark_repetitions the median of the repetitions counts; the other aggregates (mean,
// standard deviation, coefficient of variation) are never taken for a time.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // Without colours, so that the figures start their lines.
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration) {
                samples_[name].push_back(run.GetAdjustedRealTime());
                if (run.counters.count("peak_rss_growth_KiB")) {
                    rssGrowthKiB_ =
                        std::max(rssGrowthKiB_, run.counters.at("peak_rss_growth_KiB").value);
                }
            } else if (run.aggregate_name == "median") {
                medians_[name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        Ratio("load", "BM_Load", "BM_LoadFloor", 4.0);
        Ratio("save", "BM_Save", "BM_SaveFloor", 1.2);
        // The reader takes each line with one fgets, plainer than reading in blocks; a file
        // without any header is one pass of that. Five plain reads of the file are its bound.
        Ratio("big-file time", "BM_LoadHeaderless64MiB", "BM_FiveReads64MiB", 1.0);
        if (samples_.count("BM_LoadHeaderless64MiB") || medians_.count("BM_LoadHeaderless64MiB")) {
            // Growth of the peak resident memory while loading, against the file's size.
            std::printf("ratio big-file memory: %.2f (target 0.01)\n",
                        rssGrowthKiB_ / static_cast<double>(kHugeBytes >> 10));
        }
    }

  private:
    // The median, when the runs were repeated; else the one run's time.
    double TimeOf(const std::string& name) {
        if (medians_.count(name)) {
            return medians_[name];
        }
        std::vector<double>& times = samples_[name];
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }
    void Ratio(const char* what, const char* a, const char* b, double target) {
        if ((samples_.count(a) || medians_.count(a)) && (samples_.count(b) || medians_.count(b))) {
            std::printf("ratio %s: %.2f (target %g)\n", what, TimeOf(a) / TimeOf(b), target);
        }
    }
    std::map<std::string, std::vector<double>> samples_;
    std::map<std::string, double> medians_;
    double rssGrowthKiB_ = 0;
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
