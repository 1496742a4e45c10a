#pragma once
// The program's resources in the own layer: a compiled .res file image, searched by type and id,
// and the bounds-checked little-endian reader that this and the dialog template parser share.

#include <cstddef>
#include <string>
#include <vector>

namespace own {

// The program's compiled resources; the Linux entry points set them before the program starts.
// The image is not copied: it must outlive every lookup.
void SetProgramResources(const void* resFile, std::size_t size);

// Finds a resource by integer type and id, any language. False when absent or the image is
// malformed. On success *data points into the image and *size is the resource's byte count.
bool FindProgramResource(unsigned type, unsigned id, const unsigned char** data, std::size_t* size);

// One resource of a .res file image. A type or name given as a string has the number 0.
struct ResourceEntry {
    unsigned type, id;
    const unsigned char* data;
    std::size_t size;
};

// Reads every resource of a .res file image that follows its leading empty entry. False when
// the image is truncated or corrupt; *out then holds the entries read before the fault.
bool ReadResourceFile(const unsigned char* resFile, std::size_t size,
                      std::vector<ResourceEntry>* out);

// A field that holds a number (0xFFFF, then the number) or a NUL-terminated UTF-16 string.
struct NameOrOrdinal {
    bool isOrdinal;
    unsigned short ordinal;
    std::string name;  // narrowed: ASCII kept, any other character '?'
};

// Reads little-endian fields from [base, base + size) and never touches a byte outside it.
// A read that does not fit clears ok(); from then on every read yields 0 or empty.
class ByteReader {
  public:
    ByteReader(const unsigned char* base, std::size_t size, std::size_t offset = 0);

    unsigned short Word();
    unsigned Dword();
    void Skip(std::size_t count);
    // Moves to the next multiple of four bytes from base.
    void AlignDword();
    std::string String();
    NameOrOrdinal ReadNameOrOrdinal();

    bool ok() const { return ok_; }
    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return ok_ ? size_ - offset_ : 0; }

  private:
    bool Take(std::size_t count);

    const unsigned char* base_;
    std::size_t size_;
    std::size_t offset_;
    bool ok_;
};

}  // namespace own
