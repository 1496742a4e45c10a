#include <random>

#include "profiles/profile_registry.h"
#include "tests/profiles/profile_fixture.h"

namespace {

std::string WrittenBlock(const AISetting& profile) {
    std::FILE* out = std::tmpfile();
    profile.Write(out);
    std::string bytes = ContentsOf(out);
    std::fclose(out);
    return bytes;
}

class BlockWriter : public ::testing::Test {
  protected:
    void SetUp() override { ProfileRegistry::ClearForTesting(); }
    void TearDown() override { ProfileRegistry::ClearForTesting(); }
};

TEST_F(BlockWriter, writes_the_worked_example_byte_for_byte) {
    AISetting hard("Hard");
    SetValues(hard, {1, 10, -1, 0, true, true, false, true, false, false});
    const std::string expected =
        "\r\n"
        "AISettings_Hard =\r\n"
        "{\r\n"
        "\tiDancing = 1,\r\n"
        "\tiAttackDelay = 10,\r\n"
        "\tiTechSpeed = -1,\r\n"
        "\tiHandicap = 0,\r\n"
        "\tbAlternativeStrategies = true,\r\n"
        "\tbHarassing = true,\r\n"
        "\tbMultiBuildings = false,\r\n"
        "\tbRelicUnits = true,\r\n"
        "\tbTurrets = false,\r\n"
        "\tbMines = false,\r\n"
        "}\r\n";
    std::string written = WrittenBlock(hard);
    EXPECT_EQ(expected, written);
    EXPECT_EQ(241u, written.size());
}

TEST_F(BlockWriter, writes_the_32_bit_extremes_in_plain_decimal) {
    AISetting p("X");
    SetValues(p, {INT32_MIN, INT32_MAX, -2, 0, false, false, false, false, false, false});
    std::string written = WrittenBlock(p);
    EXPECT_NE(std::string::npos, written.find("\tiDancing = -2147483648,\r\n"));
    EXPECT_NE(std::string::npos, written.find("\tiAttackDelay = 2147483647,\r\n"));
    EXPECT_NE(std::string::npos, written.find("\tiTechSpeed = -2,\r\n"));
    EXPECT_NE(std::string::npos, written.find("\tbMines = false,\r\n}\r\n"));
}

TEST_F(BlockWriter, cuts_an_over_long_name_to_the_header_buffer) {
    std::string name(300, 'n');
    AISetting p(name.c_str());
    std::string header = "\r\nAISettings_" + std::string(244, 'n') + " =\r\n{\r\n";
    EXPECT_EQ(header, WrittenBlock(p).substr(0, header.size()));
}

TEST_F(BlockWriter, write_then_read_restores_every_field_of_random_profiles) {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    const std::int32_t edges[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
    for (int round = 0; round < 500; ++round) {
        auto pick = [&] { return rng() % 3 == 0 ? edges[rng() % 7] : any(rng); };
        ProfileValues values{pick(),         pick(),         pick(),         pick(),
                             rng() % 2 == 0, rng() % 2 == 0, rng() % 2 == 0, rng() % 2 == 0,
                             rng() % 2 == 0, rng() % 2 == 0};
        AISetting source("Insane");
        SetValues(source, values);
        AISetting target("Insane");
        SetValues(target,
                  {7, 7, 7, 7, !values.alternative, !values.harassing, !values.multiBuildings,
                   !values.relicUnits, !values.turrets, !values.mines});
        std::FILE* file = StreamOf(WrittenBlock(source));
        block::TextInput in(file);
        ASSERT_TRUE(target.Read(in));
        ASSERT_EQ(values, ValuesOf(target)) << "round " << round;
        std::fclose(file);
    }
}

}  // namespace
