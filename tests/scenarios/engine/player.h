#pragma once
// What the scenario player's parts share: the run's state, owned by player.cpp, and their ways in.
#include <memory>

#include "tests/scenarios/engine/engine.h"

namespace scenario {

struct Run {
    std::map<int, std::string> options;       // the options given, by their letters (main)
    std::optional<std::string> expectedFile;  // what the settings file must hold, if it must be
    long saves = 0;                           // saves written whole (both kept by the save watch)
};
extern Run g_run;

// player.cpp. The fixture files of a scenario file, or of the random scenarios (file empty).
fs::path FilesOf(const std::string& file);
// Plays the scenario file, or the random scenario of the seed, and ends the process.
[[noreturn]] void PlayHere(const std::string& file, long seed);

// random_driver.cpp. The seed's scenario: its set-up up to `start` in *lines, and the driver of
// its actions; its saves are watched from now on.
std::unique_ptr<Driver> RandomScenario(long seed, int actions, std::vector<Line>* lines);
std::string CheckFile();  // empty where the settings file is the one the last save wrote whole

// wine_backend.cpp: the differential check (scripts/differential.sh) of the scenario files, then
// of the random scenarios of the seeds from seed on up to end; the exit code of the check.
int PlayUnderWine(const std::vector<std::string>& files, long seed, long end);

}  // namespace scenario
