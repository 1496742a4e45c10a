// What the control classes share beyond their own files.
#include <bitset>
#include <cstdio>

#include "platform/own/controls.h"

namespace own {

#ifndef NDEBUG
void ReportUnimplemented(const char* className, UINT message) {
    static std::bitset<0x10000> reported;
    if (message >= reported.size() || reported.test(message))
        return;
    reported.set(message);
    std::fprintf(stderr, "own Win32 layer: %s does not implement message 0x%04X\n", className,
                 message);
}
#endif

}  // namespace own
