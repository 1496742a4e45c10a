#include <random>

#include "tests/profiles/profile_fixture.h"

namespace {

std::string WrittenBlock(const AISetting& profile) {
    std::FILE* out = std::tmpfile();
    profile.Write(out);
    std::string bytes(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    EXPECT_EQ(bytes.size(), std::fread(bytes.data(), 1, bytes.size(), out));
    std::fclose(out);
    return bytes;
}

// Reads the block back into a profile of that name that held other values.
ProfileValues ReadBack(const std::string& block, const char* name) {
    AISetting target(name);
    SetValues(target, {7, 7, 7, 7, true, false, true, false, true, false});
    std::FILE* file = StreamOf(block);
    block::TextInput in(file);
    EXPECT_TRUE(target.Read(in)) << name;
    std::fclose(file);
    return ValuesOf(target);
}

using BlockWriter = RegistryTest;

TEST_F(BlockWriter, writes_the_worked_example_byte_for_byte) {
    AISetting hard("Hard");
    SetValues(hard, {1, 10, -1, 0, true, true, false, true, false, false});
    EXPECT_EQ(
        "\r\nAISettings_Hard =\r\n{\r\n\tiDancing = 1,\r\n\tiAttackDelay = 10,\r\n"
        "\tiTechSpeed = -1,\r\n\tiHandicap = 0,\r\n\tbAlternativeStrategies = true,\r\n"
        "\tbHarassing = true,\r\n\tbMultiBuildings = false,\r\n\tbRelicUnits = true,\r\n"
        "\tbTurrets = false,\r\n\tbMines = false,\r\n}\r\n",
        WrittenBlock(hard));
}

// Names up to 242 characters are written whole; longer ones are cut so that the header line fits
// the reader's 255 characters, and the reader cuts its own header the same way.
TEST_F(BlockWriter, what_it_writes_for_a_long_name_is_read_back) {
    const ProfileValues values{-5, 6, INT32_MIN, INT32_MAX, false, true, false, true, false, true};
    for (std::size_t length : {242u, 243u, 244u, 300u}) {
        std::string name(length, 'n');
        AISetting source(name.c_str());
        SetValues(source, values);
        std::string block = WrittenBlock(source);
        std::size_t header = std::min<std::size_t>(length, 242);
        EXPECT_EQ("\r\nAISettings_" + std::string(header, 'n') + " =\r\n{\r\n",
                  block.substr(0, header + 20));
        EXPECT_EQ(values, ReadBack(block, name.c_str())) << length;
    }
}

TEST_F(BlockWriter, write_then_read_restores_every_field_of_random_profiles) {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    const std::int32_t edges[] = {INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX};
    auto pick = [&] { return rng() % 3 == 0 ? edges[rng() % 7] : any(rng); };
    auto flip = [&] { return rng() % 2 == 0; };
    for (int round = 0; round < 300; ++round) {
        ProfileValues values{pick(), pick(), pick(), pick(), flip(),
                             flip(), flip(), flip(), flip(), flip()};
        AISetting source("Insane");
        SetValues(source, values);
        ASSERT_EQ(values, ReadBack(WrittenBlock(source), "Insane")) << "round " << round;
    }
}

}  // namespace
