#pragma once
// The program's compiled resources (control_panel.rc as a .res file), built into the Linux
// program so that the own layer can serve them; the Windows program carries them in its image.

#include <cstddef>

extern const unsigned char kProgramResFile[];
extern const std::size_t kProgramResFileSize;
