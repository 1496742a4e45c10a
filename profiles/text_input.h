#pragma once
// A settings file opened for reading, taken line by line.

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
    std::FILE* file_;
    // The longest line that fits, 255 characters with its CR LF, and the terminator.
    char line_[kTextSize + 2];
};

}  // namespace block
