#pragma once
// Takes one line of a settings file into a bounded buffer.

#include <cstdio>

#include "profiles/block_format.h"

namespace block {

enum class LineResult {
    kLine,    // a line is in the buffer, without its line end
    kEnd,     // the input ended before another line
    kFailed,  // the stream failed, or the line is longer than the buffer holds
};

// A line ends at LF; a CR right before the LF is not part of it. The last line of the input
// counts even without a line end. Text after a NUL byte in a line is not seen.
// The stream is left right after the line taken.
LineResult ReadLine(std::FILE* in, char (&line)[kTextSize]);

}  // namespace block
