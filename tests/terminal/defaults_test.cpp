// The defaults file shipped beside the program: read whole without a message, every value one
// the dialog can show, graded from Easy to Insane, and in the exact form the program writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/own/headless.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/settings_file.h"
#include "tests/support/test_support.h"

namespace {

const char* const kNames[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int Switches(const AISetting& p) {
    return p.bAlternativeStrategies + p.bHarassing + p.bMultiBuildings + p.bRelicUnits +
           p.bTurrets + p.bMines;
}

class DefaultsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        ProfileRegistry::ClearForTesting();
        for (int i = 0; i < 5; ++i)
            profiles[i] = std::make_unique<AISetting>(kNames[i]);
    }
    std::unique_ptr<AISetting> profiles[5];
    support::AutoAnswerBoxes boxes;
};

}  // namespace

TEST_F(DefaultsFile, holds_values_the_sliders_can_show_graded_from_easy_to_insane) {
    ASSERT_TRUE(LoadAISettings(AICP_DEFAULTS_FILE));
    EXPECT_TRUE(boxes.boxes().empty());
    for (const auto& p : profiles) {
        EXPECT_TRUE(p->iDancing >= 0 && p->iDancing <= 2) << p->szName;
        // Two minutes a slider step, 0 to 10 steps: an odd value would change when shown.
        EXPECT_TRUE(p->iAttackDelay >= 0 && p->iAttackDelay <= 20) << p->szName;
        EXPECT_EQ(0, p->iAttackDelay % 2) << p->szName;
        EXPECT_TRUE(p->iTechSpeed >= -2 && p->iTechSpeed <= 2) << p->szName;
        EXPECT_TRUE(p->iHandicap >= -2 && p->iHandicap <= 2) << p->szName;
    }
    for (int i = 1; i < 5; ++i) {
        const AISetting& easier = *profiles[i - 1];
        const AISetting& harder = *profiles[i];
        EXPECT_GE(harder.iDancing, easier.iDancing) << harder.szName;
        EXPECT_LE(harder.iAttackDelay, easier.iAttackDelay) << harder.szName;
        EXPECT_GE(harder.iTechSpeed, easier.iTechSpeed) << harder.szName;
        EXPECT_GE(harder.iHandicap, easier.iHandicap) << harder.szName;
        EXPECT_GE(Switches(harder), Switches(easier)) << harder.szName;
    }
    // The ends differ: Easy slow and gentle, Insane fast and aggressive.
    EXPECT_GT(profiles[0]->iAttackDelay, profiles[4]->iAttackDelay);
    EXPECT_LT(profiles[0]->iTechSpeed, profiles[4]->iTechSpeed);
    EXPECT_EQ(0, Switches(*profiles[0]));
    EXPECT_EQ(6, Switches(*profiles[4]));
}

TEST_F(DefaultsFile, is_byte_for_byte_what_the_program_writes) {
    ASSERT_TRUE(LoadAISettings(AICP_DEFAULTS_FILE));
    std::filesystem::path copy = std::filesystem::temp_directory_path() / "defaults-rewritten.ai";
    ASSERT_TRUE(SaveAISettings(copy.c_str()));
    EXPECT_EQ(Bytes(AICP_DEFAULTS_FILE), Bytes(copy));
    std::filesystem::remove(copy);
}
