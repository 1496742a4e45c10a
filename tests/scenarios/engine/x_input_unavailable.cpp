// X input in a build without XTest: there is no display to play on.
#include "tests/scenarios/engine/x_input.h"

namespace x_input {

bool Open() {
    return false;
}
void Move(int, int) {}
void Button(bool) {}
void Key(int, bool) {}
void Sync() {}

}  // namespace x_input
