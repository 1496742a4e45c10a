#include "platform/own/dialog_template.h"

#include "platform/own/resources.h"

namespace own {

namespace {

constexpr unsigned kDsSetFont = 0x40;
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

// Reads the DLGTEMPLATEEX header at data, font included, and stores its item count. Returns the
// position after it, or nullptr when it does not fit before end or is not an extended template.
const unsigned char* ReadHeader(const unsigned char* data, const unsigned char* end,
                                DialogTemplate* out, int* count) {
    ByteReader in(data, static_cast<std::size_t>(end - data));
    const unsigned version = in.Word();
    if (version != 1 || in.Word() != kExtendedSignature)
        return nullptr;
    in.Skip(4);  // help id
    out->exStyle = in.Dword();
    out->style = in.Dword();
    *count = in.Word();
    ReadRect(in, out);
    in.ReadNameOrOrdinal();  // menu
    ReadClass(in, out);
    out->caption = in.String();
    // The font: dialogs lay out with the layer's own font whatever the template names.
    if (out->style & kDsSetFont) {
        in.Skip(6);  // point size, weight, italic, character set
        in.String();
    }
    return in.ok() ? data + in.offset() : nullptr;
}

// Reads the DLGITEMTEMPLATEEX at the first DWORD boundary from pos, counted from data. Returns
// the position after it and its creation data, or nullptr when it does not fit before end.
const unsigned char* ReadItem(const unsigned char* data, const unsigned char* pos,
                              const unsigned char* end, DialogItem* out) {
    ByteReader in(data, static_cast<std::size_t>(end - data), static_cast<std::size_t>(pos - data));
    in.AlignDword();
    in.Skip(4);  // help id
    out->exStyle = in.Dword();
    out->style = in.Dword();
    ReadRect(in, out);
    out->id = in.Dword();
    ReadClass(in, out);
    out->text = in.ReadNameOrOrdinal().name;  // a text given by number (a resource's) reads empty
    in.Skip(in.Word());                       // creation data, preceded by its byte count
    return in.ok() ? data + in.offset() : nullptr;
}

}  // namespace

bool ParseDialogTemplate(const unsigned char* data, std::size_t size, DialogTemplate* out) {
    *out = DialogTemplate{};
    if (data == nullptr)
        return false;
    const unsigned char* const end = data + size;
    int count = 0;
    const unsigned char* pos = ReadHeader(data, end, out, &count);
    for (int i = 0; pos != nullptr && i < count; ++i) {
        DialogItem item{};
        pos = ReadItem(data, pos, end, &item);
        if (pos != nullptr)
            out->items.push_back(item);
    }
    return pos != nullptr;
}

}  // namespace own
