#pragma once
// The program's resources in the own layer: a compiled .res file image, searched by type and id.

#include <cstddef>

namespace own {

// The program's compiled resources; the Linux entry points set them before the program starts.
// The image is not copied: it must outlive every lookup.
void SetProgramResources(const void* resFile, std::size_t size);

// Finds a resource by integer type and id, any language. False when absent or the image is
// malformed. On success *data points into the image and *size is the resource's byte count.
bool FindProgramResource(unsigned type, unsigned id, const unsigned char** data, std::size_t* size,
                         unsigned* language = nullptr);

}  // namespace own
