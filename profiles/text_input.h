#pragma once
// A settings file opened for reading, taken line by line through a buffer of its own.

#include <cstddef>
#include <cstdio>
#include <string_view>

#include "profiles/block_format.h"

namespace block {

class TextInput {
  public:
    // Reads the file from where the caller has left it; does not own the file.
    explicit TextInput(std::FILE* file);
    virtual ~TextInput();
    TextInput(const TextInput&) = delete;
    TextInput& operator=(const TextInput&) = delete;

    // Takes the next line, without its line end: a line ends at LF, a CR right before the LF is
    // not part of it, and the last line counts without a line end. Its text, which a NUL byte
    // ends early, stays valid until the next call. False at the end of the input, when the file
    // fails to read, and for a line of more than 255 characters.
    bool ReadLine(std::string_view* line);
    // Goes back to the file's first line. False when the file cannot be repositioned.
    bool Rewind();

  private:
    bool Refill();

    std::FILE* file_;
    std::size_t begin_ = 0;   // first byte not yet taken
    std::size_t end_ = 0;     // one past the last byte read
    bool atEnd_ = false;      // the file has no more bytes after end_
    bool holdsStart_ = true;  // buffer_[0] is the file's first byte
    // Read a block at a time: the C library's line reading costs more than the search in a line.
    // Held in the object, which lives for one load.
    static constexpr std::size_t kBlockSize = 64 * 1024;
    char buffer_[kBlockSize];
};

}  // namespace block
