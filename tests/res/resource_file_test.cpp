// The program's compiled resources as the own layer reads them, and .res images that are cut
// short or corrupt.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/own/resources.h"
#include "res/program_resources.h"

namespace {

constexpr unsigned kRtDialog = 5;
constexpr unsigned kRtManifest = 24;

// A heap copy of exactly the given bytes, so that the sanitizer sees any read past its end.
struct Image {
    explicit Image(const unsigned char* bytes, std::size_t n)
        : data(std::make_unique<unsigned char[]>(n)), size(n) {
        if (n > 0)
            std::memcpy(data.get(), bytes, n);
    }
    std::unique_ptr<unsigned char[]> data;
    std::size_t size;
};

std::vector<own::ResourceEntry> Entries(const Image& image) {
    std::vector<own::ResourceEntry> entries;
    EXPECT_TRUE(own::ReadResourceFile(image.data.get(), image.size, &entries));
    return entries;
}

void PutDword(Image& image, std::size_t offset, unsigned value) {
    for (int i = 0; i < 4; ++i)
        image.data[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

TEST(resource_file, holds_dialog_102_and_the_manifest_and_nothing_else) {
    const Image image(kProgramResFile, kProgramResFileSize);
    const auto entries = Entries(image);
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

TEST(resource_file, manifest_is_an_empty_assembly) {
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"
        "</assembly>\n";
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    unsigned language = 0;
    ASSERT_TRUE(own::FindProgramResource(kRtManifest, 1, &data, &size, &language));
    EXPECT_EQ(expected, std::string(reinterpret_cast<const char*>(data), size));
    EXPECT_EQ(1033u, language);
}

TEST(resource_file, lookup_finds_only_what_is_there) {
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    EXPECT_TRUE(own::FindProgramResource(kRtDialog, 102, &data, &size));
    EXPECT_FALSE(own::FindProgramResource(kRtDialog, 103, &data, &size));
    EXPECT_FALSE(own::FindProgramResource(kRtManifest, 102, &data, &size));
    own::SetProgramResources(nullptr, 0);
    EXPECT_FALSE(own::FindProgramResource(kRtDialog, 102, &data, &size));
    own::SetProgramResources(kProgramResFile, kProgramResFileSize);
}

// A cut image is read only when the cut falls between entries (or in the last one's padding).
TEST(resource_file, every_truncation_fails_or_ends_between_entries) {
    const Image whole(kProgramResFile, kProgramResFileSize);
    const auto entries = Entries(whole);
    ASSERT_EQ(2u, entries.size());
    const auto offsetOf = [&](const unsigned char* p) {
        return static_cast<std::size_t>(p - whole.data.get());
    };
    const std::size_t manifestStart = offsetOf(entries[1].data) - 32;  // its header has numbers
    const std::size_t manifestEnd = offsetOf(entries[1].data) + entries[1].size;
    for (std::size_t n = 0; n < whole.size; ++n) {
        const Image cut(whole.data.get(), n);
        std::vector<own::ResourceEntry> read;
        const bool expected = n == 32 || n == manifestStart || n >= manifestEnd;
        EXPECT_EQ(expected, own::ReadResourceFile(cut.data.get(), n, &read)) << n;
    }
}

TEST(resource_file, corrupt_headers_are_refused) {
    const Image whole(kProgramResFile, kProgramResFileSize);
    const std::size_t dialog = 32;  // the dialog's header follows the leading empty entry
    std::vector<own::ResourceEntry> read;
    const auto refuses = [&](std::size_t offset, unsigned value) {
        Image image(whole.data.get(), whole.size);
        PutDword(image, offset, value);
        return !own::ReadResourceFile(image.data.get(), image.size, &read);
    };
    EXPECT_TRUE(refuses(0, 4));                    // leading entry not empty
    EXPECT_TRUE(refuses(dialog, 0xFFFFFFF0));      // data size past the end
    EXPECT_TRUE(refuses(dialog + 4, 0xFFFFFFFC));  // header size past the end
    EXPECT_TRUE(refuses(dialog + 4, 8));           // header too small for its fields

    // A type name with no terminator before the header's end.
    Image unterminated(whole.data.get(), whole.size);
    std::memset(unterminated.data.get() + dialog + 8, 'A', 24);
    EXPECT_FALSE(own::ReadResourceFile(unterminated.data.get(), unterminated.size, &read));
}
