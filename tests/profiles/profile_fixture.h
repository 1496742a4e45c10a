#pragma once
// Helpers for the profile and panel tests: streams from strings, and the five profiles of the
// program in a fresh registry beside a scratch folder.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/text_input.h"
#include "tests/support/test_support.h"

// A readable stream holding exactly these bytes.
inline std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* stream = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The five profiles freshly registered, a scratch folder holding "Core" as the current directory,
// and every message box recorded.
class ProfileFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        support::ForgetProfiles();
        const char* names[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};
        for (int i = 0; i < 5; ++i)
            profiles_[i] = std::make_unique<AISetting>(names[i]);
        previous_ = std::filesystem::current_path();
        std::string made = (std::filesystem::temp_directory_path() / "profiles-XXXXXX").string();
        ASSERT_NE(nullptr, mkdtemp(made.data()));
        scratch_ = made;
        std::filesystem::current_path(scratch_);
        std::filesystem::create_directory("Core");
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(scratch_);
        support::ForgetProfiles();
    }

    std::unique_ptr<AISetting> profiles_[5];
    support::AutoAnswerBoxes boxes_;
    std::filesystem::path previous_, scratch_;
};
