#include "tests/profiles/profile_fixture.h"

namespace {

const ProfileValues kBefore{9, 9, 9, 9, false, false, false, false, false, false};

ProfileValues With(int dancing, int attackDelay = 9, int techSpeed = 9) {
    return {dancing, attackDelay, techSpeed, 9, false, false, false, false, false, false};
}
ProfileValues Switches(bool alternative, bool mines) {
    return {9, 9, 9, 9, alternative, false, false, false, false, mines};
}

std::string Block(const char* name, const std::string& body) {
    return std::string("AISettings_") + name + " =\n{\n" + body + "}\n";
}

struct ReadCase {
    const char* what;
    const char* name;
    std::string input;
    bool complete;
    ProfileValues after;
};

const ReadCase kCases[] = {
    {"empty input", "Hard", "", false, kBefore},
    {"no header", "Hard", "iDancing = 1,\n}\n", false, kBefore},
    {"key lines before the header are ignored", "Hard",
     "\tiDancing = 1,\n" + Block("Hard", "\tiAttackDelay = 4,\n"), true, With(9, 4)},
    {"header found inside the Harder header", "Hard", Block("Harder", "\tiDancing = 2,\n"), true,
     With(2)},
    {"header names are case-sensitive", "Hard", Block("hard", "\tiDancing = 2,\n"), false, kBefore},
    {"keys and braces on the header line are not used", "Easy",
     "AISettings_Easy = { iDancing = 1, }\n\tiTechSpeed = 2,\n}\n", true, With(9, 9, 2)},
    {"the opening brace is not needed", "Hard", "AISettings_Hard =\niDancing = 1\n}\n", true,
     With(1)},
    {"first key in block order takes the line", "Hard",
     Block("Hard", "\tiTechSpeed = 1, iDancing = 2\n"), true, With(2)},
    {"a key without = changes nothing, and its } ends the block", "Hard",
     Block("Hard", "\tiDancing 2\n\tiDancing }\n\tiAttackDelay = 4,\n"), true, kBefore},
    {"a key line holding } does not end the block", "Hard",
     Block("Hard", "\tiDancing = 1 }\n\tiTechSpeed = 2,\n"), true, With(1, 9, 2)},
    {"later duplicate key wins", "Hard", Block("Hard", "\tiDancing = 1,\n\tiDancing = 2,\n"), true,
     With(2)},
    {"value taken after the first = after the key", "Hard",
     Block("Hard", "x = 5 iDancing x = 3 = 4\n"), true, With(3)},
    {"integer texts", "Hard",
     Block("Hard", "\tiDancing = 7,\n\tiAttackDelay =+4\n\tiTechSpeed =-3,\n"), true,
     With(7, 4, -3)},
    {"digits up to the first non-digit; none give 0", "Hard",
     Block("Hard", "\tiDancing = 2 apples\n\tiAttackDelay = ,\n\tiTechSpeed =\n"), true,
     With(2, 0, 0)},
    {"integers saturate at the 32-bit limits", "Hard",
     Block("Hard",
           "\tiDancing = 99999999999,\n\tiAttackDelay = -99999999999,\n"
           "\tiTechSpeed = 2147483648\n"),
     true, With(INT32_MAX, INT32_MIN, INT32_MAX)},
    {"switch true only for lower-case true anywhere", "Hard",
     Block("Hard", "\tbAlternativeStrategies = untrue,\n\tbMines = TRUE,\n"), true,
     Switches(true, false)},
    {"switch words True and 1 are false", "Hard",
     Block("Hard", "\tbAlternativeStrategies = True,\n\tbMines = 1,\n"), true,
     Switches(false, false)},
    {"unfinished block runs into the next and ends at its }", "Easy",
     "AISettings_Easy =\n{\n\tiDancing = 1,\n\nAISettings_Standard =\n{\n\tiDancing = 2,\n"
     "\tiAttackDelay = 6,\n}\n",
     true, With(2, 6)},
    {"block cut off keeps what it took", "Hard", "AISettings_Hard =\n{\n\tiDancing = 1,\n", false,
     With(1)},
    {"last line without a line end counts", "Hard", "AISettings_Hard =\r\n\tiDancing = 1,\r\n}",
     true, With(1)},
    {"CR LF and lone LF alike", "Hard",
     "AISettings_Hard =\r\n{\n\tiDancing = 2,\r\n\tiAttackDelay = 8\r\n}\r\n", true, With(2, 8)},
    {"a lone CR does not end a line", "Hard", "AISettings_Hard =\r{\r\tiDancing = 1,\r}\r", false,
     kBefore},
    {"a 255-character line is read whole", "Hard",
     "AISettings_Hard =\n" + std::string(240, ' ') + "iDancing = 1234\n}\n", true, With(1234)},
    {"a 255-character line ending in CR LF is read whole", "Hard",
     "AISettings_Hard =\r\n" + std::string(240, ' ') + "iDancing = 1234\r\n}\r\n", true,
     With(1234)},
    {"a 256-character line ends the read", "Hard",
     "AISettings_Hard =\n" + std::string(241, ' ') + "iDancing = 1234\n}\n", false, kBefore},
    {"a 300-character header line ends the read before the search finds it", "Hard",
     std::string(300, 'x') + "\n" + Block("Hard", "\tiDancing = 1,\n"), false, kBefore},
    {"text after a NUL byte is not seen", "Hard",
     std::string("AISettings_Hard =\n\tiDancing = 1") + '\0' + " }\n\tiTechSpeed = 2,\n}\n", true,
     With(1, 9, 2)},
    {"a header after a NUL byte is not seen", "Hard",
     std::string("x") + '\0' + "AISettings_Hard =\n\tiDancing = 1,\n}\n", false, kBefore},
    {"a 0x1A byte does not end the input", "Hard", "AISettings_Hard =\n\x1a\n\tiDancing = 5,\n}\n",
     true, With(5)},
};

TEST(BlockReader, takes_the_values_of_its_block) {
    for (const ReadCase& c : kCases) {
        SCOPED_TRACE(c.what);
        ProfileRegistry::ClearForTesting();
        AISetting profile(c.name);
        SetValues(profile, kBefore);
        std::FILE* file = StreamOf(c.input);
        block::TextInput in(file);
        EXPECT_EQ(c.complete, profile.Read(in));
        EXPECT_EQ(c.after, ValuesOf(profile));
        std::fclose(file);
    }
    ProfileRegistry::ClearForTesting();
}

TEST(BlockReader, lines_across_buffer_refills_and_rewinds_of_a_large_file) {
    ProfileRegistry::ClearForTesting();
    // Lines of varying length so that line ends fall at every offset of the buffer's refills.
    std::string text;
    for (int i = 0; text.size() < 300000; ++i) {
        text += std::string(static_cast<std::size_t>(i % 250), 'a') + (i % 2 ? "\r\n" : "\n");
    }
    text += "AISettings_Hard =\r\n\tiDancing = 42,\r\n}";
    std::FILE* file = StreamOf(text);
    block::TextInput in(file);
    for (int round = 0; round < 3; ++round) {
        AISetting profile("Hard");
        ASSERT_TRUE(in.Rewind());
        ASSERT_TRUE(profile.Read(in));
        EXPECT_EQ(42, profile.iDancing);
    }
    std::fclose(file);
    ProfileRegistry::ClearForTesting();
}

}  // namespace
