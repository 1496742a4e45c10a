#pragma once
// Pieces of the profile block format that the reader and the writer share. The keys and the
// fields they name are the settings table's (profiles/settings_table.h).

#include <cstddef>
#include <cstdint>
#include <string_view>

class AISetting;

namespace block {

// A line of the format and a header: at most 255 characters and the terminator.
inline constexpr std::size_t kTextSize = 256;

// Forms "AISettings_<name>" into out (kTextSize bytes), cut to 253 characters so that the header
// line the writer makes of it fits the reader's line buffer. A profile without a name
// has the bare prefix as its header.
void FormatHeader(const AISetting& profile, char* out);

// Reads a base-10 integer as the C library does (leading white space, one optional sign,
// digits up to the first non-digit; no digits give 0), saturating at the 32-bit limits.
std::int32_t ParseInt32(std::string_view text);

}  // namespace block
