#pragma once
// The terminal front end: an input source for the own layer that, whenever the program would
// wait, shows the windows on the terminal (ncurses) and waits for a key, a mouse event or a
// resize, which it turns into the layer's input.

#include <memory>
#include <string>

#include "platform/own/headless.h"
#include "terminal/controller.h"
#include "terminal/view.h"

namespace terminal {

class TerminalInput : public headless::InputSource {
  public:
    TerminalInput();
    ~TerminalInput() override;
    TerminalInput(const TerminalInput&) = delete;
    TerminalInput& operator=(const TerminalInput&) = delete;

    // Takes over the terminal; false, with the reason in *error, when it cannot.
    bool Start(std::string* error);
    // Gives the terminal back as it was.
    void Stop();

    bool ProvideInput() override;

  private:
    void Show();
    void Handle(int key);
    void HandleMouse();
    bool TerminalLost();

    struct Screen;
    std::unique_ptr<Screen> screen_;
    Controller controller_;
    Picture picture_;
    Canvas shown_{0, 0};
    int failedReads_ = 0;
};

}  // namespace terminal
