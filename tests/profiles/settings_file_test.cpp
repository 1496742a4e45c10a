// The settings file as a whole, where the scenarios cannot reach: saves whose steps fail, links,
// attributes, planted names, leftovers, two saves at once; and headers of long names.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/settings_file.h"
#include "tests/support/test_support.h"

namespace {

namespace fs = std::filesystem;
using support::ReadBytes;
using support::SaveStep;

const char* const kPath = kSettingsFilePath;
const char kPrevious[] = "previous contents\r\n";
const uid_t kOtherUser = 4321, kThirdUser = 4322;

void Plant(const std::string& path) {
    std::ofstream(path, std::ios::binary) << kPrevious;
    fs::permissions(path, fs::perms(0640));
}
long EntriesIn(const std::string& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}
// Starts work in a process of its own, which fails where work returns false.
pid_t Spawn(const std::function<bool()>& work) {
    pid_t child = fork();
    if (child == 0)
        _exit(!work());
    return child;
}
bool Succeeded(pid_t child) {
    int status = 1;
    return waitpid(child, &status, 0) == child && status == 0;
}

// The program's five profiles freshly registered, a scratch folder holding "Core" as the current
// directory, and every message box recorded.
class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        support::ForgetProfiles();
        for (int i = 0; i < 5; ++i)
            profiles_[i] = std::make_unique<AISetting>(kProfileNames[i]);
        std::string made = (fs::temp_directory_path() / "profiles-XXXXXX").string();
        ASSERT_NE(nullptr, mkdtemp(made.data()));
        scratch_ = made;
        fs::current_path(scratch_);
        fs::create_directory("Core");
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(scratch_);
        support::ForgetProfiles();
    }

    // Exactly this one box was shown since the last look.
    void ExpectBox(const char* text = "File error!\nCan't save AI settings.") {
        EXPECT_EQ(std::vector<std::string>{text}, boxes_.boxes());
        boxes_.Clear();
    }
    // The save fails with its message and adds nothing anywhere.
    void ExpectRefusedSave() {
        auto entries = [] { return std::distance(fs::recursive_directory_iterator("."), {}); };
        long before = entries();
        EXPECT_FALSE(SaveAISettings(kPath));
        ExpectBox();
        EXPECT_EQ(before, entries());
    }

    std::unique_ptr<AISetting> profiles_[5];
    support::AutoAnswerBoxes boxes_;
    fs::path previous_ = fs::current_path(), scratch_;
};

// Whichever step fails, alone or with a second one after it (a write stops halfway), the save
// either puts the new contents in place, or says it cannot and leaves the file as it was and
// nothing beside it; or, where the file is written itself and even putting the old contents back
// failed, a backup copy of them with the file's mode. A second name sees what the first does: the
// file itself is written, never replaced. No file stays open, not even a load's.
TEST_F(SettingsFile, whatever_two_steps_fail_the_file_holds_the_old_or_the_new_contents) {
    ASSERT_TRUE(SaveAISettings("fresh.ai"));
    const std::optional<std::string> fresh = ReadBytes("fresh.ai");
    const long files = EntriesIn("/proc/self/fd");
    const char* const kBackup = "Core/AIConfig.ai.backup";
    for (bool linked : {false, true}) {
        for (int n = 0, most = 0; n <= most; ++n) {
            for (int second = n; second <= most; ++second) {
                SCOPED_TRACE(testing::Message() << linked << ", " << n << ", " << second);
                fs::remove_all("Core");
                fs::create_directory("Core");
                Plant(kPath);
                if (linked)
                    fs::create_hard_link(kPath, "Core/other.ai");
                int calls = 0;
                bool inPlace = false, copied = false;  // never in place for a failed new file
                support::FailingSaves failing([&](SaveStep step, const char*) {
                    inPlace |= step == SaveStep::kInPlace;
                    // A copy counts once its folder entry is synced: it must then be whole.
                    copied |= step == SaveStep::kFolder;
                    EXPECT_TRUE(!copied || !fs::exists(kBackup) || ReadBytes(kBackup) == kPrevious);
                    ++calls;
                    return calls == n + 1 || calls == second + 1;
                });
                bool saved = SaveAISettings(kPath);
                most = std::max(most, calls);
                EXPECT_EQ(linked, inPlace);
                std::optional<std::string> now = ReadBytes(kPath);
                EXPECT_EQ(now, ReadBytes(linked ? "Core/other.ai" : kPath));
                bool backup = fs::exists(kBackup);
                EXPECT_TRUE(saved ? now == fresh : now == kPrevious || backup);
                if (!saved)
                    ExpectBox();
                EXPECT_TRUE(!backup || (ReadBytes(kBackup) == kPrevious &&
                                        fs::status(kBackup).permissions() == fs::perms(0640)));
                EXPECT_EQ(linked ? 2 : 1, EntriesIn("Core") - backup);
                EXPECT_EQ(files, EntriesIn("/proc/self/fd"));
            }
        }
    }
    LoadAISettings(kPath);
    EXPECT_EQ(files, EntriesIn("/proc/self/fd"));
}

// Game folders are often linked together: the file the game reads is the one the links lead to.
// Links in a circle, a pipe, or a link that someone else planted in a shared folder are refused.
TEST_F(SettingsFile, a_save_writes_through_links_and_refuses_circles_and_pipes) {
    fs::create_directory("real");
    Plant("real/AIConfig.ai");
    fs::create_symlink("../real/AIConfig.ai", "Core/link");
    fs::create_symlink("link", kPath);
    ASSERT_TRUE(SaveAISettings(kPath));
    // A path longer than any that the system takes is refused, not taken for the last one.
    EXPECT_FALSE(SaveAISettings(std::string(kFilePathSize, 'a').c_str()));
    ExpectBox();
    EXPECT_EQ("link", fs::read_symlink(kPath));
    EXPECT_EQ(1218u, ReadBytes("real/AIConfig.ai").value().size());
    EXPECT_EQ(1, EntriesIn("real"));
    // A file mounted over the target, as a container's volume is, cannot be renamed over: it is
    // written itself (where this process may mount at all).
    Plant("real/volume");
    EXPECT_TRUE(Succeeded(Spawn([] {
        return unshare(CLONE_NEWNS) | mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) |
                   mount("real/volume", "real/AIConfig.ai", nullptr, MS_BIND, nullptr) ||
               (SaveAISettings(kPath) && ReadBytes("real/volume") != kPrevious);
    })));
    // A disk without room for another file: the save fails rather than write the file itself.
    EXPECT_TRUE(Succeeded(Spawn([] {
        fs::create_directory("full");
        if (unshare(CLONE_NEWNS) | mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) |
            mount("full", "full", "tmpfs", 0, "nr_inodes=2"))
            return true;
        Plant("full/AIConfig.ai");
        return !SaveAISettings("full/AIConfig.ai") && ReadBytes("full/AIConfig.ai") == kPrevious;
    })));
    // A name that leaves no room for the new file's mark after it: the file is written itself.
    const std::string kLong = "real/" + std::string(250, 'n');
    Plant(kLong);
    EXPECT_TRUE(SaveAISettings(kLong.c_str()) && ReadBytes(kLong) != kPrevious);
    // A link to nothing: the file it names is made.
    fs::remove("real/AIConfig.ai");
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(1218u, ReadBytes("real/AIConfig.ai").value().size());
    // Links that lead round in a circle.
    fs::remove("Core/link");
    fs::create_symlink("AIConfig.ai", "Core/link");
    ExpectRefusedSave();
    // A pipe must not hold the program up, and is neither loaded nor replaced. A file system that
    // cannot sync a file says EINVAL, as a pipe does: that fails no save.
    fs::remove(kPath);
    ASSERT_EQ(0, mkfifo(kPath, 0600));
    ExpectRefusedSave();
    EXPECT_FALSE(LoadAISettings(kPath));
    ExpectBox("File error!\nUsing default settings now.");
    EXPECT_TRUE(fs::is_fifo(kPath));
    std::FILE* pipe = popen(":", "w");
    EXPECT_TRUE(FlushFileToDisk(pipe));
    pclose(pipe);
    // In a shared folder (sticky, and anyone may write it, as /tmp) a link is followed as the
    // kernel would: the user's own or the folder owner's only, and never to nothing.
    fs::remove(kPath);
    ASSERT_EQ(0, chmod("Core", 01777));
    fs::create_symlink("../real/AIConfig.ai", kPath);
    fs::remove("real/AIConfig.ai");
    ExpectRefusedSave();
    Plant("real/AIConfig.ai");
    EXPECT_TRUE(SaveAISettings(kPath));
    for (uid_t folderOwner : {kOtherUser, kThirdUser}) {
        if (geteuid() != 0)
            GTEST_SKIP() << "only root can plant another user's link";
        Plant("real/AIConfig.ai");
        ASSERT_EQ(0, lchown(kPath, kOtherUser, kOtherUser) | chown("Core", folderOwner, 0) |
                         chmod("Core", 01777));
        EXPECT_EQ(folderOwner == kOtherUser, SaveAISettings(kPath));
        EXPECT_EQ(folderOwner == kOtherUser, ReadBytes("real/AIConfig.ai") != kPrevious);
    }
}

TEST_F(SettingsFile, a_save_keeps_permissions_and_owner_and_a_new_file_gets_the_umask) {
    bool root = geteuid() == 0;
    Plant(kPath);
    ASSERT_TRUE(!root || chown(kPath, kOtherUser, kOtherUser) == 0);
    ASSERT_TRUE(SaveAISettings(kPath));
    struct stat info;
    ASSERT_EQ(0, stat(kPath, &info));
    EXPECT_EQ(0640u, info.st_mode & 07777);
    EXPECT_EQ(root ? kOtherUser : geteuid(), info.st_uid);
    EXPECT_EQ(root ? kOtherUser : getegid(), info.st_gid);

    fs::remove(kPath);
    mode_t mask = umask(027);
    ASSERT_TRUE(SaveAISettings(kPath));
    umask(mask);
    EXPECT_EQ(fs::perms(0640), fs::status(kPath).permissions());

    // The access control list (user 4321 may write too, so the group's bits are its mask) and
    // user attributes, one of them empty, stay. The list as the kernel keeps it: a version, then
    // each entry's tag and permissions (16 bits each) and id.
    const std::uint32_t kAcl[] = {2,   0x60001, ~0u, 0x60002, kOtherUser, 0x40004,
                                  ~0u, 0x60010, ~0u, 0x20,    ~0u};
    if (setxattr(kPath, "user.origin", "mod", 3, 0) | setxattr(kPath, "user.empty", "", 0, 0) ||
        setxattr(kPath, "system.posix_acl_access", &kAcl, sizeof kAcl, 0) != 0)
        GTEST_SKIP() << "the file system of " << scratch_ << " keeps no attributes or lists";
    // Copied to a new file that replaces the old: the file is not written itself.
    ino_t old = (stat(kPath, &info), info.st_ino);
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_TRUE(stat(kPath, &info) == 0 && info.st_ino != old);
    std::uint32_t acl[std::size(kAcl) + 1] = {};
    EXPECT_EQ(3, getxattr(kPath, "user.origin", acl, sizeof acl));
    EXPECT_EQ(0, getxattr(kPath, "user.empty", acl, sizeof acl));
    EXPECT_EQ(ssize_t{sizeof kAcl}, getxattr(kPath, "system.posix_acl_access", acl, sizeof acl));
    EXPECT_EQ(0, std::memcmp(acl, kAcl, sizeof kAcl));
}

// Anyone who may write the folder can plant a link or a file where the save is about to make its
// own: neither is opened, and the save passes on to another name. What a crash left is removed a
// day later: plain new files of exactly that name, never what a link leads to, never a backup
// copy, which a save writing the file itself passes by as well.
TEST_F(SettingsFile, planted_names_are_passed_by_and_only_day_old_leftovers_go) {
    Plant("victim");
    const std::string kNew = "AIConfig.ai.new-";
    std::vector<std::string> kept = {"AIConfig.ai",    kNew + "link01",       kNew + "young1",
                                     kNew + "tooLong", "other.ai.new-Ab3dE9", "AIConfig.ai.backup",
                                     kNew + "Ab3dE9"};
    fs::create_symlink("../victim", "Core/" + kept[1]);
    const timespec kDayOld[2] = {{time(nullptr) - 90000, 0}, {time(nullptr) - 90000, 0}};
    for (std::size_t i = 2; i < kept.size(); ++i)
        Plant("Core/" + kept[i]);
    for (const std::string& path :
         {std::string("../victim"), kept[1], kept[3], kept[4], kept[5], kept[6]})
        ASSERT_EQ(0, utimensat(AT_FDCWD, ("Core/" + path).c_str(), kDayOld, AT_SYMLINK_NOFOLLOW));
    kept.pop_back();
    support::FailingSaves planting([&](SaveStep step, const char* path) {
        if (step == SaveStep::kCreate && kept.size() < 8) {
            kept.push_back(fs::path(path).filename());
            kept.size() == 7 ? fs::create_symlink("../victim", path) : Plant(path);
        }
        return false;
    });
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(1218u, ReadBytes(kPath).value().size());
    EXPECT_EQ(kPrevious, ReadBytes("victim"));
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator("Core"))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, names);
    // Written itself, the file is copied to a backup name that is free: the stale copy stays.
    fs::create_hard_link(kPath, "other.ai");
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(kPrevious, ReadBytes("Core/AIConfig.ai.backup"));
    EXPECT_EQ(kept.size(), EntriesIn("Core"));
    // With all nine backup names taken (each planted as the save comes to it), it goes on without
    // a copy, and every stale one stays.
    support::FailingSaves taking([](SaveStep step, const char* path) {
        if (step == SaveStep::kCreate)
            Plant(path);
        return false;
    });
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(kept.size() + 8, EntriesIn("Core"));
}

// A user other than root saves a file that it may write wherever it stands: in a folder that it
// may not write, or not read (so that the rename cannot be synced), and someone else's file in a
// shared (sticky) folder or in its own. The file is written in place where need be (also for an
// attribute that only root may give); its owner stays. On a full disk each save fails and leaves
// the file as it was.
TEST_F(SettingsFile, another_user_saves_a_writable_file_in_a_folder_it_may_not_write) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give files to other users";
    // A folder, its mode, its owner and its file's owner.
    const std::tuple<std::string, mode_t, uid_t, uid_t> kCases[] = {
        {"Locked", 0555, 0, kOtherUser},
        {"Unlisted", 0333, kOtherUser, kOtherUser},
        {"Sticky", 01777, kThirdUser, kThirdUser},
        {"Theirs", 0777, kOtherUser, kThirdUser}};
    for (const auto& [folder, mode, folderOwner, fileOwner] : kCases) {
        std::string file = folder + "/AIConfig.ai";
        fs::create_directory(folder);
        Plant(file);
        ASSERT_EQ(0, chmod(file.c_str(), 0666) | chown(file.c_str(), fileOwner, fileOwner) |
                         setxattr(file.c_str(), "security.aicp", "x", 1, 0) |
                         chown(folder.c_str(), folderOwner, folderOwner) |
                         chmod(folder.c_str(), mode));
    }
    ASSERT_EQ(0, chmod(".", 0755));
    EXPECT_TRUE(Succeeded(Spawn([&] {
        bool failed = setgroups(0, nullptr) | setgid(kOtherUser) | setuid(kOtherUser);
        // First as on a full disk: no file may grow past 600 bytes. Every save fails, and every
        // file is as it was.
        rlimit unlimited{};
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &unlimited);
        rlimit full = {600, unlimited.rlim_max};
        for (const rlimit* limit : {&full, &unlimited}) {
            setrlimit(RLIMIT_FSIZE, limit);
            for (const auto& [folder, mode, folderOwner, fileOwner] : kCases) {
                std::string file = folder + "/AIConfig.ai";
                bool saved = SaveAISettings(file.c_str());
                failed |= limit == &full ? saved || ReadBytes(file) != kPrevious : !saved;
            }
        }
        return !failed;
    })));
    for (const auto& [folder, mode, folderOwner, fileOwner] : kCases) {
        const std::string file = folder + "/AIConfig.ai";
        struct stat info;
        EXPECT_EQ(1218u, ReadBytes(file).value().size()) << folder;
        EXPECT_EQ(1, EntriesIn(folder)) << folder;
        EXPECT_TRUE(stat(file.c_str(), &info) == 0 && info.st_uid == fileOwner &&
                    getxattr(file.c_str(), "security.aicp", nullptr, 0) == 1);
    }
}

// Two saves at once of a file written itself (it has a second name) never meet each other's copy.
TEST_F(SettingsFile, two_processes_saving_at_once_take_turns) {
    Plant(kPath);
    fs::create_hard_link(kPath, "other.ai");
    pid_t children[2];
    for (pid_t& child : children) {
        child = Spawn([] {
            bool met = false;
            support::FailingSaves watch([&](SaveStep step, const char* path) {
                return met |= step == SaveStep::kCreate && std::string(path).ends_with("-2");
            });
            int saves = 0;
            while (saves < 100 && SaveAISettings(kPath))
                ++saves;
            return saves == 100 && !met;
        });
    }
    EXPECT_TRUE(Succeeded(children[0]) & Succeeded(children[1]));
    EXPECT_EQ(1, EntriesIn("Core"));
}

// Names up to 242 characters are written whole; longer ones are cut so that the header line fits
// the reader's 255 characters, and the reader cuts its own header the same way.
TEST_F(SettingsFile, a_long_name_is_cut_to_fit_its_header_line_and_read_back) {
    for (std::size_t length : {242u, 243u, 244u, 300u}) {
        support::ForgetProfiles();
        AISetting profile(std::string(length, 'n').c_str());
        profile.iDancing = 5;
        ASSERT_TRUE(SaveAISettings(kPath));
        std::string header = "AISettings_" + std::string(std::min<std::size_t>(length, 242), 'n');
        EXPECT_EQ("\r\n" + header + " =\r\n{\r\n",
                  ReadBytes(kPath).value().substr(0, header.size() + 9));
        profile.iDancing = 0;
        ASSERT_TRUE(LoadAISettings(kPath));
        EXPECT_EQ(5, profile.iDancing) << length;
    }
    EXPECT_TRUE(boxes_.boxes().empty());
}

}  // namespace
