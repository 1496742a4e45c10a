#include "platform/own/resources.h"

namespace own {

namespace {

const unsigned char* g_resFile = nullptr;
std::size_t g_resFileSize = 0;

// The smallest RESOURCEHEADER: two sizes, type and name as numbers, and DataVersion,
// MemoryFlags, LanguageId, Version and Characteristics.
constexpr std::size_t kMinHeaderSize = 32;

// The program looks its resources up by number: one named by a string reads as number 0.
unsigned NumberOf(const NameOrOrdinal& field) {
    return field.isOrdinal ? field.ordinal : 0;
}

// Reads the entry at reader's offset into *out and moves the reader to the next entry. False
// when the header or the data does not fit in the image.
bool ReadEntry(ByteReader& in, const unsigned char* image, ResourceEntry* out) {
    const std::size_t start = in.offset();
    const std::size_t dataSize = in.Dword();
    const std::size_t headerSize = in.Dword();
    if (!in.ok() || headerSize < kMinHeaderSize || headerSize > in.remaining() + 8 ||
        dataSize > in.remaining() + 8 - headerSize)
        return false;

    // The header's fields must lie inside the header itself.
    ByteReader header(image, start + headerSize, in.offset());
    out->type = NumberOf(header.ReadNameOrOrdinal());
    out->id = NumberOf(header.ReadNameOrOrdinal());
    header.AlignDword();
    header.Skip(16);  // DataVersion, MemoryFlags, LanguageId, Version, Characteristics
    if (!header.ok())
        return false;

    out->data = image + start + headerSize;
    out->size = dataSize;
    in.Skip(headerSize - 8 + dataSize);
    // The data is padded to a DWORD; a last entry without its padding is still whole.
    const std::size_t padding = (4 - in.offset() % 4) % 4;
    in.Skip(padding <= in.remaining() ? padding : in.remaining());
    return in.ok();
}

}  // namespace

ByteReader::ByteReader(const unsigned char* base, std::size_t size, std::size_t offset)
    : base_(base), size_(size), offset_(offset), ok_(base != nullptr && offset <= size) {}

bool ByteReader::Take(std::size_t count) {
    if (!ok_ || count > size_ - offset_) {
        ok_ = false;
        return false;
    }
    offset_ += count;
    return true;
}

unsigned short ByteReader::Word() {
    if (!Take(2))
        return 0;
    return static_cast<unsigned short>(base_[offset_ - 2] | base_[offset_ - 1] << 8);
}

unsigned ByteReader::Dword() {
    const unsigned low = Word();
    const unsigned high = Word();
    return low | high << 16;
}

void ByteReader::Skip(std::size_t count) {
    Take(count);
}

void ByteReader::AlignDword() {
    Take((4 - offset_ % 4) % 4);
}

std::string ByteReader::String() {
    std::string text;
    for (unsigned short unit = Word(); unit != 0; unit = Word())
        text += unit < 0x80 ? static_cast<char>(unit) : '?';  // ASCII kept
    if (!ok_)
        text.clear();
    return text;
}

NameOrOrdinal ByteReader::ReadNameOrOrdinal() {
    NameOrOrdinal field{false, 0, {}};
    if (remaining() >= 2 && base_[offset_] == 0xFF && base_[offset_ + 1] == 0xFF) {
        Word();
        field.isOrdinal = true;
        field.ordinal = Word();
    } else {
        field.name = String();
    }
    return field;
}

bool ReadResourceFile(const unsigned char* resFile, std::size_t size,
                      std::vector<ResourceEntry>* out) {
    out->clear();
    ByteReader in(resFile, size);
    // A .res file opens with an empty entry of type 0 and name 0.
    ResourceEntry first{};
    if (!ReadEntry(in, resFile, &first) || first.size != 0 || first.type != 0 || first.id != 0)
        return false;
    while (in.remaining() > 0) {
        ResourceEntry entry{};
        if (!ReadEntry(in, resFile, &entry))
            return false;
        out->push_back(entry);
    }
    return true;
}

void SetProgramResources(const void* resFile, std::size_t size) {
    g_resFile = static_cast<const unsigned char*>(resFile);
    g_resFileSize = size;
}

bool FindProgramResource(unsigned type, unsigned id, const unsigned char** data,
                         std::size_t* size) {
    std::vector<ResourceEntry> entries;
    if (!ReadResourceFile(g_resFile, g_resFileSize, &entries))
        return false;
    for (const ResourceEntry& entry : entries) {
        if (entry.type == type && entry.id == id) {
            *data = entry.data;
            *size = entry.size;
            return true;
        }
    }
    return false;
}

}  // namespace own
