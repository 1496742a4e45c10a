// AISetting::Read: finds a profile's block by its header and takes the values from its lines.
#include <string_view>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"
#include "profiles/settings_table.h"
#include "profiles/text_input.h"

namespace {

// Stores the value of the first setting, in table order, whose key takes the line: the key
// occurs, and an '=' follows its first occurrence; the value is the text after that '='. False
// when no key takes the line.
bool TakeKeyLine(AISetting& profile, std::string_view line) {
    constexpr auto npos = std::string_view::npos;
    if (line.find('=') == npos) {
        return false;  // such as the braces' lines
    }
    for (const Setting& setting : kSettings) {
        std::size_t key = line.find(setting.key);
        std::size_t equals = key == npos ? npos : line.find('=', key);
        if (equals == npos) {
            continue;
        }
        // Not substr, which can throw: that alone would link the exception runtime into the .exe.
        std::string_view value = line;
        value.remove_prefix(equals + 1);
        if (setting.number) {
            profile.*setting.number = block::ParseInt32(value);
        } else {
            profile.*setting.switchField = value.find("true") != npos;
        }
        return true;
    }
    return false;
}

}  // namespace

bool AISetting::Read(block::TextInput& in) {
    char text[block::kTextSize];
    block::FormatHeader(*this, text);
    const std::string_view header(text);

    bool inBlock = false;
    std::string_view line;
    while (in.ReadLine(&line)) {
        if (!inBlock) {
            // Nothing else on the header's line counts.
            inBlock = line.find(header) != std::string_view::npos;
        } else if (!TakeKeyLine(*this, line) && line.find('}') != std::string_view::npos) {
            return true;
        }
    }
    return false;
}
