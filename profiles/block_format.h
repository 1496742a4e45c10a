#pragma once
// Pieces of the profile block format that the reader and the writer share.

#include <cstddef>
#include <cstdint>

class AISetting;

namespace block {

// Header text and line buffer: at most 255 characters and the terminator.
inline constexpr std::size_t kTextSize = 256;

// Forms "AISettings_<name>" into out (kTextSize bytes), cut to fit. A profile without a name
// has the bare prefix as its header.
void FormatHeader(const AISetting& profile, char* out);

// The ten settings in block order, which is also the order in which the reader tests the keys.
struct IntKey {
    const char* key;
    std::int32_t AISetting::*field;
};
struct SwitchKey {
    const char* key;
    bool AISetting::*field;
};
extern const IntKey kIntKeys[4];
extern const SwitchKey kSwitchKeys[6];

// Reads a base-10 integer as the C library does (leading white space, one optional sign,
// digits up to the first non-digit; no digits give 0), saturating at the 32-bit limits.
std::int32_t ParseInt32(const char* text);

}  // namespace block
