#include "profiles/text_input.h"

#include <algorithm>
#include <cstring>

namespace block {

TextInput::TextInput(std::FILE* file) : file_(file) {}

TextInput::~TextInput() = default;

bool TextInput::ReadLine(std::string_view* line) {
    // A NUL byte in a line hides where fgets stopped. Filled with LFs first, the buffer shows it:
    // a line end read is the first LF, with the terminator right after it; without one the
    // terminator stands right before the first LF of the filling, or (no LF at all) at the end.
    std::memset(line_, '\n', sizeof line_);
    if (!std::fgets(line_, sizeof line_, file_)) {
        return false;  // the end of the input, or the file failed to read
    }
    const char* lf = static_cast<const char*>(std::memchr(line_, '\n', sizeof line_));
    std::size_t at = lf ? static_cast<std::size_t>(lf - line_) : sizeof line_;
    bool ended = at + 1 < sizeof line_ && line_[at + 1] == '\0';
    std::size_t length = ended ? at : at - 1;
    if (ended && length > 0 && line_[length - 1] == '\r') {
        --length;
    }
    // Also a line that filled the buffer without its line end.
    if (length >= kTextSize) {
        return false;
    }
    // Not substr, which can throw: that alone would link the exception runtime into the .exe.
    *line = std::string_view(line_, std::min(length, std::string_view(line_, length).find('\0')));
    return true;
}

bool TextInput::Rewind() {
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

}  // namespace block
