#pragma once
// The extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX records) read into plain
// structs. Texts are narrowed to 8 bits: ASCII is kept, anything else becomes '?'.

#include <cstddef>
#include <string>
#include <vector>

namespace own {

struct DialogItem {
    unsigned exStyle, style;
    short x, y, cx, cy;
    unsigned id;
    unsigned short classAtom;  // 0 when the class is given by name
    std::string className;     // as stored (windres upper-cases it): match it without case
    std::string text;
};

struct DialogTemplate {
    unsigned exStyle, style;
    short x, y, cx, cy;
    unsigned short classAtom;  // 0 when the class is given by name (or is the default)
    std::string className;
    std::string caption;
    std::vector<DialogItem> items;
};

// False on truncated or corrupt input, or when the template is not in the extended format.
bool ParseDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out);

}  // namespace own
