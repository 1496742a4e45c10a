// The entry's first steps: where the program's folder is, and when start-up gives up.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "platform/own/headless.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"
#include "tests/support/test_support.h"

namespace {

int RunProgram(const std::string& path, HINSTANCE instance = own::ProgramInstance()) {
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    support::SetModulePathForTesting(path);
    char commandLine[] = "ignored";
    return WinMain(instance, nullptr, commandLine, 0);
}

TEST(start_up, gives_up_with_exit_code_0_before_any_window_without_a_folder) {
    EXPECT_EQ(0, RunProgram("AIControlPanel"));
    EXPECT_EQ(0, RunProgram("/tmp/AIControlPanel", reinterpret_cast<HINSTANCE>(0x10)));
    EXPECT_TRUE(headless::Windows().empty());
}

// Cutting the separator off would leave no folder at all (or, on Windows, a bare drive letter,
// which names that drive's current folder rather than its root). The program is stopped at its
// first wait with an exit status that tells the folder it works in.
TEST(start_up, a_program_in_the_root_folder_works_there) {
    auto run = [] {
        support::ScriptedInput script;
        script.Then([] {
            char folder[PATH_MAX] = "";
            _exit(getcwd(folder, sizeof(folder)) && std::string(folder) == "/" ? 3 : 4);
        });
        RunProgram("/AIControlPanel");
    };
    EXPECT_EXIT(run(), testing::ExitedWithCode(3), "");
}

}  // namespace
