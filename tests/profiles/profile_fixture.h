#pragma once
// Shared helpers for the profile tests: streams from strings, files in a scratch folder, and the
// five profiles of the program in a fresh registry.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/own/headless.h"
#include "profiles/ai_setting.h"
#include "profiles/text_input.h"
#include "tests/support/test_support.h"

// A readable stream holding exactly these bytes.
std::FILE* StreamOf(const std::string& bytes);
// Everything written to the stream so far.
std::string ContentsOf(std::FILE* stream);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

struct ProfileValues {
    std::int32_t dancing, attackDelay, techSpeed, handicap;
    bool alternative, harassing, multiBuildings, relicUnits, turrets, mines;
};
ProfileValues ValuesOf(const AISetting& profile);
void SetValues(AISetting& profile, const ProfileValues& values);
bool operator==(const ProfileValues& a, const ProfileValues& b);
void PrintTo(const ProfileValues& v, std::ostream* os);

// A scratch folder as the current directory, the five profiles freshly registered, and every
// message box recorded.
class ProfileFileTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::array<std::unique_ptr<AISetting>, 5> profiles_;
    support::AutoAnswerBoxes boxes_;

  private:
    std::string previousDir_;
    std::string scratch_;
};
