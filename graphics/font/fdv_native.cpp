// Font driver for the library's own ".fnt" bitmap fonts: a 56-byte header, an optional width table, then the glyphs.
// The file is untrusted: every table and glyph is checked against the file size when the file is opened.
#include "font/byte_reader.h"
#include "font/fontdrv.h"

#include <algorithm>
#include <cstring>

namespace
{

constexpr std::uint32_t native_magic = 0x19590214;
constexpr std::size_t native_header_size = 56;

struct native_state {
    std::span<const std::uint8_t> file;
    std::uint32_t width = 0, height = 0, minchar = 0, numchars = 0;
    std::uint32_t baseline = 0, ulheight = 0;
    bool fixed = true;
    std::string name, family;
    std::vector<std::uint32_t> widths; // per character
    std::vector<std::size_t> offsets;  // of each glyph in the file
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
    state.minchar = in.u16le();
    std::uint32_t maxchar = in.u16le();
    state.fixed = in.u16le() != 0;
    in.u16le();
    state.baseline = in.u16le();
    state.ulheight = in.u16le();
    state.name = fixed_string(in.bytes(16));
    state.family = fixed_string(in.bytes(16));
    if (!in.ok() || maxchar < state.minchar || state.height == 0)
        return false;
    state.numchars = maxchar - state.minchar + 1;
    return true;
}

// Reads the widths and checks that every glyph lies inside the file.
bool read_layout(byte_reader& in)
{
    state.widths.assign(state.numchars, state.width);
    if (!state.fixed) {
        if (!in.has_range(in.pos(), std::size_t{2} * state.numchars))
            return false;
        for (auto& w : state.widths)
            w = in.u16le();
    }
    std::size_t at = in.pos();
    state.offsets.resize(state.numchars);
    for (std::uint32_t i = 0; i < state.numchars; ++i) {
        std::size_t size = std::size_t{(state.widths[i] + 7) / 8} * state.height;
        if (!in.has_range(at, size))
            return false;
        state.offsets[i] = at;
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
    hdr->minchar = state.minchar;
    hdr->numchars = state.numchars;
    return 1;
}

bool in_font(int code)
{
    return code >= static_cast<int>(state.minchar) && static_cast<std::uint32_t>(code) - state.minchar < state.numchars;
}

int native_charwdt(int code)
{
    return in_font(code) ? static_cast<int>(state.widths[code - state.minchar]) : -1;
}

int native_bitmap(int code, int w, int h, unsigned char* buffer)
{
    if (!in_font(code) || w <= 0 || static_cast<std::uint32_t>(w) != state.widths[code - state.minchar] ||
        static_cast<std::uint32_t>(h) != state.height)
        return 0;
    std::size_t size = std::size_t{(state.widths[code - state.minchar] + 7) / 8} * state.height;
    std::memcpy(buffer, state.file.data() + state.offsets[code - state.minchar], size);
    return 1;
}

void native_cleanup()
{
    state = {};
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
    .cleanup = native_cleanup,
};
