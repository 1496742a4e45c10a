#pragma once
// Where a scenario is played: the program on the own layer in this process, or the Windows
// program under Wine. A backend reads the screen and gives a person's pointer and key input;
// every verb of the scenario language is made of these, the same way for both.

#include <string>

#include "tests/scenarios/engine/screen.h"

namespace scenario {

class Backend {
  public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;
    // The length of the program's full path, as the program sees it, when it lies in folder.
    virtual int ProgramPathLength(const std::string& folder) const = 0;
    // The screen now; false (with the reason in *error) when it cannot be read.
    virtual bool Read(Screen* screen, std::string* error) = 0;
    // True once the program has ended (waiting for it as long as the backend needs).
    virtual bool Ended(int* exitCode) = 0;
    // True when readings may lag behind the input given: expectations are then read again
    // for a while before they count as failed.
    virtual bool Lags() const = 0;

    // Makes the point hit the panel (box < 0) or the message box of that index on the screen
    // (0 is the one on top), moving whatever covers it out of the way as a person would.
    virtual void Uncover(const Screen& screen, int box, Point point) = 0;
    virtual void MouseDown(Point point) = 0;
    virtual void MouseMove(Point point) = 0;
    virtual void MouseUp(Point point) = 0;
    // Left, Right, Up, Down, Home, End, PageUp, PageDown: down and up. False for another name.
    virtual bool Key(const std::string& name) = 0;
    // Returns once the program has taken the input given so far.
    virtual void Settle() = 0;
};

}  // namespace scenario
