// AISetting::Write: the one fixed layout of a profile block.
#include <cstdio>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"
#include "profiles/settings_table.h"

namespace {

// Writes one line with its CR LF end. The save writes a temporary file that no one reads before
// it is complete, so the lines are not flushed one by one; errors stay in the stream's flag.
void PutLine(std::FILE* out, const char* text) {
    std::fputs(text, out);
    std::fputs("\r\n", out);
}

}  // namespace

void AISetting::Write(std::FILE* out) const {
    char header[block::kTextSize];
    block::FormatHeader(*this, header);

    char line[block::kTextSize + 8];
    PutLine(out, "");
    std::snprintf(line, sizeof line, "%s =", header);
    PutLine(out, line);
    PutLine(out, "{");
    for (const Setting& setting : kSettings) {
        if (setting.number) {
            std::snprintf(line, sizeof line, "\t%s = %ld,", setting.key,
                          static_cast<long>(this->*setting.number));
        } else {
            std::snprintf(line, sizeof line, "\t%s = %s,", setting.key,
                          this->*setting.switchField ? "true" : "false");
        }
        PutLine(out, line);
    }
    PutLine(out, "}");
}
