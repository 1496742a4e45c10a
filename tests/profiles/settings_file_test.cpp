// The settings file as a whole: what a load takes, and a save that replaces the file in one step,
// leaves nothing behind and keeps what the file is.
#include <sys/stat.h>
#include <unistd.h>

#include "profiles/settings_file.h"
#include "tests/profiles/profile_fixture.h"

namespace {

namespace fs = std::filesystem;

const char kPath[] = "Core/AIConfig.ai";
const char kSaveError[] = "File error!\nCan't save AI settings.";
const char kPrevious[] = "previous contents\r\n";
const uid_t kOtherUser = 4321;

long EntriesIn(const char* folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

class SettingsFile : public ProfileFileTest {
  protected:
    void TearDown() override {
        SetSaveFileSteps(nullptr);
        ProfileFileTest::TearDown();
    }
    // Exactly this one box was shown since the last look.
    void ExpectBox(const char* text) {
        EXPECT_EQ(std::vector<std::string>{text}, boxes_.boxes());
        boxes_.Clear();
    }
    // The save fails with its message and adds nothing to the folder.
    void ExpectRefusedSave() {
        long entries = EntriesIn("Core");
        EXPECT_FALSE(SaveAISettings(kPath));
        ExpectBox(kSaveError);
        EXPECT_EQ(entries, EntriesIn("Core"));
    }
};

// Real steps, except the one named by g_failing, which fails after doing its work.
int g_failing = -1;
const SaveFileSteps kFailingSteps = {
    [](const char* target, char (&temporary)[kFilePathSize]) {
        return g_failing == 0 ? nullptr : RealSaveFileSteps().open(target, temporary);
    },
    [](std::FILE* f) { return RealSaveFileSteps().flush(f) && g_failing != 1; },
    [](std::FILE* f) { return RealSaveFileSteps().sync(f) && g_failing != 2; },
    [](std::FILE* f) { return RealSaveFileSteps().close(f) && g_failing != 3; },
    [](const char* from, const char* to) {
        return g_failing != 4 && RealSaveFileSteps().replace(from, to);
    },
    RealSaveFileSteps().remove};

TEST_F(SettingsFile, a_failing_step_keeps_the_previous_file_and_leaves_nothing_behind) {
    SetSaveFileSteps(&kFailingSteps);
    for (g_failing = 0; g_failing < 5; ++g_failing) {
        SCOPED_TRACE(g_failing);
        WriteFileBytes(kPath, kPrevious);
        ExpectRefusedSave();
        EXPECT_EQ(kPrevious, ReadFileBytes(kPath));
    }
}

// Game folders are often linked together: the file the game reads is the one the links lead to.
TEST_F(SettingsFile, a_save_writes_through_a_chain_of_links_that_stays) {
    fs::create_directory("real");
    WriteFileBytes("real/AIConfig.ai", kPrevious);
    fs::create_symlink("../real/AIConfig.ai", "Core/link");
    fs::create_symlink("link", kPath);
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ("link", fs::read_symlink(kPath));
    EXPECT_EQ(1218u, ReadFileBytes("real/AIConfig.ai").size());
    EXPECT_EQ(1, EntriesIn("real"));
    // A link to nothing: the file it names is made.
    fs::remove("real/AIConfig.ai");
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(1218u, ReadFileBytes("real/AIConfig.ai").size());
    // Links that lead round in a circle.
    fs::remove("Core/link");
    fs::create_symlink("AIConfig.ai", "Core/link");
    ExpectRefusedSave();
}

TEST_F(SettingsFile, a_save_keeps_permissions_and_owner_and_a_new_file_gets_the_umask) {
    bool root = geteuid() == 0;
    WriteFileBytes(kPath, kPrevious);
    ASSERT_EQ(0, chmod(kPath, 0600));
    ASSERT_TRUE(!root || chown(kPath, kOtherUser, kOtherUser) == 0);
    ASSERT_TRUE(SaveAISettings(kPath));
    struct stat info;
    ASSERT_EQ(0, stat(kPath, &info));
    EXPECT_EQ(0600u, info.st_mode & 07777);
    EXPECT_EQ(root ? kOtherUser : geteuid(), info.st_uid);
    EXPECT_EQ(root ? kOtherUser : getegid(), info.st_gid);

    fs::remove(kPath);
    mode_t mask = umask(027);
    ASSERT_TRUE(SaveAISettings(kPath));
    umask(mask);
    ASSERT_EQ(0, stat(kPath, &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
}

// Read-only means no write permission for anyone, even to root, as Windows' read-only attribute
// binds administrators. Nothing but a plain file is loaded or replaced; a pipe must not hold the
// program up.
TEST_F(SettingsFile, read_only_files_folders_and_pipes_are_neither_replaced_nor_loaded) {
    WriteFileBytes(kPath, kPrevious);
    ASSERT_EQ(0, chmod(kPath, 0444));
    ASSERT_TRUE(geteuid() != 0 || chown(kPath, kOtherUser, kOtherUser) == 0);
    ExpectRefusedSave();
    EXPECT_EQ(kPrevious, ReadFileBytes(kPath));
    fs::remove(kPath);
    fs::create_directory(kPath);
    ExpectRefusedSave();
    EXPECT_FALSE(LoadAISettings(kPath));
    ExpectBox("File error!\nUsing default settings now.");
    fs::remove(kPath);
    ASSERT_EQ(0, mkfifo(kPath, 0600));
    ExpectRefusedSave();
    EXPECT_FALSE(LoadAISettings(kPath));
    ExpectBox("File error!\nUsing default settings now.");
    EXPECT_TRUE(fs::is_fifo(kPath));
}

// Anyone who may write the folder can plant a link where the save might put its file, and a save
// that died leaves its file behind: neither is opened, and neither stands in the way.
TEST_F(SettingsFile, a_save_neither_follows_nor_trips_over_planted_links_and_leftovers) {
    WriteFileBytes("victim", kPrevious);
    fs::create_symlink("../victim", "Core/AIConfig.ai.tmp");
    char leftover[kFilePathSize];
    std::FILE* file = RealSaveFileSteps().open(kPath, leftover);
    ASSERT_NE(nullptr, file);
    std::fclose(file);
    fs::remove(leftover);
    fs::create_symlink("../victim", leftover);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(SaveAISettings(kPath));
    }
    EXPECT_EQ(kPrevious, ReadFileBytes("victim"));
    EXPECT_EQ(1218u, ReadFileBytes(kPath).size());
    EXPECT_FALSE(fs::is_symlink(kPath));
    EXPECT_EQ(3, EntriesIn("Core"));
}

}  // namespace
