#include "profiles/text_input.h"

#include <cstring>

namespace block {

namespace {
// Whether the text of a line, before any NUL byte, holds `wanted`.
bool Holds(const char* text, std::size_t length, std::string_view wanted) {
    if (const void* nul = std::memchr(text, '\0', length)) {
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    }
    return std::string_view(text, length).find(wanted) != std::string_view::npos;
}
}  // namespace

TextInput::TextInput(std::FILE* file) : file_(file) {}

TextInput::~TextInput() = default;

// Moves the bytes not yet taken to the front and reads more after them.
bool TextInput::Refill() {
    if (begin_ > 0) {
        std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
        checked_ = 0;
        fromStart_ = false;
    }
    std::size_t got = std::fread(buffer_ + end_, 1, kBufferSize - end_, file_);
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
        lf = static_cast<const char*>(std::memchr(buffer_ + begin_, '\n', window));
        if (lf || available >= kLongest || atEnd_) {
            break;
        }
        if (!Refill()) {
            return LineResult::kFailed;
        }
    }
    const char* start = buffer_ + begin_;
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
    if (begin_ > checked_) {
        checked_ = begin_;
    }
    return LineResult::kLine;
}

LineResult TextInput::TakeLinesBefore(std::size_t offset) {
    if (checked_ > begin_ && checked_ <= offset) {
        begin_ = checked_;
    }
    const char* text;
    std::size_t length;
    while (begin_ < offset) {
        LineResult result = NextLine(&text, &length);
        if (result != LineResult::kLine) {
            return result;
        }
    }
    return LineResult::kLine;
}

// `wanted` is looked for in all the buffered bytes at once; the lines before the one that holds
// it are only taken, to find a line too long or a failed read as reading them one by one would.
LineResult TextInput::SkipToLineWith(std::string_view wanted) {
    const char* text;
    std::size_t length;
    // A text that could reach across a line end is only found line by line.
    if (wanted.empty() || wanted.find('\n') != std::string_view::npos ||
        wanted.find('\r') != std::string_view::npos) {
        LineResult result;
        while ((result = NextLine(&text, &length)) == LineResult::kLine) {
            if (Holds(text, length, wanted)) {
                return result;
            }
        }
        return result;
    }
    for (;;) {
        const std::string_view buffered(buffer_, end_);
        // Where `wanted` is not buffered, every complete line is passed over; the last one,
        // perhaps cut by the end of the buffer, is taken (reading on where needed) and looked at
        // on its own.
        const std::size_t hit = buffered.find(wanted, begin_);
        std::size_t lineStart = hit == std::string_view::npos ? end_ : hit;
        while (lineStart > begin_ && buffered[lineStart - 1] != '\n') {
            --lineStart;
        }
        LineResult result = TakeLinesBefore(lineStart);
        if (result == LineResult::kLine) {
            result = NextLine(&text, &length);
        }
        if (result != LineResult::kLine) {
            return result;
        }
        if (hit == std::string_view::npos ? Holds(text, length, wanted)
                                          // Found in the text before any NUL byte; a NUL before
                                          // it hides it and the rest of the line.
                                          : !std::memchr(text, '\0', hit - lineStart)) {
            return result;
        }
    }
}

bool TextInput::Rewind() {
    // Every byte read so far is still in the buffer: the whole file, or nothing yet.
    if (fromStart_ && (atEnd_ || end_ == 0)) {
        begin_ = 0;
        return true;
    }
    if (std::fseek(file_, 0, SEEK_SET) != 0) {
        return false;
    }
    begin_ = end_ = checked_ = 0;
    atEnd_ = false;
    fromStart_ = true;
    return true;
}

}  // namespace block
