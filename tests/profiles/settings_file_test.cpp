// The settings file as a whole: what a load reports, and a save that replaces the file in one
// step, leaves nothing behind, and keeps what the file is.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "profiles/settings_file.h"
#include "tests/profiles/profile_fixture.h"

namespace {

namespace fs = std::filesystem;

const char kPath[] = "Core/AIConfig.ai";
const char kFileError[] = "File error!\nUsing default settings now.";
const char kSyntaxError[] = "Invalid file syntax!\nUsing default settings now.";
const char kSaveError[] = "File error!\nCan't save AI settings.";
const char kPrevious[] = "previous contents\r\n";
const uid_t kOtherUser = 4321;

std::string Block(const char* name, int dancing) {
    return std::string("\r\nAISettings_") + name +
           " =\r\n{\r\n\tiDancing = " + std::to_string(dancing) + ",\r\n}\r\n";
}

// What a folder holds, so that a test sees a save leave nothing behind.
std::vector<std::string> Entries(const char* folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class SettingsFile : public ProfileFileTest {
  protected:
    void TearDown() override {
        SetSaveFileSteps(nullptr);
        ProfileFileTest::TearDown();
    }
    // Exactly this one box was shown since the last look.
    void ExpectBox(const char* text) {
        ASSERT_EQ(1u, boxes_.boxes().size());
        EXPECT_EQ(text, boxes_.boxes()[0].text);
        EXPECT_EQ("Error", boxes_.boxes()[0].title);
        boxes_.Clear();
    }
    // The save fails with its message and leaves the folder as it was.
    void ExpectRefusedSave() {
        std::vector<std::string> before = Entries("Core");
        EXPECT_FALSE(SaveAISettings(kPath));
        ExpectBox(kSaveError);
        EXPECT_EQ(before, Entries("Core"));
    }
    std::vector<int> Dancing() {
        std::vector<int> values;
        for (auto& p : profiles_) {
            values.push_back(p->iDancing);
        }
        return values;
    }
};

TEST_F(SettingsFile, a_load_reads_each_block_from_the_start_and_stops_at_the_first_missing) {
    struct {
        const char* what;
        std::string bytes;
        const char* box;
        std::vector<int> dancing;
    } cases[] = {
        {"any order, the last line without its line end",
         Block("Insane", 14) + Block("Easy", 10) + Block("Hard", 12) + Block("Standard", 11) +
             Block("Harder", 13) + "}",
         nullptr,
         {10, 11, 12, 13, 14}},
        {"Harder missing",
         Block("Easy", 10) + Block("Standard", 11) + Block("Hard", 12) + Block("Insane", 14),
         kSyntaxError,
         {10, 11, 12, 0, 0}},
        {"an over-long line ends the read",
         Block("Easy", 10) + std::string(100000, 'a') + "\n" + Block("Standard", 11),
         kSyntaxError,
         {10, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (auto& p : profiles_) {
            p->iDancing = 0;
        }
        WriteFileBytes(kPath, c.bytes);
        EXPECT_TRUE(LoadAISettings(kPath));
        if (c.box) {
            ExpectBox(c.box);
        }
        EXPECT_TRUE(boxes_.boxes().empty());
        EXPECT_EQ(c.dancing, Dancing());
    }
}

// Neither a folder nor a pipe is a settings file; a pipe must not hold the program up.
TEST_F(SettingsFile, a_load_of_anything_but_a_plain_file_is_a_file_error) {
    EXPECT_FALSE(LoadAISettings(kPath));
    ExpectBox(kFileError);
    fs::create_directory(kPath);
    EXPECT_FALSE(LoadAISettings(kPath));
    ExpectBox(kFileError);
    fs::remove(kPath);
    ASSERT_EQ(0, mkfifo(kPath, 0600));
    EXPECT_FALSE(LoadAISettings(kPath));
    ExpectBox(kFileError);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0}), Dancing());
}

// Real steps, except the one named by g_failing, which fails after doing its work.
int g_failing = -1;
std::FILE* Open(const char* target, char (&temporary)[kFilePathSize]) {
    return g_failing == 0 ? nullptr : RealSaveFileSteps().open(target, temporary);
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
const SaveFileSteps kFailingSteps = {Open, Flush, Sync, Close, Replace, RealSaveFileSteps().remove};

TEST_F(SettingsFile, a_failing_step_keeps_the_previous_file_and_a_save_reads_back_whole) {
    SetSaveFileSteps(&kFailingSteps);
    for (g_failing = 0; g_failing < 5; ++g_failing) {
        SCOPED_TRACE(g_failing);
        WriteFileBytes(kPath, kPrevious);
        ExpectRefusedSave();
        EXPECT_EQ(kPrevious, ReadFileBytes(kPath));
    }
    g_failing = -1;
    for (int i = 0; i < 5; ++i) {
        SetValues(*profiles_[i],
                  {i, 2 * i, i - 2, 2 - i, i % 2 == 0, i % 3 == 0, true, false, i > 2, i < 2});
    }
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ((std::vector<std::string>{"AIConfig.ai"}), Entries("Core"));
    for (int i = 0; i < 5; ++i) {
        SetValues(*profiles_[i], {});
    }
    EXPECT_TRUE(LoadAISettings(kPath));
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), Dancing());
    EXPECT_EQ(8, profiles_[4]->iAttackDelay);
    EXPECT_TRUE(profiles_[3]->bHarassing);
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
    EXPECT_EQ((std::vector<std::string>{"AIConfig.ai"}), Entries("real"));
    // A link to nothing: the file it names is made.
    fs::remove("real/AIConfig.ai");
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(1218u, ReadFileBytes("real/AIConfig.ai").size());
    EXPECT_TRUE(fs::is_symlink(kPath));
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
    if (root) {
        EXPECT_EQ(kOtherUser, info.st_uid);
        EXPECT_EQ(kOtherUser, info.st_gid);
    }
    fs::remove(kPath);
    mode_t mask = umask(027);
    bool saved = SaveAISettings(kPath);
    umask(mask);
    ASSERT_TRUE(saved);
    ASSERT_EQ(0, stat(kPath, &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
}

// Read-only means no write permission for anyone, even to root, as Windows' read-only attribute
// binds administrators; nor is anything but a plain file replaced.
TEST_F(SettingsFile, a_save_leaves_a_read_only_file_a_folder_or_a_pipe_in_place) {
    WriteFileBytes(kPath, kPrevious);
    ASSERT_EQ(0, chmod(kPath, 0444));
    if (geteuid() == 0) {
        ASSERT_EQ(0, chown(kPath, kOtherUser, kOtherUser));
    }
    ExpectRefusedSave();
    EXPECT_EQ(kPrevious, ReadFileBytes(kPath));
    fs::remove(kPath);
    fs::create_directory(kPath);
    ExpectRefusedSave();
    EXPECT_TRUE(fs::is_directory(kPath));
    fs::remove(kPath);
    ASSERT_EQ(0, mkfifo(kPath, 0600));
    ExpectRefusedSave();
    EXPECT_TRUE(fs::is_fifo(kPath));
}

// Anyone who may write the folder can plant a link where the save might put its file; a save
// that died leaves its file behind. Neither is opened or stands in the way.
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
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(kPath)));
    EXPECT_EQ(1218u, ReadFileBytes(kPath).size());
    EXPECT_EQ(3u, Entries("Core").size());
    EXPECT_TRUE(fs::is_symlink(leftover));
}

}  // namespace
