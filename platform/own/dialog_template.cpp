#include "platform/own/dialog_template.h"

#include "platform/own/resources.h"
#include "platform/own/win32.h"

namespace own {

namespace {

constexpr unsigned short kExtendedSignature = 0xFFFF;

// The x, y, cx, cy that header and items share, then the window class as atom or name.
template <typename T>
void ReadRect(ByteReader& in, T* out) {
    out->x = static_cast<short>(in.Word());
    out->y = static_cast<short>(in.Word());
    out->cx = static_cast<short>(in.Word());
    out->cy = static_cast<short>(in.Word());
}
template <typename T>
void ReadClass(ByteReader& in, T* out) {
    const NameOrOrdinal windowClass = in.ReadNameOrOrdinal();
    out->classAtom = windowClass.isOrdinal ? windowClass.ordinal : 0;
    out->className = windowClass.name;
}

// Reads the DLGTEMPLATEEX header, font included, and stores its item count. False when it is
// not an extended template.
bool ReadHeader(ByteReader& in, DialogTemplate* out, int* count) {
    const unsigned version = in.Word();
    if (version != 1 || in.Word() != kExtendedSignature)
        return false;
    in.Skip(4);  // help id
    out->exStyle = in.Dword();
    out->style = in.Dword();
    *count = in.Word();
    ReadRect(in, out);
    in.ReadNameOrOrdinal();  // menu
    ReadClass(in, out);
    out->caption = in.String();
    // The font: dialogs lay out with the layer's own font whatever the template names.
    if (out->style & DS_SETFONT) {
        in.Skip(6);  // point size, weight, italic, character set
        in.String();
    }
    return true;
}

// Reads the DLGITEMTEMPLATEEX at the next DWORD boundary, and skips its creation data.
void ReadItem(ByteReader& in, DialogItem* out) {
    in.AlignDword();
    in.Skip(4);  // help id
    out->exStyle = in.Dword();
    out->style = in.Dword();
    ReadRect(in, out);
    out->id = in.Dword();
    ReadClass(in, out);
    out->text = in.ReadNameOrOrdinal().name;  // a text given by number (a resource's) reads empty
    in.Skip(in.Word());                       // creation data, preceded by its byte count
}

}  // namespace

bool ParseDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out) {
    *out = DialogTemplate{};
    ByteReader in(data, size);
    int count = 0;
    if (!ReadHeader(in, out, &count))
        return false;
    for (int i = 0; in.ok() && i < count; ++i) {
        DialogItem item{};
        ReadItem(in, &item);
        if (in.ok())
            out->items.push_back(item);
    }
    return in.ok();
}

}  // namespace own
