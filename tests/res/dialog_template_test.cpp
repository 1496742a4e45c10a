// Dialog 102 as compiled from the resource script, field by field, and templates that the
// parser must refuse or read in the less common forms.
#include <gtest/gtest.h>

#include <strings.h>

#include <string>
#include <vector>

#include "platform/own/dialog_template.h"
#include "platform/own/resources.h"
#include "res/program_resources.h"

namespace {

constexpr unsigned short kButton = 0x0080;
constexpr unsigned short kStatic = 0x0082;

// The bytes of dialog 102 from the program's compiled resources.
std::vector<unsigned char> Dialog102() {
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    EXPECT_TRUE(own::FindProgramResource(5, 102, &data, &size));
    return std::vector<unsigned char>(data, data + size);
}

// Parses an exact-size heap copy of the first n bytes, so the sanitizer sees any read past it.
bool ParsePrefix(const std::vector<unsigned char>& bytes, std::size_t n, own::DialogTemplate* out) {
    const std::vector<unsigned char> copy(bytes.begin(),
                                          bytes.begin() + static_cast<std::ptrdiff_t>(n));
    return own::ParseDialogTemplate(copy.data(), n, out);
}

// Builds little-endian template bytes by hand.
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
        while (data.size() % 4 != 0)
            data.push_back(0);
        return *this;
    }
};

struct ExpectedItem {
    unsigned id;
    unsigned short atom;
    const char* className;
    const char* text;
    unsigned style;
    short x, y, cx, cy;
};

// Dialog 102's controls in template order.
const ExpectedItem kItems[] = {
    {1007, kButton, "", "OK", 0x50010001, 6, 246, 54, 14},
    {1008, kButton, "", "Cancel", 0x50010000, 186, 246, 54, 14},
    {1000, 0, "msctls_trackbar32", "Slider1", 0x50010009, 25, 35, 135, 20},
    {0xFFFFFFFF, kButton, "", "Dancing", 0x50000007, 15, 25, 215, 35},
    {0xFFFFFFFF, kButton, "", "Attack Delay", 0x50000007, 15, 65, 215, 35},
    {1001, 0, "msctls_trackbar32", "Slider2", 0x50010009, 25, 75, 135, 20},
    {0xFFFFFFFF, kButton, "", "Teching Handicap", 0x50000007, 15, 145, 215, 35},
    {1003, 0, "msctls_trackbar32", "Slider2", 0x50010009, 25, 155, 135, 20},
    {1004, kButton, "", "Early Harassing", 0x50010003, 18, 198, 65, 15},
    {1005, kButton, "", "Dynamic Production Buildings", 0x50010003, 18, 210, 108, 15},
    {1006, kButton, "", "Alternative Strategies", 0x50010003, 18, 186, 80, 15},
    {1009, kStatic, "", "Godlike", 0x50020200, 165, 40, 60, 15},
    {1010, kStatic, "", "Off", 0x50020200, 165, 80, 60, 15},
    {1011, kStatic, "", "Off", 0x50020200, 165, 160, 60, 15},
    {3, kButton, "", "Apply", 0x50010000, 66, 246, 54, 14},
    {1013, kButton, "", "Build Relic Units", 0x50010003, 144, 186, 70, 15},
    {0xFFFFFFFF, kButton, "", "Tech Speed", 0x50000007, 15, 105, 215, 35},
    {1014, 0, "msctls_trackbar32", "Slider2", 0x50010009, 25, 115, 135, 20},
    {1015, kStatic, "", "Off", 0x50020200, 165, 120, 60, 15},
    {4, kButton, "", "Reset", 0x50010000, 126, 246, 54, 14},
    {1016, kButton, "", "Build Turrets", 0x50010003, 144, 198, 80, 15},
    {1017, kButton, "", "Build Mines", 0x50010003, 144, 210, 80, 15},
    {1012, 0, "SysTabControl32", "", 0x50000000, 5, 5, 235, 229},
};

}  // namespace

TEST(dialog_template, header_of_dialog_102) {
    own::DialogTemplate dialog;
    const auto bytes = Dialog102();
    ASSERT_TRUE(own::ParseDialogTemplate(bytes.data(), bytes.size(), &dialog));
    EXPECT_EQ(0u, dialog.helpId);
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(0x90C808C0u, dialog.style);
    EXPECT_EQ(0, dialog.x);
    EXPECT_EQ(0, dialog.y);
    EXPECT_EQ(246, dialog.cx);
    EXPECT_EQ(268, dialog.cy);
    EXPECT_EQ("", dialog.menu);
    EXPECT_EQ(0, dialog.classAtom);
    EXPECT_EQ("DLGCLASS", dialog.className);
    EXPECT_EQ("AI Control Panel", dialog.caption);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ(0, dialog.weight);
    EXPECT_EQ(0, dialog.italic);
    EXPECT_EQ(0, dialog.charset);
    EXPECT_EQ("MS Sans Serif", dialog.typeface);
}

TEST(dialog_template, controls_of_dialog_102_in_order) {
    own::DialogTemplate dialog;
    const auto bytes = Dialog102();
    ASSERT_TRUE(own::ParseDialogTemplate(bytes.data(), bytes.size(), &dialog));
    ASSERT_EQ(std::size(kItems), dialog.items.size());
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        const own::DialogItem& got = dialog.items[i];
        const ExpectedItem& want = kItems[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.atom, got.classAtom);
        // windres stores class names upper-cased; the platform compares them without case.
        EXPECT_EQ(0, strcasecmp(want.className, got.className.c_str())) << got.className;
        EXPECT_EQ(want.text, got.text);
        EXPECT_EQ(want.style, got.style);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(0u, got.helpId);
        EXPECT_EQ(0u, got.exStyle);
    }
}

TEST(dialog_template, every_truncation_fails) {
    const auto bytes = Dialog102();
    own::DialogTemplate dialog;
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(ParsePrefix(bytes, n, &dialog)) << n;
    EXPECT_TRUE(ParsePrefix(bytes, bytes.size(), &dialog));
}

TEST(dialog_template, corrupt_or_old_format_is_refused) {
    const auto bytes = Dialog102();
    own::DialogTemplate dialog;
    const auto refuses = [&](std::size_t offset, unsigned char value) {
        auto changed = bytes;
        changed[offset] = value;
        return !ParsePrefix(changed, changed.size(), &dialog);
    };
    EXPECT_TRUE(refuses(0, 2));                 // dlgVer other than 1
    EXPECT_TRUE(refuses(2, 0xFE));              // signature other than 0xFFFF
    EXPECT_TRUE(refuses(16, 24));               // 24 items where 23 are
    EXPECT_TRUE(refuses(bytes.size() - 2, 2));  // creation data past the end
    // The old DLGTEMPLATE opens with its style.
    EXPECT_FALSE(own::ParseDialogTemplate(Bytes().Dword(0x90C808C0).data.data(), 4, &dialog));
}

TEST(dialog_template, reads_numbers_other_texts_and_creation_data) {
    Bytes t;
    t.Word(1).Word(0xFFFF).Dword(7).Dword(0).Dword(0x80000000).Word(2);  // no DS_SETFONT
    t.Word(-1).Word(2).Word(30).Word(40);
    t.Word(0xFFFF).Word(200);  // menu by number
    t.Word(0xFFFF).Word(0x8002);
    t.Text(u"Gr\u00FC\u00DFe \U0001F600!");
    t.Align().Dword(0).Dword(0).Dword(0x50000000).Word(1).Word(2).Word(3).Word(4).Dword(9);
    t.Text(u"Custom").Word(0xFFFF).Word(300);     // text by number
    t.Word(3).Word(0xAAAA).data.push_back(0xAA);  // three bytes of creation data
    t.Align().Dword(0).Dword(0).Dword(0).Word(0).Word(0).Word(0).Word(0).Dword(10);
    t.Word(0xFFFF).Word(kStatic).Text(u"").Word(0);

    own::DialogTemplate dialog;
    ASSERT_TRUE(own::ParseDialogTemplate(t.data.data(), t.data.size(), &dialog));
    EXPECT_EQ(7u, dialog.helpId);
    EXPECT_EQ(-1, dialog.x);
    EXPECT_EQ("#200", dialog.menu);
    EXPECT_EQ(0x8002, dialog.classAtom);
    EXPECT_EQ("", dialog.className);
    EXPECT_EQ("Gr??e ?!", dialog.caption);
    EXPECT_EQ(0, dialog.pointSize);
    EXPECT_EQ("", dialog.typeface);
    ASSERT_EQ(2u, dialog.items.size());
    EXPECT_EQ("Custom", dialog.items[0].className);
    EXPECT_EQ("#300", dialog.items[0].text);
    EXPECT_EQ(9u, dialog.items[0].id);
    EXPECT_EQ(kStatic, dialog.items[1].classAtom);
    EXPECT_EQ(10u, dialog.items[1].id);
}
