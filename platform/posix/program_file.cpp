// The running program's file, on Linux: /proc/self/exe names it.
#include "platform/posix/program_file.h"

#include <unistd.h>

#include <climits>

std::string ProgramFilePath() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer)
        return std::string();
    return std::string(buffer, static_cast<std::size_t>(n));
}
