// Loads arbitrary bytes as a settings file into the program's five profiles.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "profiles/ai_setting.h"
#include "profiles/settings_file.h"
#include "tests/support/test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AISetting profiles[5] = {AISetting("Easy"), AISetting("Standard"), AISetting("Hard"),
                                    AISetting("Harder"), AISetting("Insane")};
    static support::AutoAnswerBoxes boxes;
    static char folder[] = "/tmp/load-settings-fuzz-XXXXXX";
    static const std::string path =
        std::string(mkdtemp(folder) ? folder : (std::abort(), "")) + "/AIConfig.ai";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0)
        std::abort();
    LoadAISettings(path.c_str());
    boxes.Clear();
    return 0;
}
