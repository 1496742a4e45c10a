// AISetting::Read: finds a profile's block by its header and takes the values from its lines.
#include <cstring>
#include <string_view>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"

namespace {

// The first key in block order whose first occurrence starts before `end`, or -1; `at` is
// set to that occurrence. One pass over the text, trying at each position only the keys that
// would beat the best one found so far.
int FirstKeyBefore(const char* line, const char* end, const char** at) {
    int best = -1;
    for (const char* p = line; p < end; ++p) {
        if (*p != 'i' && *p != 'b') {
            continue;  // every key starts with its type prefix
        }
        int limit = best < 0 ? block::kKeyCount : best;
        for (int k = 0; k < limit; ++k) {
            const block::Key& key = block::kKeys[k];
            // An occurrence that starts before end also ends before it, as keys hold no '='.
            if (*p == key.text[0] && key.length <= static_cast<std::size_t>(end - p) &&
                std::memcmp(p, key.text, key.length) == 0) {
                best = k;
                *at = p;
                break;
            }
        }
    }
    return best;
}

// Stores the value of the first key, in block order, that takes the line: the key occurs and an
// '=' follows its first occurrence; the value is the text after that '='. False when no key
// takes the line.
bool TakeKeyLine(AISetting& profile, const char* line) {
    // A key can only take the line if it starts before the line's last '=' (keys hold no '=').
    const char* lastEquals = std::strrchr(line, '=');
    const char* at = nullptr;
    int k = lastEquals ? FirstKeyBefore(line, lastEquals, &at) : -1;
    if (k < 0) {
        return false;
    }
    const char* value = std::strchr(at, '=') + 1;
    const block::Key& key = block::kKeys[k];
    if (key.number) {
        profile.*key.number = block::ParseInt32(value);
    } else {
        profile.*key.flag = std::strstr(value, "true") != nullptr;
    }
    return true;
}

}  // namespace

bool AISetting::Read(block::TextInput& in) {
    char header[block::kTextSize];
    block::FormatHeader(*this, header);

    // Searching: the header is looked for in place, in the text before any NUL byte.
    const std::string_view wanted(header);
    for (;;) {
        const char* text;
        std::size_t length;
        if (in.NextLine(&text, &length) != block::LineResult::kLine) {
            return false;
        }
        if (const void* nul = std::memchr(text, '\0', length)) {
            length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
        }
        if (std::string_view(text, length).find(wanted) != std::string_view::npos) {
            break;
        }
    }
    char line[block::kTextSize];
    while (in.ReadLine(line) == block::LineResult::kLine) {
        if (!TakeKeyLine(*this, line) && std::strchr(line, '}')) {
            return true;
        }
    }
    return false;
}
