// A save that fails at any step keeps the previous file byte for byte, removes its temporary
// file, reports the failure and returns false.
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "profiles/settings_file.h"
#include "tests/profiles/profile_fixture.h"

namespace {

const char kPath[] = "Core/AIConfig.ai";
const char kSaveError[] = "File error!\nCan't save AI settings.";
const char kPrevious[] = "previous contents\r\n";

// Real steps, except the one named by g_failing, which fails after doing its work.
int g_failing = -1;
std::FILE* Open(const char* path) {
    return g_failing == 0 ? nullptr : RealSaveFileSteps().open(path);
}
bool Flush(std::FILE* f) {
    return RealSaveFileSteps().flush(f) && g_failing != 1;
}
bool Sync(std::FILE* f) {
    return RealSaveFileSteps().sync(f) && g_failing != 2;
}
bool Close(std::FILE* f) {
    return RealSaveFileSteps().close(f) && g_failing != 3;
}
bool Replace(const char* from, const char* to) {
    return g_failing != 4 && RealSaveFileSteps().replace(from, to);
}
void Remove(const char* path) {
    RealSaveFileSteps().remove(path);
}
const SaveFileSteps kFailingSteps = {Open, Flush, Sync, Close, Replace, Remove};

class SaveFailure : public ProfileFileTest {
  protected:
    void SetUp() override {
        ProfileFileTest::SetUp();
        profiles_[2]->iDancing = 2;
    }
    void TearDown() override {
        SetSaveFileSteps(nullptr);
        ProfileFileTest::TearDown();
    }
    void ExpectFailedSave() {
        EXPECT_FALSE(SaveAISettings(kPath));
        ASSERT_EQ(1u, boxes_.boxes().size());
        EXPECT_EQ(kSaveError, boxes_.boxes()[0].text);
        EXPECT_EQ("Error", boxes_.boxes()[0].title);
        EXPECT_FALSE(FileExists(std::string(kPath) + ".tmp"));
        boxes_.Clear();
    }
};

TEST_F(SaveFailure, each_failing_step_keeps_the_previous_file) {
    const char* steps[] = {"open", "flush", "sync", "close", "replace"};
    SetSaveFileSteps(&kFailingSteps);
    for (g_failing = 0; g_failing < 5; ++g_failing) {
        SCOPED_TRACE(steps[g_failing]);
        WriteFileBytes(kPath, kPrevious);
        ExpectFailedSave();
        EXPECT_EQ(kPrevious, ReadFileBytes(kPath));
    }
    g_failing = -1;
    EXPECT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(1218u, ReadFileBytes(kPath).size());
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(SaveFailure, a_full_disk_part_way_keeps_the_previous_file) {
    // A file-size limit makes the writes fail part-way through the block, as a full disk would.
    std::string previous(1218, 'p');
    WriteFileBytes(kPath, previous);
    struct rlimit old;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &old));
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 500;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    bool saved = SaveAISettings(kPath);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(kSaveError, boxes_.boxes()[0].text);
    EXPECT_EQ(previous, ReadFileBytes(kPath));
    EXPECT_FALSE(FileExists(std::string(kPath) + ".tmp"));
}

TEST_F(SaveFailure, a_missing_core_folder_is_reported_and_not_created) {
    std::filesystem::remove_all("Core");
    ExpectFailedSave();
    EXPECT_FALSE(FileExists("Core"));
}

TEST_F(SaveFailure, core_being_a_file_is_reported_and_the_file_kept) {
    std::filesystem::remove_all("Core");
    WriteFileBytes("Core", kPrevious);
    ExpectFailedSave();
    EXPECT_EQ(kPrevious, ReadFileBytes("Core"));
}

TEST_F(SaveFailure, a_folder_in_place_of_the_file_is_kept) {
    std::filesystem::create_directory(kPath);
    ExpectFailedSave();
    EXPECT_TRUE(std::filesystem::is_directory(kPath));
}

}  // namespace
