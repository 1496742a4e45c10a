#pragma once
// The extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX records) read into plain
// structs. Texts are narrowed to 8 bits: ASCII is kept, anything else becomes '?'.

#include <cstddef>
#include <string>
#include <vector>

namespace own {

struct DialogItem {
    unsigned helpId, exStyle, style;
    short x, y, cx, cy;
    unsigned id;
    unsigned short classAtom;  // 0 when the class is given by name
    std::string className;     // as stored (windres upper-cases it): match it without case
    std::string text;
};

struct DialogTemplate {
    unsigned helpId, exStyle, style;
    short x, y, cx, cy;
    std::string menu;
    unsigned short classAtom;  // 0 when the class is given by name (or is the default)
    std::string className;
    std::string caption;
    unsigned short pointSize, weight;  // the font fields are 0 and empty without DS_SETFONT
    unsigned char italic, charset;
    std::string typeface;
    std::vector<DialogItem> items;
};

// False on truncated or corrupt input, or when the template is not in the extended format.
bool ParseDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out);

}  // namespace own
