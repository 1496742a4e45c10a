// AISetting::Read: finds a profile's block by its header and takes the values from its lines.
#include <cstring>

#include "profiles/ai_setting.h"
#include "profiles/block_format.h"

namespace {

// The one key, in block order, that may start at p, told by its first characters (those of
// "bMultiBuildings" and "bMines" differ at the third); -1 where none can. The comparison that
// follows decides.
int KeyStartingAt(const char* p) {
    if (p[0] == 'i') {
        switch (p[1]) {
            case 'D':
                return 0;  // iDancing
            case 'A':
                return 1;  // iAttackDelay
            case 'T':
                return 2;  // iTechSpeed
            case 'H':
                return 3;  // iHandicap
        }
    } else if (p[0] == 'b') {
        switch (p[1]) {
            case 'A':
                return 4;  // bAlternativeStrategies
            case 'H':
                return 5;  // bHarassing
            case 'M':
                return p[2] == 'u' ? 6 : 9;  // bMultiBuildings, bMines
            case 'R':
                return 7;  // bRelicUnits
            case 'T':
                return 8;  // bTurrets
        }
    }
    return -1;
}

// The first key in block order whose first occurrence starts before `end`, or -1; `at` is
// set to that occurrence. One pass over the text, up to the first occurrence of the first key.
// No key holds another, so the scan goes on after the end of a key it has found.
int FirstKeyBefore(const char* line, const char* end, const char** at) {
    int best = -1;
    for (const char* p = line; p < end && best != 0; ++p) {
        int k = KeyStartingAt(p);
        if (k < 0 || (best >= 0 && k >= best)) {
            continue;
        }
        const block::Key& key = block::kKeys[k];
        // An occurrence that starts before end also ends before it, as keys hold no '='.
        if (key.length <= static_cast<std::size_t>(end - p) &&
            std::memcmp(p, key.text, key.length) == 0) {
            best = k;
            *at = p;
            p += key.length - 1;
        }
    }
    return best;
}

// Whether the text holds "true"; a value's text is a few characters long.
bool HoldsTrue(const char* text) {
    for (const char* t = std::strchr(text, 't'); t; t = std::strchr(t + 1, 't')) {
        if (t[1] == 'r' && t[2] == 'u' && t[3] == 'e') {
            return true;
        }
    }
    return false;
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
    const block::Key& key = block::kKeys[k];
    // The line's last '=' stands after the key, so the first one after it is found.
    const char* value = at + key.length;
    while (*value != '=') {
        ++value;
    }
    ++value;
    if (key.number) {
        profile.*key.number = block::ParseInt32(value);
    } else {
        profile.*key.flag = HoldsTrue(value);
    }
    return true;
}

}  // namespace

bool AISetting::Read(block::TextInput& in) {
    char header[block::kTextSize];
    block::FormatHeader(*this, header);

    if (in.SkipToLineWith(header) != block::LineResult::kLine) {
        return false;
    }
    char line[block::kTextSize];
    while (in.ReadLine(line) == block::LineResult::kLine) {
        if (!TakeKeyLine(*this, line) && std::strchr(line, '}')) {
            return true;
        }
    }
    return false;
}
