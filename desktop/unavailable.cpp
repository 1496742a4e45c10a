// The desktop front end of a build that had no Xlib: there is no window to open, and
// the program says so and runs in the terminal.
#include "desktop/desktop.h"

namespace desktop {

struct DesktopInput::State {};

DesktopInput::DesktopInput() = default;
DesktopInput::~DesktopInput() = default;

bool DesktopInput::Start(int, std::string* error) {
    *error = "this program was built without its X window (Xlib was missing)";
    return false;
}
POINT DesktopInput::OnScreen(POINT point) {
    return point;
}
bool DesktopInput::Holding() const {
    return false;
}
void DesktopInput::Stop() {}
bool DesktopInput::ProvideInput() {
    return false;
}
bool DesktopInput::Pump() {
    return false;
}

}  // namespace desktop
