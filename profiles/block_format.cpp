// The profile block format's shared pieces: the header and the number parser.
#include "profiles/block_format.h"

#include <cstring>

#include "profiles/ai_setting.h"

namespace block {

// Cut to 253 characters: the writer follows the header with " =" on the same line, and that
// line must fit the reader's 255. Names of up to 242 characters stay whole. Copied rather than
// printed, since every read forms its header anew.
void FormatHeader(const AISetting& profile, char* out) {
    static constexpr char kPrefix[] = "AISettings_";
    constexpr std::size_t kLongest = sizeof(kPrefix) - 1 + 242;
    std::memcpy(out, kPrefix, sizeof(kPrefix) - 1);
    std::size_t length = sizeof(kPrefix) - 1;
    for (const char* name = profile.szName; name && *name && length < kLongest; ++name) {
        out[length++] = *name;
    }
    out[length] = '\0';
}

std::int32_t ParseInt32(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) {
        ++p;
    }
    bool negative = p < end && *p == '-';
    if (p < end && (*p == '+' || *p == '-')) {
        ++p;
    }
    // Accumulate as a negative number, whose range reaches one further than the positive one.
    const std::int64_t limit = negative ? -std::int64_t{2147483648} : -std::int64_t{2147483647};
    std::int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 - (*p - '0');
        if (value < limit) {
            value = limit;
        }
    }
    return static_cast<std::int32_t>(negative ? value : -value);
}

}  // namespace block
