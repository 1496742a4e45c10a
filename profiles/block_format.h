#pragma once
// Pieces of the profile block format that the reader and the writer share.

#include <cstddef>
#include <cstdint>

#include "profiles/text_input.h"

class AISetting;

namespace block {

// Forms "AISettings_<name>" into out (kTextSize bytes), cut to 253 characters so that the header
// line the writer makes of it fits the reader's line buffer. A profile without a name
// has the bare prefix as its header.
void FormatHeader(const AISetting& profile, char* out);

// The ten settings in block order, which is also the order in which the reader tests the keys.
// Each is either a number or a switch.
struct Key {
    const char* text;
    std::size_t length;
    std::int32_t AISetting::*number;
    bool AISetting::*flag;
};
inline constexpr int kKeyCount = 10;
extern const Key kKeys[kKeyCount];

// Reads a base-10 integer as the C library does (leading white space, one optional sign,
// digits up to the first non-digit; no digits give 0), saturating at the 32-bit limits.
std::int32_t ParseInt32(const char* text);

}  // namespace block
