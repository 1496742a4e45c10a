// Loads arbitrary bytes as a settings file into the program's five profiles. The load must leave
// each profile, up to the first whose block is missing or unfinished, as a read from the file's
// first line leaves it, and the later ones as they were, with one message for a malformed file;
// saving what it loaded and loading that again gives the same profiles.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "profiles/profile_registry.h"
#include "profiles/settings_file.h"
#include "profiles/settings_table.h"
#include "profiles/text_input.h"
#include "tests/support/test_support.h"

namespace {

AISetting g_profiles[] = {AISetting(kProfileNames[0]), AISetting(kProfileNames[1]),
                          AISetting(kProfileNames[2]), AISetting(kProfileNames[3]),
                          AISetting(kProfileNames[4])};

void Check(bool holds) {
    if (!holds)
        std::abort();
}

// Values that no file of the corpus holds, others in every profile and setting.
void Scramble() {
    for (int i = 0; i < 5; ++i)
        for (int row = 0; row < kSettingCount; ++row)
            if (kSettings[row].number)
                g_profiles[i].*kSettings[row].number = -1000 - 10 * i - row;
            else
                g_profiles[i].*kSettings[row].switchField = (i + row) % 2;
}

std::vector<std::int32_t> Values() {
    std::vector<std::int32_t> values;
    for (const AISetting& p : g_profiles)
        for (const Setting& s : kSettings)
            values.push_back(s.number ? p.*s.number : p.*s.switchField);
    return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    support::AutoAnswerBoxes boxes;
    static char folder[] = "/tmp/load-settings-fuzz-XXXXXX";
    static const std::string path =
        std::string(mkdtemp(folder) ? folder : (std::abort(), "")) + "/AIConfig.ai";
    static const std::string saved = std::string(folder) + "/saved.ai";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file && (!size || std::fwrite(data, 1, size, file) == size) && std::fclose(file) == 0);

    // Each profile read on its own from the first line, up to the first without a whole block.
    Scramble();
    bool complete = true;
    for (AISetting& p : g_profiles) {
        std::FILE* in = std::fopen(path.c_str(), "rb");
        block::TextInput input(in);
        complete = complete && p.Read(input);
        std::fclose(in);
    }
    const std::vector<std::int32_t> expected = Values();
    Scramble();
    Check(LoadAISettings(path.c_str()) && Values() == expected);
    Check(boxes.boxes().size() == (complete ? 0u : 1u));
    Check(SaveAISettings(saved.c_str()));
    Scramble();
    Check(LoadAISettings(saved.c_str()) && Values() == expected);
    Check(boxes.boxes().size() == (complete ? 0u : 1u));
    return 0;
}
