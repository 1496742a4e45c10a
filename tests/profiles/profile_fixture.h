#pragma once
// The program's five profiles freshly registered, a scratch folder holding "Core" as the current
// directory, and every message box recorded: for the settings file's and the panel's tests.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "panel/dialog_window.h"
#include "tests/support/test_support.h"

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ProfileFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        support::ForgetProfiles();
        for (int i = 0; i < 5; ++i)
            profiles_[i] = std::make_unique<AISetting>(kProfileNames[i]);
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
    std::filesystem::path previous_ = std::filesystem::current_path(), scratch_;
};
