#include "platform/own/resources.h"

namespace own {

void SetProgramResources(const void*, std::size_t) {}

bool FindProgramResource(unsigned, unsigned, const unsigned char**, std::size_t*, unsigned*) {
    return false;
}

}  // namespace own
