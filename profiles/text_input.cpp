#include "profiles/text_input.h"

#include <algorithm>
#include <cstring>

namespace block {

TextInput::TextInput(std::FILE* file) : file_(file) {}

TextInput::~TextInput() = default;

// Moves the bytes not yet taken to the front and reads more after them.
bool TextInput::Refill() {
    if (begin_ > 0) {
        std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        holdsStart_ = false;
    }
    std::size_t wanted = kBlockSize - end_;
    std::size_t got = std::fread(buffer_ + end_, 1, wanted, file_);
    end_ += got;
    atEnd_ = got < wanted;
    return !std::ferror(file_);
}

bool TextInput::ReadLine(std::string_view* line) {
    // The longest line that fits, 255 characters, with its CR LF.
    constexpr std::size_t kLongest = kTextSize + 1;
    const char* lf = nullptr;
    for (;;) {
        std::size_t available = end_ - begin_;
        lf = static_cast<const char*>(
            std::memchr(buffer_ + begin_, '\n', std::min(available, kLongest)));
        if (lf || available >= kLongest || atEnd_) {
            break;
        }
        if (!Refill()) {
            return false;
        }
    }
    const char* start = buffer_ + begin_;
    // Without a line end, the rest of the input: the last line, or a line too long.
    std::size_t length = lf ? static_cast<std::size_t>(lf - start) : end_ - begin_;
    begin_ += lf ? length + 1 : length;
    if (lf && length > 0 && start[length - 1] == '\r') {
        --length;
    }
    if ((!lf && length == 0) || length >= kTextSize) {
        return false;
    }
    // The buffer is left as it was read, so that going back to the start can reuse it.
    *line = std::string_view(start, length);
    // Not substr, which can throw: that alone would link the exception runtime into the .exe.
    *line = std::string_view(line->data(), std::min(line->size(), line->find('\0')));
    return true;
}

bool TextInput::Rewind() {
    begin_ = 0;
    // A file that fits the buffer is read once: its start is still there.
    if (holdsStart_ && atEnd_) {
        return true;
    }
    end_ = 0;
    atEnd_ = false;
    holdsStart_ = true;
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

}  // namespace block
