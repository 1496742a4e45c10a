#pragma once
// Shared helpers for the profile tests: streams from strings, files in a scratch folder, and the
// five profiles of the program in a fresh registry.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/own/headless.h"
#include "profiles/ai_setting.h"
#include "profiles/profile_registry.h"
#include "profiles/text_input.h"

// A readable stream holding exactly these bytes.
inline std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* stream = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct ProfileValues {
    std::int32_t dancing, attackDelay, techSpeed, handicap;
    bool alternative, harassing, multiBuildings, relicUnits, turrets, mines;
    bool operator==(const ProfileValues&) const = default;
};

inline ProfileValues ValuesOf(const AISetting& p) {
    return {p.iDancing,   p.iAttackDelay,    p.iTechSpeed,  p.iHandicap, p.bAlternativeStrategies,
            p.bHarassing, p.bMultiBuildings, p.bRelicUnits, p.bTurrets,  p.bMines};
}

inline void SetValues(AISetting& p, const ProfileValues& v) {
    p.iDancing = v.dancing;
    p.iAttackDelay = v.attackDelay;
    p.iTechSpeed = v.techSpeed;
    p.iHandicap = v.handicap;
    p.bAlternativeStrategies = v.alternative;
    p.bHarassing = v.harassing;
    p.bMultiBuildings = v.multiBuildings;
    p.bRelicUnits = v.relicUnits;
    p.bTurrets = v.turrets;
    p.bMines = v.mines;
}

// A fresh registry, emptied again afterwards.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { ProfileRegistry::ClearForTesting(); }
    void TearDown() override { ProfileRegistry::ClearForTesting(); }
};

// The five profiles freshly registered, a scratch folder holding "Core" as the current directory,
// and every message box recorded.
class ProfileFileTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        const char* names[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};
        for (int i = 0; i < 5; ++i) {
            profiles_[i] = std::make_unique<AISetting>(names[i]);
        }
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
        for (auto& p : profiles_) {
            p.reset();
        }
        RegistryTest::TearDown();
    }

    std::unique_ptr<AISetting> profiles_[5];
    headless::AutoAnswerBoxes boxes_;
    std::filesystem::path previous_, scratch_;
};
