#pragma once
// One difficulty profile of the computer opponent, and its text block in a settings file.

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace block {
class TextInput;
}

class AISetting {
  public:
    // Copies the name (which may be null) and appends the new profile to ProfileRegistry.
    explicit AISetting(const char* name);
    virtual ~AISetting();
    AISetting(const AISetting&) = delete;
    AISetting& operator=(const AISetting&) = delete;

    // Room for a block's text: 14 lines, none longer than a header line with its end.
    static constexpr std::size_t kBlockRoom = 14 * (256 + 10);

    // Writes this profile's 14-line block (CR LF line ends) into text; returns its length.
    std::size_t Write(char (&text)[kBlockRoom]) const;
    // Scans the input from its current position for this profile's block and takes the values
    // found in it. True when the block's closing line was reached; false when the input ended
    // first, a line was longer than the format allows, or the file failed to read.
    bool Read(block::TextInput& in);

    char* szName;
    std::int32_t iDancing;
    std::int32_t iAttackDelay;
    std::int32_t iTechSpeed;
    std::int32_t iHandicap;
    bool bAlternativeStrategies;
    bool bHarassing;
    bool bMultiBuildings;
    bool bRelicUnits;
    bool bTurrets;
    bool bMines;
};
