#include "profiles/text_input.h"

#include <cstring>

namespace block {

TextInput::TextInput(std::FILE* file) : file_(file) {}

TextInput::~TextInput() = default;

bool TextInput::ReadLine(std::string_view* line) {
    // fgets does not say how much it read, and a NUL byte in the line hides it. Two marks at the
    // buffer's end do: fgets ends what it read with a terminator, so a mark overwritten by one
    // tells that the line reached that far.
    char* const end = line_ + sizeof line_;
    end[-1] = end[-2] = '\n';
    if (!std::fgets(line_, sizeof line_, file_)) {
        return false;  // the end of the input, or the file failed to read
    }
    // Filled: 257 bytes, a whole line only as 255 characters and CR LF. Ended one short: 256
    // bytes, a whole line only with its LF.
    bool tooLong = end[-1] == '\0' ? !(end[-2] == '\n' && end[-3] == '\r')
                                  : end[-2] == '\0' && end[-3] != '\n';
    if (tooLong) {
        return false;
    }
    // The text ends at the first NUL, which is the terminator where the line holds none.
    std::size_t length = std::strlen(line_);
    if (length > 0 && line_[length - 1] == '\n') {
        --length;
        if (length > 0 && line_[length - 1] == '\r') {
            --length;
        }
    }
    *line = std::string_view(line_, length);
    return true;
}

bool TextInput::Rewind() {
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

}  // namespace block
