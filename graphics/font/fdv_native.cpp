// Font driver for the library's own ".fnt" bitmap fonts: a 56-byte header, an optional width table, then the glyphs.
// The file is untrusted: every table and glyph is checked against the file size when the file is opened.
#include "font/byte_reader.h"
#include "font/fontdrv.h"

#include <algorithm>

namespace
{

constexpr std::uint32_t native_magic = 0x19590214;
constexpr std::size_t native_header_size = 56;

struct native_state {
    std::span<const std::uint8_t> file;
    std::uint32_t width = 0, height = 0;
    std::uint32_t baseline = 0, ulheight = 0;
    bool fixed = true;
    std::string name, family;
    glyph_table glyphs; // offsets into the file
};
native_state state;

std::string fixed_string(std::span<const std::uint8_t> field)
{
    auto end = std::find(field.begin(), field.end(), 0);
    return std::string(field.begin(), end);
}

bool read_header(byte_reader& in)
{
    if (in.u32le() != native_magic)
        return false;
    in.u32le(); // bitmap size: the glyph layout below decides what must be there
    state.width = in.u16le();
    state.height = in.u16le();
    state.glyphs.first = in.u16le();
    std::uint32_t maxchar = in.u16le();
    state.fixed = in.u16le() != 0;
    in.u16le();
    state.baseline = in.u16le();
    state.ulheight = in.u16le();
    state.name = fixed_string(in.bytes(16));
    state.family = fixed_string(in.bytes(16));
    if (!in.ok() || maxchar < state.glyphs.first || state.height == 0)
        return false;
    state.glyphs.widths.assign(maxchar - state.glyphs.first + 1, state.width);
    return true;
}

// Reads the widths and checks that every glyph lies inside the file.
bool read_layout(byte_reader& in)
{
    glyph_table& g = state.glyphs;
    if (!state.fixed) {
        if (!in.has_range(in.pos(), std::size_t{2} * g.count()))
            return false;
        for (auto& w : g.widths)
            w = in.u16le();
    }
    std::size_t at = in.pos();
    g.offsets.resize(g.count());
    for (std::uint32_t i = 0; i < g.count(); ++i) {
        std::size_t size = std::size_t{(g.widths[i] + 7) / 8} * state.height;
        if (!in.has_range(at, size))
            return false;
        g.offsets[i] = at;
        at += size;
    }
    return true;
}

int native_open(std::span<const std::uint8_t> file, const char*)
{
    state = {};
    state.file = file;
    byte_reader in(file);
    return file.size() >= native_header_size && read_header(in) && read_layout(in);
}

int native_header(GrFontHeader* hdr)
{
    hdr->name = state.name.c_str();
    hdr->family = state.family.c_str();
    hdr->proportional = !state.fixed;
    hdr->width = state.width;
    hdr->height = state.height;
    hdr->baseline = state.baseline;
    hdr->ulheight = std::min(state.ulheight, state.height);
    hdr->ulpos = state.height - hdr->ulheight;
    hdr->minchar = state.glyphs.first;
    hdr->numchars = state.glyphs.count();
    return 1;
}

int native_charwdt(int code)
{
    return state.glyphs.width_of(code);
}

int native_bitmap(int code, int w, int h, unsigned char* buffer)
{
    auto i = state.glyphs.stored_glyph(code, w, h, state.height);
    if (!i)
        return 0;
    const std::uint8_t* src = state.file.data() + state.glyphs.offsets[*i];
    copy_glyph_rows(buffer, src, (static_cast<std::size_t>(w) + 7) / 8, w, h);
    return 1;
}

} // namespace

constexpr font_driver fdv_native = {
    .name = "NATIVE",
    .ext = ".fnt",
    .scalable = 0,
    .openfile = native_open,
    .header = native_header,
    .charwdt = native_charwdt,
    .bitmap = native_bitmap,
    .cleanup = clear_state<state>,
    .unicode = nullptr, // no Unicode table: code page 437
};
