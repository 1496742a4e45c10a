// AISetting::Read: finds a profile's block by its header and takes the values from its lines.
#include <cstring>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"
#include "profiles/settings_table.h"
#include "profiles/text_input.h"

namespace {

// Stores the value of the first setting, in table order, whose key takes the line: the key
// occurs, and an '=' follows its first occurrence; the value is the text after that '='. False
// when no key takes the line.
bool TakeKeyLine(AISetting& profile, const char* line) {
    if (!std::strchr(line, '=')) {
        return false;  // such as the braces' lines
    }
    for (const Setting& setting : kSettings) {
        const char* key = std::strstr(line, setting.key);
        const char* equals = key ? std::strchr(key, '=') : nullptr;
        if (!equals) {
            continue;
        }
        if (setting.number) {
            profile.*setting.number = block::ParseInt32(equals + 1);
        } else {
            profile.*setting.flag = std::strstr(equals + 1, "true") != nullptr;
        }
        return true;
    }
    return false;
}

}  // namespace

bool AISetting::Read(block::TextInput& in) {
    char header[block::kTextSize];
    block::FormatHeader(*this, header);

    bool inBlock = false;
    while (const char* line = in.ReadLine()) {
        if (!inBlock) {
            // Nothing else on the header's line counts.
            inBlock = std::strstr(line, header) != nullptr;
        } else if (!TakeKeyLine(*this, line) && std::strchr(line, '}')) {
            return true;
        }
    }
    return false;
}
