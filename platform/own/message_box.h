#pragma once
// Inside the own layer: the message boxes that are open. Nothing outside platform/own includes
// this.

#include <string>
#include <vector>

#include "platform/own/win32.h"

namespace own {

struct OpenBox {
    HWND box;
    HWND okButton;
    std::string text;
    std::string title;
    UINT type;
};
// Message boxes that are open, oldest first.
const std::vector<OpenBox>& OpenBoxes();
void ForgetBoxes();

}  // namespace own
