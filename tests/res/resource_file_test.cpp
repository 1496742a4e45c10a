// The program's compiled resources as the own layer reads them, and .res images that are cut
// short or corrupt. Images are exact-size heap copies, so the sanitizer sees any read past them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/own/resources.h"
#include "res/program_resources.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned kRtDialog = 5;
constexpr unsigned kRtManifest = 24;

const Bytes kWhole(kProgramResFile, kProgramResFile + kProgramResFileSize);

bool Read(const Bytes& image, std::vector<own::ResourceEntry>* entries) {
    return own::ReadResourceFile(image.data(), image.size(), entries);
}

void PutDword(Bytes& image, std::size_t offset, unsigned value) {
    for (int i = 0; i < 4; ++i)
        image[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

TEST(resource_file, holds_dialog_102_and_the_manifest_and_nothing_else) {
    std::vector<own::ResourceEntry> entries;
    ASSERT_TRUE(Read(kWhole, &entries));
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(kRtDialog, entries[0].type);
    EXPECT_EQ(102u, entries[0].id);
    EXPECT_EQ(1031u, entries[0].language);
    EXPECT_EQ(kRtManifest, entries[1].type);
    EXPECT_EQ(1u, entries[1].id);
    EXPECT_EQ(1033u, entries[1].language);
    for (const auto& entry : entries)
        EXPECT_EQ("", entry.typeName + entry.name);
}

TEST(resource_file, lookup_by_number_finds_the_manifest_and_nothing_absent) {
    const std::string manifest =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "</assembly>\n";
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    unsigned language = 0;
    ASSERT_TRUE(own::FindProgramResource(kRtManifest, 1, &data, &size, &language));
    EXPECT_EQ(manifest, std::string(reinterpret_cast<const char*>(data), size));
    EXPECT_EQ(1033u, language);
    EXPECT_FALSE(own::FindProgramResource(kRtDialog, 103, &data, &size));
    EXPECT_FALSE(own::FindProgramResource(kRtManifest, 102, &data, &size));

    own::SetProgramResources(nullptr, 0);
    EXPECT_FALSE(own::FindProgramResource(kRtManifest, 1, &data, &size));
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
}

// A cut image is read only when the cut falls between entries (or in the last one's padding).
TEST(resource_file, every_truncation_fails_or_ends_between_entries) {
    std::vector<own::ResourceEntry> entries;
    ASSERT_TRUE(Read(kWhole, &entries));
    ASSERT_EQ(2u, entries.size());
    const std::size_t manifestData = static_cast<std::size_t>(entries[1].data - kWhole.data());
    const std::size_t manifestStart = manifestData - 32;  // its header holds only numbers
    const std::size_t manifestEnd = manifestData + entries[1].size;
    for (std::size_t n = 0; n < kWhole.size(); ++n) {
        const Bytes cut(kWhole.begin(), kWhole.begin() + static_cast<std::ptrdiff_t>(n));
        const bool whole = n == 32 || n == manifestStart || n >= manifestEnd;
        EXPECT_EQ(whole, Read(cut, &entries)) << n;
    }
}

TEST(resource_file, corrupt_headers_are_refused) {
    const std::size_t dialog = 32;  // the dialog's header follows the leading empty entry
    std::vector<own::ResourceEntry> entries;
    const auto refuses = [&](std::size_t offset, unsigned value) {
        Bytes image = kWhole;
        PutDword(image, offset, value);
        return !Read(image, &entries);
    };
    EXPECT_TRUE(refuses(0, 4));                    // leading entry not empty
    EXPECT_TRUE(refuses(dialog, 0xFFFFFFF0));      // data size past the end
    EXPECT_TRUE(refuses(dialog + 4, 0xFFFFFFFC));  // header size past the end
    EXPECT_TRUE(refuses(dialog + 4, 8));           // header too small for its fields

    Bytes unterminated = kWhole;  // a type name that runs to the header's end
    std::memset(unterminated.data() + dialog + 8, 'A', 24);
    EXPECT_FALSE(Read(unterminated, &entries));
}
