#include "profiles/line_reader.h"

#include <cstring>

namespace block {

LineResult ReadLine(std::FILE* in, char (&line)[kTextSize]) {
    // Room for 255 characters, CR, LF and the terminator. The buffer is zeroed first so that the
    // LF can be found even when the line holds NUL bytes.
    char raw[kTextSize + 2];
    std::memset(raw, 0, sizeof raw);
    if (!std::fgets(raw, sizeof raw, in)) {
        return std::ferror(in) ? LineResult::kFailed : LineResult::kEnd;
    }
    std::size_t length;
    if (const char* lf = static_cast<const char*>(std::memchr(raw, '\n', sizeof raw - 1))) {
        length = static_cast<std::size_t>(lf - raw);
        if (length > 0 && raw[length - 1] == '\r') {
            --length;
        }
    } else if (std::feof(in)) {
        length = std::strlen(raw);
    } else {
        return LineResult::kFailed;  // a read error, or the buffer filled without a line end
    }
    if (length >= kTextSize) {
        return LineResult::kFailed;
    }
    std::memcpy(line, raw, length);
    line[length] = '\0';
    return LineResult::kLine;
}

}  // namespace block
