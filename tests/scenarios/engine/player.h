#pragma once
// The scenario interpreter: plays the lines of a scenario file against a backend, checks what is
// expected on the way, and can write the scenario back with what was seen after every action.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/scenarios/engine/backend.h"
#include "tests/scenarios/engine/scenario.h"

namespace scenario {

// Gives the next action when the scenario's own lines have run out (random scenarios), and
// checks what must hold before each action.
class Driver {
  public:
    virtual ~Driver() = default;
    // Writes the next line into *line; false when there is none.
    virtual bool NextLine(const Screen& screen, std::string* line) = 0;
    // Empty when all holds; otherwise what does not.
    virtual std::string Check(const Screen& screen) = 0;
};

class Player {
  public:
    Player(Backend* backend, std::string name, std::vector<Line> lines,
           std::filesystem::path files);

    // Writes every line played, and after every action what the screen shows, to this file.
    bool Record(const std::filesystem::path& path);
    void SetDriver(Driver* driver) { driver_ = driver; }

    // Runs the set-up lines in the fresh folder root, up to `start`. The program's folder is
    // then folder().
    bool SetUp(const std::filesystem::path& root);
    // Plays lines until one action has been given; false when none is left or on a failure.
    bool Step();
    // Plays what follows the program's end: only expectations.
    bool Finish();

    const std::filesystem::path& folder() const { return folder_; }
    bool failed() const { return failed_; }
    const std::string& failure() const { return failure_; }
    const std::string& differs() const { return differs_; }
    int actions() const { return actions_; }

  private:
    bool Fail(const Line* line, const std::string& what);
    bool SetUpLine(const Line& line);
    bool Read(Screen* screen);
    // Empty when the expectation holds, else what was seen; *known is false for an action.
    std::string Check(const Line& line, const Screen& screen, bool* known);
    bool Expect(const Line& line);
    bool Act(const Line& line);
    bool Click(const Screen& screen, int box, Point point);
    bool FileAction(const Line& line);
    void Write(const std::string& text);
    void WriteReadings(const Screen& screen);
    std::filesystem::path InFolder(const std::string& relative) const { return folder_ / relative; }

    Backend* backend_;
    std::string name_;
    std::vector<Line> lines_;
    std::filesystem::path files_;
    std::filesystem::path folder_;
    std::size_t next_ = 0;
    Driver* driver_ = nullptr;
    std::ofstream record_;
    bool recording_ = false;
    bool controlsRecorded_ = false;
    std::vector<std::pair<std::string, Rect>> thumbsRecorded_;
    Screen cached_;  // the screen as last read, until the next action
    bool cachedValid_ = false;
    bool failed_ = false;
    std::string failure_;
    std::string differs_;
    int actions_ = 0;
};

// The four rows and six check boxes of the panel, as a person names them.
extern const char* const kGroups[4];
extern const char* const kCheckBoxes[6];
extern const char* const kKeys[8];

}  // namespace scenario
