// AISetting::Write: the one fixed layout of a profile block.
#include <cstdio>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"
#include "profiles/settings_table.h"

namespace {

// Where a block's lines go: its end moves on with each line.
struct Lines {
    char* end;
};

// Appends one line with its CR LF end.
void PutLine(Lines& out, const char* text) {
    for (const char* c : {text, "\r\n"}) {
        while (*c) {
            *out.end++ = *c++;
        }
    }
}

}  // namespace

std::size_t AISetting::Write(char (&text)[kBlockRoom]) const {
    Lines out{text};
    char header[block::kTextSize];
    block::FormatHeader(*this, header);

    char line[block::kTextSize + 8];
    PutLine(out, "");
    std::snprintf(line, sizeof line, "%s =", header);
    PutLine(out, line);
    PutLine(out, "{");
    // The keys are literals: their text ends with a NUL.
    for (const Setting& setting : kSettings) {
        if (setting.number) {
            std::snprintf(line, sizeof line, "\t%s = %ld,", setting.key.data(),
                          static_cast<long>(this->*setting.number));
        } else {
            std::snprintf(line, sizeof line, "\t%s = %s,", setting.key.data(),
                          this->*setting.switchField ? "true" : "false");
        }
        PutLine(out, line);
    }
    PutLine(out, "}");
    return static_cast<std::size_t>(out.end - text);
}
