// Loads arbitrary bytes as a settings file into the program's five profiles.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/own/headless.h"
#include "profiles/ai_setting.h"
#include "profiles/settings_file.h"
#include "tests/support/test_support.h"

namespace {

struct Harness {
    AISetting profiles[5] = {AISetting("Easy"), AISetting("Standard"), AISetting("Hard"),
                             AISetting("Harder"), AISetting("Insane")};
    support::AutoAnswerBoxes boxes;
    std::string path;

    Harness() {
        char folder[] = "/tmp/load-settings-fuzz-XXXXXX";
        if (!mkdtemp(folder)) {
            std::abort();
        }
        path = std::string(folder) + "/AIConfig.ai";
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Harness harness;
    std::FILE* file = std::fopen(harness.path.c_str(), "wb");
    if (!file) {
        std::abort();
    }
    if (size > 0) {
        std::fwrite(data, 1, size, file);
    }
    std::fclose(file);
    LoadAISettings(harness.path.c_str());
    harness.boxes.Clear();
    return 0;
}
