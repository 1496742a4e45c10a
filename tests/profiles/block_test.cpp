// A profile's block: what the reader takes from its lines, and that it reads back what the writer
// writes. The exact bytes the writer writes are pinned by the scenarios' saved files.
#include <array>

#include "profiles/settings_table.h"
#include "tests/profiles/profile_fixture.h"

namespace {

using Block = ProfileFileTest;

bool ReadInto(AISetting& profile, const std::string& bytes) {
    std::FILE* file = StreamOf(bytes);
    block::TextInput in(file);
    bool complete = profile.Read(in);
    std::fclose(file);
    return complete;
}

std::string WrittenBlock(const AISetting& profile) {
    std::FILE* out = std::tmpfile();
    profile.Write(out);
    std::string bytes(static_cast<std::size_t>(std::ftell(out)), '\0');
    std::rewind(out);
    EXPECT_EQ(bytes.size(), std::fread(bytes.data(), 1, bytes.size(), out));
    std::fclose(out);
    return bytes;
}

// A profile's values in the settings table's order, a switch as 0 or 1.
using ProfileValues = std::array<std::int32_t, kSettingCount>;
ProfileValues Values(const AISetting& p) {
    ProfileValues values;
    for (int row = 0; row < kSettingCount; ++row)
        values[row] = kSettings[row].number ? p.*kSettings[row].number : p.*kSettings[row].flag;
    return values;
}

const ProfileValues kBefore{9, 9, 9, 9, 0, 0, 0, 0, 0, 0};

ProfileValues With(int dancing, int attackDelay = 9, int techSpeed = 9) {
    return {dancing, attackDelay, techSpeed, 9, 0, 0, 0, 0, 0, 0};
}

std::string BlockOf(const std::string& body) {
    return "AISettings_Hard =\n{\n" + body + "}\n";
}

struct ReadCase {
    const char* what;
    std::string input;
    bool complete;
    ProfileValues after;
};

const ReadCase kCases[] = {
    {"key lines before the header are ignored",
     "\tiDancing = 1,\n" + BlockOf("\tiAttackDelay = 4,\n"), true, With(9, 4)},
    {"header found inside the Harder header", "AISettings_Harder =\n\tiDancing = 2,\n}\n", true,
     With(2)},
    {"keys and braces on the header line are not used",
     "AISettings_Hard = { iDancing = 1, }\n\tiTechSpeed = 2,\n}\n", true, With(9, 9, 2)},
    {"first key in block order takes the line", BlockOf("\tiTechSpeed = 1, iDancing = 2\n"), true,
     With(2)},
    {"a key without = changes nothing, and its } ends the block",
     BlockOf("\tiDancing 2\n\tiDancing }\n\tiAttackDelay = 4,\n"), true, kBefore},
    {"a key line holding } does not end the block",
     BlockOf("\tiDancing = 1 }\n\tiTechSpeed = 2,\n"), true, With(1, 9, 2)},
    {"value taken after the first = after the key", BlockOf("x = 5 iDancing x = 3 = 4\n"), true,
     With(3)},
    {"integer texts; a later key wins",
     BlockOf("\tiDancing = 1,\n\tiDancing = +7 apples\n\tiAttackDelay =-4\n\tiTechSpeed =,\n"),
     true, With(7, -4, 0)},
    {"integers saturate at the 32-bit limits",
     BlockOf("\tiDancing = 99999999999,\n\tiAttackDelay = -99999999999,\n"
             "\tiTechSpeed = 2147483648\n"),
     true, With(INT32_MAX, INT32_MIN, INT32_MAX)},
    {"a switch is true where its text holds true in lower case",
     BlockOf("\tbAlternativeStrategies = untrue,\n\tbHarassing = True,\n\tbTurrets = 1,\n"
             "\tbMines = TRUE,\n"),
     true,
     {9, 9, 9, 9, 1, 0, 0, 0, 0, 0}},
    {"unfinished block runs into the next and ends at its }",
     "AISettings_Hard =\n{\n\tiDancing = 1,\n\nAISettings_Insane =\n{\n\tiDancing = 2,\n"
     "\tiAttackDelay = 6,\n}\n",
     true, With(2, 6)},
    {"block cut off keeps what it took", "AISettings_Hard =\n{\n\tiDancing = 1,\n", false, With(1)},
    {"last line without a line end counts", "AISettings_Hard =\r\n\tiDancing = 1,\r\n}", true,
     With(1)},
    {"a lone CR does not end a line", "AISettings_Hard =\r{\r\tiDancing = 1,\r}\r", false, kBefore},
    {"255-character lines are read whole",
     "AISettings_Hard =\n" + std::string(240, ' ') + "iDancing = 1234\n" + std::string(236, ' ') +
         "iAttackDelay = 1234\r\n}\n",
     true, With(1234, 1234)},
    {"a 256-character line ends the read",
     "AISettings_Hard =\n" + std::string(241, ' ') + "iDancing = 1234\n}\n", false, kBefore},
    {"text after a NUL byte is not seen",
     std::string("AISettings_Hard =\n\tiDancing = 1") + '\0' + " }\n\tiTechSpeed = 2,\n}\n", true,
     With(1, 9, 2)},
    {"a header after a NUL byte is not seen",
     std::string("x") + '\0' + "AISettings_Hard =\n\tiDancing = 1,\n}\n", false, kBefore},
};

TEST_F(Block, the_reader_takes_the_values_of_its_block) {
    for (const ReadCase& c : kCases) {
        SCOPED_TRACE(c.what);
        AISetting profile("Hard");
        for (const Setting& setting : kSettings)
            if (setting.number)
                profile.*setting.number = 9;
        EXPECT_EQ(c.complete, ReadInto(profile, c.input));
        EXPECT_EQ(c.after, Values(profile));
    }
}

// Names up to 242 characters are written whole; longer ones are cut so that the header line fits
// the reader's 255 characters, and the reader cuts its own header the same way.
TEST_F(Block, what_it_writes_for_a_long_name_is_read_back) {
    for (std::size_t length : {242u, 243u, 244u, 300u}) {
        std::string name(length, 'n');
        AISetting source(name.c_str());
        source.iDancing = 5;
        std::string block = WrittenBlock(source);
        std::size_t header = std::min<std::size_t>(length, 242);
        EXPECT_EQ("\r\nAISettings_" + std::string(header, 'n') + " =\r\n{\r\n",
                  block.substr(0, header + 20));
        AISetting target(name.c_str());
        EXPECT_TRUE(ReadInto(target, block)) << length;
        EXPECT_EQ(5, target.iDancing) << length;
    }
}

}  // namespace
