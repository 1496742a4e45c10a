#include "tests/profiles/profile_fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "profiles/profile_registry.h"

std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* stream = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::rewind(stream);
    return stream;
}

std::string ContentsOf(std::FILE* stream) {
    std::fflush(stream);
    long end = std::ftell(stream);
    std::string bytes(static_cast<std::size_t>(end), '\0');
    std::rewind(stream);
    EXPECT_EQ(bytes.size(), std::fread(bytes.data(), 1, bytes.size(), stream));
    return bytes;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

ProfileValues ValuesOf(const AISetting& p) {
    return {p.iDancing,   p.iAttackDelay,    p.iTechSpeed,  p.iHandicap, p.bAlternativeStrategies,
            p.bHarassing, p.bMultiBuildings, p.bRelicUnits, p.bTurrets,  p.bMines};
}

void SetValues(AISetting& p, const ProfileValues& v) {
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

bool operator==(const ProfileValues& a, const ProfileValues& b) {
    return a.dancing == b.dancing && a.attackDelay == b.attackDelay && a.techSpeed == b.techSpeed &&
           a.handicap == b.handicap && a.alternative == b.alternative &&
           a.harassing == b.harassing && a.multiBuildings == b.multiBuildings &&
           a.relicUnits == b.relicUnits && a.turrets == b.turrets && a.mines == b.mines;
}

void PrintTo(const ProfileValues& v, std::ostream* os) {
    *os << "{" << v.dancing << "," << v.attackDelay << "," << v.techSpeed << "," << v.handicap
        << "," << v.alternative << v.harassing << v.multiBuildings << v.relicUnits << v.turrets
        << v.mines << "}";
}

void ProfileFileTest::SetUp() {
    ProfileRegistry::ClearForTesting();
    const char* names[] = {"Easy", "Standard", "Hard", "Harder", "Insane"};
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        profiles_[i] = std::make_unique<AISetting>(names[i]);
    }
    previousDir_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "profiles-XXXXXX").string();
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    scratch_ = pattern;
    std::filesystem::current_path(scratch_);
    std::filesystem::create_directory("Core");
}

void ProfileFileTest::TearDown() {
    std::filesystem::current_path(previousDir_);
    std::filesystem::remove_all(scratch_);
    for (auto& p : profiles_) {
        p.reset();
    }
    ProfileRegistry::ClearForTesting();
}
