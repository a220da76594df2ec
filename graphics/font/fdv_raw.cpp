// Font driver for PC screen fonts (PSF1, PSF2) and raw glyph dumps of 256 characters. The file is untrusted: the
// glyph data must cover count x bytes per glyph before the file is taken; a Unicode table is read up to where the
// file ends.
#include "font/byte_reader.h"
#include "font/fontdrv.h"
#include "font/textcodes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace
{

constexpr std::size_t max_raw_file = 16384;

struct raw_state {
    std::span<const std::uint8_t> store; // count glyphs of glyph_size bytes
    std::uint32_t count = 0, width = 0, height = 0;
    std::size_t glyph_size = 0; // bytes per glyph in the file
    bool psf = false;
    std::string name, family;
    glyph_table glyphs; // every glyph of the same width, offsets into store
    std::vector<GrFontUnicode> unicode;
};
raw_state state;

bool take_glyphs(std::span<const std::uint8_t> file, std::size_t offset)
{
    if (state.count == 0 || state.width == 0 || state.height == 0 || state.width > max_glyph_side ||
        state.height > max_glyph_side || offset > file.size())
        return false;
    std::size_t room = file.size() - offset;
    if (state.glyph_size == 0 || state.count > room / state.glyph_size)
        return false;
    state.store = file.subspan(offset, state.count * state.glyph_size);
    state.glyphs.widths.assign(state.count, state.width);
    for (std::uint32_t i = 0; i < state.count; ++i)
        state.glyphs.offsets.push_back(i * state.glyph_size);
    return true;
}

// A PSF1 table: per glyph, 16-bit characters up to 0xFFFF; after 0xFFFE come sequences, which are not kept.
void read_psf1_unicode(byte_reader in)
{
    for (std::uint32_t code = 0; code < state.count && in.ok(); ++code) {
        bool sequence = false;
        for (std::uint16_t c = in.u16le(); in.ok() && c != 0xFFFF; c = in.u16le()) {
            sequence = sequence || c == 0xFFFE;
            if (!sequence)
                state.unicode.push_back({c, code});
        }
    }
}

// A PSF2 table: per glyph, UTF-8 characters up to 0xFF; after 0xFE come sequences, which are not kept.
void read_psf2_unicode(std::span<const std::uint8_t> table)
{
    std::uint32_t code = 0;
    bool sequence = false;
    for (std::size_t i = 0; i < table.size() && code < state.count;) {
        if (table[i] == 0xFF || table[i] == 0xFE) {
            const bool next_glyph = table[i] == 0xFF;
            code += next_glyph ? 1 : 0;
            sequence = !next_glyph;
            ++i;
            continue;
        }
        const utf8_char c = next_utf8(table.data() + i, table.size() - i);
        if (c.valid && !sequence)
            state.unicode.push_back({c.codepoint, code});
        i += c.length;
    }
}

bool open_psf1(std::span<const std::uint8_t> file)
{
    if (file.size() < 4 || file[0] != 0x36 || file[1] != 0x04)
        return false;
    state.psf = true;
    state.count = (file[2] & 1) ? 512 : 256;
    state.width = 8;
    state.height = file[3];
    state.glyph_size = state.height;
    if (!take_glyphs(file, 4))
        return false;
    if (file[2] & 6) { // a table of characters, or of characters and sequences
        byte_reader in(file);
        in.seek(4 + state.store.size());
        read_psf1_unicode(in);
    }
    return true;
}

bool open_psf2(std::span<const std::uint8_t> file)
{
    static constexpr std::uint8_t magic[4] = {0x72, 0xB5, 0x4A, 0x86};
    if (file.size() < 32 || !std::equal(magic, magic + 4, file.begin()))
        return false;
    byte_reader in(file);
    in.skip(8); // magic, version
    std::uint32_t offset = in.u32le();
    const std::uint32_t flags = in.u32le();
    state.psf = true;
    state.count = in.u32le();
    in.u32le(); // bytes per glyph: recomputed from the size, which is what the glyphs are read by
    state.height = in.u32le();
    state.width = in.u32le();
    if (!in.ok() || state.width > max_glyph_side || state.height > max_glyph_side)
        return false;
    state.glyph_size = std::size_t{(state.width + 7) / 8} * state.height;
    if (!take_glyphs(file, offset))
        return false;
    if (flags & 1) // the Unicode table follows the glyphs
        read_psf2_unicode(file.subspan(offset + state.store.size()));
    return true;
}

bool open_raw(std::span<const std::uint8_t> file)
{
    std::size_t size = file.size();
    if (size == 0 || size > max_raw_file || size % (size <= 4096 ? 256 : 512) != 0)
        return false;
    state.count = 256;
    state.glyph_size = size / 256;
    state.height = static_cast<std::uint32_t>(size <= 4096 ? size / 256 : size / 512);
    state.width = size <= 4096 ? 8 : (state.height + 1) / 2;
    return take_glyphs(file, 0);
}

// The base name without directory and extension, at most 39 characters; the family is its leading letters.
void make_names(const char* path)
{
    std::string base = path ? path : "";
    std::size_t cut = base.find_last_of("/\\");
    if (cut == std::string::npos)
        cut = base.find_last_of(':');
    if (cut != std::string::npos)
        base.erase(0, cut + 1);
    base.resize(std::min<std::size_t>(base.size(), 39));
    std::size_t dot = base.find_last_of('.');
    if (dot != std::string::npos)
        base.erase(dot);
    if (base.empty()) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s%u", state.psf ? "psf" : "raw", static_cast<unsigned>(state.height));
        base = buf;
    }
    state.name = base;
    std::size_t letters = 0;
    while (letters < base.size() && std::isalpha(static_cast<unsigned char>(base[letters])))
        ++letters;
    state.family = base.substr(0, letters);
}

int raw_open(std::span<const std::uint8_t> file, const char* path)
{
    using opener = bool (*)(std::span<const std::uint8_t>);
    for (opener open : {open_psf1, open_psf2, open_raw}) {
        state = {};
        if (open(file)) {
            make_names(path);
            return 1;
        }
    }
    state = {};
    return 0;
}

int raw_header(GrFontHeader* hdr)
{
    std::uint32_t h = state.height;
    hdr->name = state.name.c_str();
    hdr->family = state.family.c_str();
    hdr->proportional = 0;
    hdr->width = state.width;
    hdr->height = h;
    hdr->baseline = h * 4 / 5 + (h < 15 ? 1 : 0);
    hdr->ulheight = std::max<std::uint32_t>(h / 15, 1);
    hdr->ulpos = h - hdr->ulheight;
    hdr->minchar = 0;
    hdr->numchars = state.count;
    return 1;
}

int raw_charwdt(int code)
{
    return state.glyphs.width_of(code);
}

int raw_bitmap(int code, int w, int h, unsigned char* buffer)
{
    auto i = state.glyphs.stored_glyph(code, w, h, state.height);
    if (!i)
        return 0;
    // Raw dumps above 4096 bytes store two bytes per row even when the glyph is 8 pixels wide or less.
    copy_glyph_rows(buffer, state.store.data() + state.glyphs.offsets[*i], state.glyph_size / state.height, w, h);
    return 1;
}

void raw_unicode(std::vector<GrFontUnicode>* table)
{
    *table = state.unicode;
}

} // namespace

constexpr font_driver fdv_raw = {
    .name = "RAW",
    .ext = ".psf",
    .scalable = 0,
    .openfile = raw_open,
    .header = raw_header,
    .charwdt = raw_charwdt,
    .bitmap = raw_bitmap,
    .cleanup = clear_state<state>,
    .unicode = raw_unicode,
};
