#include "profiles/text_input.h"

#include <algorithm>
#include <cstring>

namespace block {

TextInput::TextInput(std::FILE* file) : file_(file) {}

TextInput::~TextInput() = default;

// Moves the bytes not yet taken to the front and reads more after them.
bool TextInput::Refill() {
    std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    std::size_t wanted = kBlockSize - end_;
    std::size_t got = std::fread(buffer_ + end_, 1, wanted, file_);
    end_ += got;
    atEnd_ = got < wanted;
    return !std::ferror(file_);
}

const char* TextInput::ReadLine() {
    // The longest line that fits, 255 characters, with its CR LF.
    constexpr std::size_t kLongest = kTextSize + 1;
    char* lf = nullptr;
    for (;;) {
        std::size_t available = end_ - begin_;
        lf = static_cast<char*>(std::memchr(buffer_ + begin_, '\n', std::min(available, kLongest)));
        if (lf || available >= kLongest || atEnd_) {
            break;
        }
        if (!Refill()) {
            return nullptr;
        }
    }
    char* start = buffer_ + begin_;
    // Without a line end, the rest of the input: the last line, or a line too long.
    std::size_t length = lf ? static_cast<std::size_t>(lf - start) : end_ - begin_;
    begin_ += lf ? length + 1 : length;
    if (lf && length > 0 && start[length - 1] == '\r') {
        --length;
    }
    if ((!lf && length == 0) || length >= kTextSize) {
        return nullptr;
    }
    start[length] = '\0';
    return start;
}

bool TextInput::Rewind() {
    begin_ = end_ = 0;
    atEnd_ = false;
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

}  // namespace block
