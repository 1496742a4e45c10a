#pragma once
// A settings file opened for reading, taken line by line through a bounded buffer of its own.

#include <cstddef>
#include <cstdio>
#include <memory>

namespace block {

// Line buffer and header text: at most 255 characters and the terminator.
inline constexpr std::size_t kTextSize = 256;

enum class LineResult {
    kLine,    // a line is in the buffer, without its line end
    kEnd,     // the input ended before another line
    kFailed,  // the file failed to read, or the line is longer than the buffer holds
};

class TextInput {
  public:
    // Reads from the file's current position; does not own the file.
    explicit TextInput(std::FILE* file);
    virtual ~TextInput();
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;

    // Takes the next line. A line ends at LF; a CR right before the LF is not part of it. The
    // last line counts even without a line end. A NUL byte ends the line's text early.
    LineResult ReadLine(char (&line)[kTextSize]);
    // The same, without the copy: the line's text stays valid until the next call. It is not
    // terminated and may hold NUL bytes.
    LineResult NextLine(const char** text, std::size_t* length);

    // Goes back to the start of the file. False when the file cannot be repositioned.
    bool Rewind();

  private:
    bool Refill();

    std::FILE* file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0;  // first byte not yet taken
    std::size_t end_ = 0;    // one past the last byte read
    bool atEnd_ = false;     // the file has no more bytes after end_
    bool fromStart_ = true;  // buffer_[0] is the file's first byte
};

}  // namespace block
