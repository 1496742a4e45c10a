#pragma once
// Random scenarios (tests/scenarios/README.md), and what must hold in them.
#include <memory>

#include "tests/scenarios/engine/engine.h"
#include "tests/support/test_support.h"

namespace scenario {

// The seed's scenario: its set-up up to `start` in *lines, and the driver of its actions.
std::unique_ptr<Driver> RandomScenario(long seed, int actions, std::vector<Line>* lines);
// With saves failing at random, one step in sixteen fails, which ends the save with its message
// and leaves the file as it was. What the file must hold follows the steps.
bool WatchSave(support::SaveStep step, const char*);
std::string CheckFile();  // empty where the settings file is the one the last save wrote whole

}  // namespace scenario
