#pragma once
// What the scenario player's parts share in a run. player.cpp owns it: main fills the options,
// and the random driver's watch on the saves keeps the account of the settings file.
#include "tests/scenarios/engine/engine.h"

namespace scenario {

struct Run {
    std::map<int, std::string> options;       // the options given, by their letters
    std::optional<std::string> expectedFile;  // what the settings file must hold, if it must be
    long saves = 0;                           // saves written whole
};
extern Run g_run;

// The fixture files of a scenario file, or of the random scenarios (file empty).
fs::path FilesOf(const std::string& file);
// Plays the scenario file, or the random scenario of the seed, and ends the process.
[[noreturn]] void PlayHere(const std::string& file, long seed);

}  // namespace scenario
