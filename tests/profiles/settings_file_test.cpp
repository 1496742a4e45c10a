#include <algorithm>
#include <filesystem>

#include "profiles/settings_file.h"
#include "tests/profiles/profile_fixture.h"

namespace {

const char kPath[] = "Core/AIConfig.ai";
const char kFileError[] = "File error!\nUsing default settings now.";
const char kSyntaxError[] = "Invalid file syntax!\nUsing default settings now.";
const ProfileValues kZero{0, 0, 0, 0, false, false, false, false, false, false};

ProfileValues Numbered(int n) {
    return {n, 2 * n, n - 2, 2 - n, n % 2 == 0, n % 3 == 0, true, false, n > 2, n < 2};
}

std::string Block(const char* name, int dancing) {
    return std::string("\r\nAISettings_") + name +
           " =\r\n{\r\n\tiDancing = " + std::to_string(dancing) + ",\r\n}\r\n";
}

using SettingsFile = ProfileFileTest;

TEST_F(SettingsFile, all_zero_profiles_make_a_file_of_70_lines_and_1218_bytes) {
    ASSERT_TRUE(SaveAISettings(kPath));
    std::string bytes = ReadFileBytes(kPath);
    EXPECT_EQ(1218u, bytes.size());
    EXPECT_EQ(70, std::count(bytes.begin(), bytes.end(), '\n'));
    EXPECT_EQ("\r\nAISettings_Easy =\r\n", bytes.substr(0, 21));
    EXPECT_EQ("}\r\n", bytes.substr(bytes.size() - 3));
    EXPECT_EQ(std::string::npos, bytes.find("\n\n")) << "every LF comes after a CR";
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_FALSE(FileExists(std::string(kPath) + ".tmp"));
}

TEST_F(SettingsFile, save_then_load_restores_every_profile_silently) {
    for (int i = 0; i < 5; ++i) {
        SetValues(*profiles_[i], Numbered(i));
    }
    ASSERT_TRUE(SaveAISettings(kPath));
    for (auto& p : profiles_) {
        SetValues(*p, kZero);
    }
    EXPECT_TRUE(LoadAISettings(kPath));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Numbered(i), ValuesOf(*profiles_[i])) << i;
    }
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(SettingsFile, save_over_a_longer_file_leaves_only_the_new_content) {
    WriteFileBytes(kPath, std::string(5000, 'x'));
    ASSERT_TRUE(SaveAISettings(kPath));
    EXPECT_EQ(1218u, ReadFileBytes(kPath).size());
}

TEST_F(SettingsFile, missing_file_is_reported_once_and_changes_nothing) {
    SetValues(*profiles_[2], Numbered(3));
    EXPECT_FALSE(LoadAISettings(kPath));
    ASSERT_EQ(1u, boxes_.boxes().size());
    const support::ShownBox& box = boxes_.boxes()[0];
    EXPECT_EQ(kFileError, box.text);
    EXPECT_EQ("Error", box.title);
    EXPECT_EQ(MB_OK, box.type);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(Numbered(3), ValuesOf(*profiles_[2]));
    EXPECT_EQ(kZero, ValuesOf(*profiles_[0]));
}

TEST_F(SettingsFile, empty_file_is_one_syntax_error_that_changes_nothing) {
    WriteFileBytes(kPath, "");
    EXPECT_TRUE(LoadAISettings(kPath));
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(kSyntaxError, boxes_.boxes()[0].text);
    for (auto& p : profiles_) {
        EXPECT_EQ(kZero, ValuesOf(*p));
    }
}

TEST_F(SettingsFile, load_stops_at_the_first_missing_block) {
    SetValues(*profiles_[3], Numbered(3));
    SetValues(*profiles_[4], Numbered(4));
    WriteFileBytes(
        kPath, Block("Easy", 10) + Block("Standard", 11) + Block("Hard", 12) + Block("Insane", 14));
    EXPECT_TRUE(LoadAISettings(kPath));
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(kSyntaxError, boxes_.boxes()[0].text);
    EXPECT_EQ(10, profiles_[0]->iDancing);
    EXPECT_EQ(11, profiles_[1]->iDancing);
    EXPECT_EQ(12, profiles_[2]->iDancing);
    EXPECT_EQ(Numbered(3), ValuesOf(*profiles_[3]));
    EXPECT_EQ(Numbered(4), ValuesOf(*profiles_[4])) << "profiles after the failing one keep theirs";
}

TEST_F(SettingsFile, hard_takes_the_harder_block_when_its_own_is_missing) {
    WriteFileBytes(kPath, Block("Easy", 10) + Block("Standard", 11) + Block("Harder", 13) +
                              Block("Insane", 14));
    EXPECT_TRUE(LoadAISettings(kPath));
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ(13, profiles_[2]->iDancing);
    EXPECT_EQ(13, profiles_[3]->iDancing);
}

TEST_F(SettingsFile, blocks_in_any_order_and_a_last_line_without_line_end) {
    std::string text = Block("Insane", 14) + Block("Easy", 10) + Block("Hard", 12) +
                       Block("Standard", 11) + Block("Harder", 13);
    text.erase(text.size() - 2);  // the final "}" without CR LF
    WriteFileBytes(kPath, text);
    EXPECT_TRUE(LoadAISettings(kPath));
    EXPECT_TRUE(boxes_.boxes().empty());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(10 + i, profiles_[i]->iDancing);
    }
}

// Short enough that the whole file is read at once, and so long that it is read in parts.
TEST_F(SettingsFile, an_over_long_line_is_a_syntax_error_not_a_hang) {
    for (std::size_t length : {300u, 100000u}) {
        SCOPED_TRACE(length);
        boxes_.Clear();
        SetValues(*profiles_[1], kZero);
        WriteFileBytes(kPath,
                       Block("Easy", 10) + std::string(length, 'a') + "\n" + Block("Standard", 11));
        EXPECT_TRUE(LoadAISettings(kPath));
        ASSERT_EQ(1u, boxes_.boxes().size());
        EXPECT_EQ(kSyntaxError, boxes_.boxes()[0].text);
        EXPECT_EQ(10, profiles_[0]->iDancing);
        EXPECT_EQ(0, profiles_[1]->iDancing)
            << "the line stands between Standard's block and the start";
    }
}

TEST_F(SettingsFile, a_folder_in_place_of_the_file_is_reported) {
    std::filesystem::create_directory(kPath);
    LoadAISettings(kPath);
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_NE(std::string::npos, boxes_.boxes()[0].text.find("Using default settings now."));
    for (auto& p : profiles_) {
        EXPECT_EQ(kZero, ValuesOf(*p));
    }
}

}  // namespace
