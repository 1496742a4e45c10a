// Message boxes. For now a box is answered at once: recorded by the test that listens, or
// written to standard error.
#include <cstdio>

#include "platform/own/headless.h"

namespace {
headless::AutoAnswerBoxes* g_listener = nullptr;
}

namespace headless {
AutoAnswerBoxes::AutoAnswerBoxes() : previous_(g_listener) { g_listener = this; }
AutoAnswerBoxes::~AutoAnswerBoxes() { g_listener = previous_; }
}  // namespace headless

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    headless::ShownBox box{owner, text ? text : "", caption ? caption : "", type};
    if (g_listener) {
        g_listener->Record(box);
    } else {
        std::fprintf(stderr, "[%s] %s\n", box.title.c_str(), box.text.c_str());
    }
    return IDOK;
}
