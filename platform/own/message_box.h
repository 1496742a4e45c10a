#pragma once
// Inside the own layer: the message boxes that are open (headless::OpenBoxes lists them).

#include "platform/own/win32.h"

namespace own {

// Forgets the message boxes that are open.
void ForgetBoxes();

}  // namespace own
