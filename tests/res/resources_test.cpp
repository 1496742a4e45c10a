// The compiled resource file and dialog templates as the own layer reads them: what the program's
// file holds, and images cut short or corrupt. Images are exact-size heap copies, so the sanitizer
// sees any read past them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/own/dialog_template.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"

namespace {

std::vector<own::ResourceEntry> g_entries;  // what the last image read as
own::DialogTemplate g_dialog;

// Image bytes, copied from the program's file.
struct Bytes {
    std::vector<unsigned char> data;
    Bytes Prefix(std::size_t n) const { return {{data.begin(), data.begin() + long(n)}}; }
    Bytes With(std::size_t offset, unsigned dword) const {
        Bytes b = *this;
        std::memcpy(b.data.data() + offset, &dword, 4);
        return b;
    }
    bool ReadsAsResources() const {
        return own::ReadResourceFile(data.data(), data.size(), &g_entries);
    }
    bool ReadsAsDialog() const {
        return own::ParseDialogTemplate(data.data(), data.size(), &g_dialog);
    }
};

const Bytes kFile{{kProgramResFile, kProgramResFile + kProgramResFileSize}};
constexpr std::size_t kDialogHeader = 32;  // after the leading empty entry

TEST(resource_file, reads_the_programs_file_and_refuses_what_is_cut_or_corrupt) {
    ASSERT_TRUE(kFile.ReadsAsResources());
    ASSERT_EQ(2u, g_entries.size());
    // A cut image is read only when the cut falls between entries (or in the last one's padding).
    const auto manifestData = static_cast<std::size_t>(g_entries[1].data - kFile.data.data());
    const std::size_t manifestEnd = manifestData + g_entries[1].size;
    for (std::size_t n = 0; n < kFile.data.size(); ++n) {
        bool whole = n == kDialogHeader || n == manifestData - 32 || n >= manifestEnd;
        EXPECT_EQ(whole, kFile.Prefix(n).ReadsAsResources()) << n;
    }
    // A leading entry that holds data (here the dialog's entry), or has a type or a name.
    EXPECT_FALSE(kFile.With(0, manifestData - 32 - kDialogHeader).ReadsAsResources());
    EXPECT_FALSE(kFile.With(8, 0x0005FFFF).ReadsAsResources());
    EXPECT_FALSE(kFile.With(12, 0x0001FFFF).ReadsAsResources());
    Bytes unterminated = kFile;  // a type name that runs to the header's end
    std::memset(unterminated.data.data() + kDialogHeader + 8, 'A', 24);
    EXPECT_FALSE(unterminated.ReadsAsResources());
}

TEST(dialog_template, cut_corrupt_or_old_format_is_refused) {
    ASSERT_TRUE(kFile.ReadsAsResources());
    const Bytes bytes{{g_entries[0].data, g_entries[0].data + g_entries[0].size}};
    for (std::size_t n = 0; n < bytes.data.size(); ++n)
        EXPECT_FALSE(bytes.Prefix(n).ReadsAsDialog()) << n;
    ASSERT_TRUE(bytes.ReadsAsDialog());
    EXPECT_FALSE(bytes.With(0, 0xFFFF0002).ReadsAsDialog());  // dlgVer other than 1
    EXPECT_FALSE(bytes.With(0, 0xFFFE0001).ReadsAsDialog());  // signature not 0xFFFF
    EXPECT_FALSE(bytes.With(16, 24 | (bytes.data[18] << 16)).ReadsAsDialog());  // 24 items
}

}  // namespace
