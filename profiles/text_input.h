#pragma once
// A settings file opened for reading, taken line by line through a bounded buffer of its own.

#include <cstddef>
#include <cstdio>
#include <string_view>

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
    // Reads the file from its start, where the caller has left it (as an open does); does not
    // own the file.
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

    // Takes lines up to and including the first whose text, before any NUL byte, holds `wanted`:
    // kLine when there is one, else kEnd or kFailed where taking the lines one by one ends.
    LineResult SkipToLineWith(std::string_view wanted);

    // Goes back to the start of the file: free while the file's bytes read so far are all in the
    // buffer. False when the file cannot be repositioned.
    bool Rewind();

    // Large enough that a whole settings file fits, so that going back to its start is free.
    static constexpr std::size_t kBufferSize = 64 * 1024;

  private:
    bool Refill();
    // Takes the lines that start before `offset`, a line start in the buffer.
    LineResult TakeLinesBefore(std::size_t offset);

    std::FILE* file_;
    std::size_t begin_ = 0;  // first byte not yet taken
    std::size_t end_ = 0;    // one past the last byte read
    bool atEnd_ = false;     // the file has no more bytes after end_
    bool fromStart_ = true;  // buffer_[0] is the file's first byte
    // Every line that starts before this offset has been taken once without fault, so a rewound
    // search can pass over it without looking at each line again.
    std::size_t checked_ = 0;
    // Held in the object, which lives for one load: no allocation for every load.
    char buffer_[kBufferSize];
};

}  // namespace block
