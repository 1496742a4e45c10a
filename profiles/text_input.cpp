#include "profiles/text_input.h"

#include <cstring>

namespace block {

namespace {
// Large enough that a whole settings file fits, so that going back to its start is free.
constexpr std::size_t kBufferSize = 64 * 1024;
}  // namespace

TextInput::TextInput(std::FILE* file) : file_(file), buffer_(new char[kBufferSize]) {}

TextInput::~TextInput() = default;

// Moves the bytes not yet taken to the front and reads more after them.
bool TextInput::Refill() {
    if (begin_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        fromStart_ = false;
    }
    std::size_t got = std::fread(buffer_.get() + end_, 1, kBufferSize - end_, file_);
    end_ += got;
    if (got == 0 || end_ < kBufferSize) {
        if (std::ferror(file_)) {
            return false;
        }
        atEnd_ = std::feof(file_) != 0;
    }
    return true;
}

LineResult TextInput::ReadLine(char (&line)[kTextSize]) {
    const char* text;
    std::size_t length;
    LineResult result = NextLine(&text, &length);
    if (result == LineResult::kLine) {
        std::memcpy(line, text, length);
        line[length] = '\0';
    }
    return result;
}

LineResult TextInput::NextLine(const char** text, std::size_t* lineLength) {
    // A line of 255 characters with CR LF is the longest that can be taken.
    constexpr std::size_t kLongest = kTextSize + 1;
    const char* lf = nullptr;
    for (;;) {
        std::size_t available = end_ - begin_;
        std::size_t window = available < kLongest ? available : kLongest;
        lf = static_cast<const char*>(std::memchr(buffer_.get() + begin_, '\n', window));
        if (lf || available >= kLongest || atEnd_) {
            break;
        }
        if (!Refill()) {
            return LineResult::kFailed;
        }
    }
    const char* start = buffer_.get() + begin_;
    std::size_t length;
    if (lf) {
        length = static_cast<std::size_t>(lf - start);
        begin_ += length + 1;
        if (length > 0 && start[length - 1] == '\r') {
            --length;
        }
    } else if (atEnd_ && begin_ < end_ && end_ - begin_ < kLongest) {
        length = end_ - begin_;  // the last line, without a line end
        begin_ = end_;
    } else if (atEnd_ && begin_ == end_) {
        return LineResult::kEnd;
    } else {
        return LineResult::kFailed;
    }
    if (length >= kTextSize) {
        return LineResult::kFailed;
    }
    *text = start;
    *lineLength = length;
    return LineResult::kLine;
}

bool TextInput::Rewind() {
    if (fromStart_ && atEnd_) {
        begin_ = 0;  // the whole file is in the buffer
        return true;
    }
    if (std::fseek(file_, 0, SEEK_SET) != 0) {
        return false;
    }
    begin_ = end_ = 0;
    atEnd_ = false;
    fromStart_ = true;
    return true;
}

}  // namespace block
