#pragma once
// Random scenarios: from a seed, the set-up lines (start files good, missing, malformed or out of
// range; a defaults file or none) and then, one at a time, the next action that a person could
// take on the screen as it stands. Before every action it checks what must always hold: the
// panel shows the current profile, and the settings file is the one the last save wrote whole.
// Saves may be made to fail at random.

#include <random>
#include <string>
#include <vector>

#include "tests/scenarios/engine/player.h"

namespace scenario {

class RandomDriver : public Driver {
  public:
    RandomDriver(unsigned seed, int actions, bool failingSaves);
    ~RandomDriver() override;

    std::vector<std::string> SetUpLines();
    // The settings file as start-up finds it, once the set-up lines have run in folder.
    void Started(const std::string& folder);
    bool NextLine(const Screen& screen, std::string* line) override;
    std::string Check(const Screen& screen) override;
    // After the program's end: the settings file as the last save left it.
    std::string CheckFile();
    std::string Summary() const;

  private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool OneIn(int n) { return Below(n) == 0; }
    std::string SliderAction(const Screen& screen);
    std::string FinalAction(const Screen& screen);

    std::mt19937 random_;
    int actions_;
    int given_ = 0;
    const char* startFile_ = nullptr;
};

}  // namespace scenario
