#pragma once
// Random scenarios (tests/scenarios/README.md), and what must hold in them.
#include <memory>

#include "tests/scenarios/engine/engine.h"

namespace scenario {

// The seed's scenario: its set-up up to `start` in *lines, and the driver of its actions; its
// saves are watched from now on.
std::unique_ptr<Driver> RandomScenario(long seed, int actions, std::vector<Line>* lines);
std::string CheckFile();  // empty where the settings file is the one the last save wrote whole

}  // namespace scenario
