#pragma once
// The differential check (scripts/differential.sh): each scenario played on the own layer, and
// then from that run's record against the Windows program under Wine.
#include "tests/scenarios/engine/engine.h"

namespace scenario {

// Plays the scenario files, then the random scenarios of the seeds from seed on up to end; the
// exit code of the check.
int PlayUnderWine(const std::vector<std::string>& files, long seed, long end);

}  // namespace scenario
