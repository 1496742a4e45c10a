// The compiled resource file and dialog templates as the own layer reads them: what the program's
// file holds, and images cut short, corrupt, or in the forms that dialog 102 does not use. Images
// are exact-size heap copies, so the sanitizer sees any read past them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/own/dialog_template.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"

namespace {

std::vector<own::ResourceEntry> g_entries;  // what the last image read as
own::DialogTemplate g_dialog;

// Little-endian image bytes, built by hand or copied.
struct Bytes {
    std::vector<unsigned char> data;
    Bytes& Word(unsigned v) {
        data.push_back(static_cast<unsigned char>(v));
        data.push_back(static_cast<unsigned char>(v >> 8));
        return *this;
    }
    Bytes& Dword(unsigned v) { return Word(v & 0xFFFF).Word(v >> 16); }
    Bytes& Text(const std::u16string& s) {
        for (char16_t c : s)
            Word(c);
        return Word(0);
    }
    Bytes& Align() {
        data.resize((data.size() + 3) / 4 * 4);
        return *this;
    }
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

TEST(dialog_template, reads_numbers_other_texts_and_creation_data) {
    Bytes t;
    t.Word(1).Word(0xFFFF).Dword(7).Dword(0).Dword(0x80000000).Word(2);  // no DS_SETFONT
    t.Word(-1).Word(2).Word(30).Word(40);
    t.Word(0xFFFF).Word(200);  // menu by number
    t.Word(0xFFFF).Word(0x8002);
    t.Text(u"Gr\u00FC\u00DFe!");
    t.Align().Dword(0).Dword(0).Dword(0x50000000).Word(1).Word(2).Word(3).Word(4).Dword(9);
    t.Text(u"Custom").Word(0xFFFF).Word(300);     // text by number
    t.Word(3).Word(0xAAAA).data.push_back(0xAA);  // three bytes of creation data
    t.Align().Dword(0).Dword(0).Dword(0).Word(0).Word(0).Word(0).Word(0).Dword(10);
    t.Word(0xFFFF).Word(0x0082).Text(u"").Word(0);
    ASSERT_TRUE(t.ReadsAsDialog());
    EXPECT_EQ(-1, g_dialog.x);
    EXPECT_EQ(0x8002, g_dialog.classAtom);
    EXPECT_EQ("Gr??e!", g_dialog.caption);
    ASSERT_EQ(2u, g_dialog.items.size());
    EXPECT_EQ("Custom", g_dialog.items[0].className);
    EXPECT_EQ(9u, g_dialog.items[0].id);
    EXPECT_EQ(0x0082, g_dialog.items[1].classAtom);
    EXPECT_EQ(10u, g_dialog.items[1].id);
}

}  // namespace
