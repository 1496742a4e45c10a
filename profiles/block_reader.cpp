// AISetting::Read: finds a profile's block by its header and takes the values from its lines.
#include <cstring>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"
#include "profiles/line_reader.h"

namespace {

// The value text of a key: everything after the first '=' at or after the key's first
// occurrence. Null when the key does not take the line.
const char* ValueOf(const char* line, const char* key) {
    const char* at = std::strstr(line, key);
    if (!at) {
        return nullptr;
    }
    const char* equals = std::strchr(at, '=');
    return equals ? equals + 1 : nullptr;
}

// Stores the value of the first key, in block order, that takes the line. False when none does.
bool TakeKeyLine(AISetting& profile, const char* line) {
    for (const block::IntKey& k : block::kIntKeys) {
        if (const char* value = ValueOf(line, k.key)) {
            profile.*k.field = block::ParseInt32(value);
            return true;
        }
    }
    for (const block::SwitchKey& k : block::kSwitchKeys) {
        if (const char* value = ValueOf(line, k.key)) {
            profile.*k.field = std::strstr(value, "true") != nullptr;
            return true;
        }
    }
    return false;
}

}  // namespace

bool AISetting::Read(std::FILE* in) {
    char header[block::kTextSize];
    block::FormatHeader(*this, header);

    char line[block::kTextSize];
    bool inBlock = false;
    while (block::ReadLine(in, line) == block::LineResult::kLine) {
        if (!inBlock) {
            inBlock = std::strstr(line, header) != nullptr;
        } else if (!TakeKeyLine(*this, line) && std::strchr(line, '}')) {
            return true;
        }
    }
    return false;
}
