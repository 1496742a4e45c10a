// AISetting::Write: the one fixed layout of a profile block.
#include <cstdio>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"

namespace {

// Writes one line with its CR LF end and hands it on to the file at once. Errors stay in the
// stream's error flag, which the save checks.
void PutLine(std::FILE* out, const char* text) {
    std::fputs(text, out);
    std::fputs("\r\n", out);
    std::fflush(out);
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
    for (const block::IntKey& k : block::kIntKeys) {
        std::snprintf(line, sizeof line, "\t%s = %ld,", k.key, static_cast<long>(this->*k.field));
        PutLine(out, line);
    }
    for (const block::SwitchKey& k : block::kSwitchKeys) {
        std::snprintf(line, sizeof line, "\t%s = %s,", k.key, this->*k.field ? "true" : "false");
        PutLine(out, line);
    }
    PutLine(out, "}");
}
