// Font driver for Windows raster fonts (".fnt" of version 0x0200 or 0x0300), bare or behind a 16-byte resource
// header. The file is untrusted: the character table and every glyph are checked against the file size on open.
#include "font/byte_reader.h"
#include "font/fontdrv.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace
{

constexpr std::size_t resource_header = 16;
// Offsets of the fields read from the font's header.
constexpr std::size_t type_field = 66;    // font type: bit 0 set for a vector font
constexpr std::size_t ascent_field = 74;  // rows above the baseline
constexpr std::size_t charset_field = 85; // the character set the codes follow
constexpr std::size_t metric_fields = 86; // pixel width, pixel height, pitch and family, average and maximum
                                          // width, first and last code
constexpr std::size_t face_field = 105;   // offset of the face name
constexpr std::size_t v2_table = 118;     // character table offset in a version 0x0200 header
constexpr std::size_t v3_table = 148;     // and in a version 0x0300 header
constexpr std::size_t max_face_name = 99;

// The character set of the ANSI fonts: code page 1252, which is Latin-1 but for the codes 0x80..0x9F.
constexpr std::uint8_t ansi_charset = 0;
constexpr std::array<char16_t, 32> cp1252_80_9f = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
}; // 0: no character

struct win_state {
    std::span<const std::uint8_t> font; // from the font's own header on
    std::uint32_t height = 0, ascent = 0, pixwidth = 0, avgwidth = 0;
    std::uint8_t charset = 0;
    std::string name, family;
    glyph_table glyphs; // offsets from the start of the font
};
win_state state;

std::string family_of(std::uint8_t pitch_and_family)
{
    static constexpr const char* names[] = {"Unknown", "Roman", "Swiss", "Modern", "Script", "Decorative"};
    unsigned nibble = pitch_and_family >> 4;
    if (nibble < std::size(names))
        return names[nibble];
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", nibble);
    return buf;
}

// The face name: a zero-terminated string at the given offset, cut at the end of the file or 99 characters.
std::string face_name(std::uint32_t offset)
{
    if (offset == 0 || offset >= state.font.size())
        return {};
    auto rest = state.font.subspan(offset, std::min(state.font.size() - offset, max_face_name));
    return std::string(rest.begin(), std::find(rest.begin(), rest.end(), 0));
}

// Reads the fields of the common header that a bitmap font needs; false for a vector font or a bad version.
bool read_header(byte_reader& in, std::uint32_t& version, std::uint32_t& face)
{
    version = in.u16le();
    in.seek(type_field);
    std::uint32_t type = in.u16le();
    in.seek(ascent_field);
    state.ascent = in.u16le();
    in.seek(charset_field);
    state.charset = in.u8();
    in.seek(metric_fields);
    state.pixwidth = in.u16le();
    state.height = in.u16le();
    std::uint8_t pitch_and_family = in.u8();
    state.avgwidth = in.u16le();
    in.u16le(); // maximum width
    std::uint32_t first = in.u8();
    std::uint32_t last = in.u8();
    in.seek(face_field);
    face = in.u32le();
    if (!in.ok() || (version != 0x0200 && version != 0x0300) || (type & 1) || state.height == 0 || last < first)
        return false;
    state.glyphs.first = first;
    state.glyphs.widths.resize(last - first + 1);
    state.glyphs.offsets.resize(last - first + 1);
    state.family = family_of(pitch_and_family);
    return true;
}

// The character table: width and offset per character; every glyph (stored column by column) must fit.
bool read_table(byte_reader& in, bool v3)
{
    in.seek(v3 ? v3_table : v2_table);
    glyph_table& g = state.glyphs;
    for (std::uint32_t i = 0; i < g.count(); ++i) {
        g.widths[i] = in.u16le();
        g.offsets[i] = v3 ? in.u32le() : in.u16le();
        std::size_t size = std::size_t{(g.widths[i] + 7) / 8} * state.height;
        if (!in.ok() || !in.has_range(g.offsets[i], size))
            return false;
    }
    return true;
}

int win_open(std::span<const std::uint8_t> file, const char*)
{
    state = {};
    if (!file.empty() && file[0] == 0xFF) {
        if (file.size() < resource_header || file[1] != 8 || file[2] != 0)
            return 0;
        file = file.subspan(resource_header);
    }
    state.font = file;
    byte_reader in(file);
    std::uint32_t version = 0, face = 0;
    if (!read_header(in, version, face) || !read_table(in, version == 0x0300))
        return 0;
    state.name = face_name(face);
    if (state.name.empty()) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%s-%u", state.family.c_str(), static_cast<unsigned>(state.height));
        state.name = buf;
    }
    return 1;
}

int win_header(GrFontHeader* hdr)
{
    hdr->name = state.name.c_str();
    hdr->family = state.family.c_str();
    hdr->proportional = state.pixwidth == 0;
    hdr->width = state.pixwidth ? state.pixwidth : state.avgwidth;
    hdr->height = state.height;
    hdr->baseline = state.ascent;
    hdr->ulheight = std::max<std::uint32_t>(state.height / 15, 1);
    hdr->ulpos = state.height - hdr->ulheight;
    hdr->minchar = state.glyphs.first;
    hdr->numchars = state.glyphs.count();
    return 1;
}

int win_charwdt(int code)
{
    return state.glyphs.width_of(code);
}

// Turns the column-by-column glyph into rows of ceil(w / 8) bytes.
int win_bitmap(int code, int w, int h, unsigned char* buffer)
{
    auto i = state.glyphs.stored_glyph(code, w, h, state.height);
    if (!i)
        return 0;
    std::size_t pitch = (static_cast<std::size_t>(w) + 7) / 8;
    const std::uint8_t* src = state.font.data() + state.glyphs.offsets[*i];
    for (std::size_t col = 0; col < pitch; ++col)
        for (std::size_t row = 0; row < static_cast<std::size_t>(h); ++row)
            buffer[row * pitch + col] = src[col * static_cast<std::size_t>(h) + row];
    return 1;
}

// The characters of an ANSI font by their code page 1252 codes. Other fonts give none and so are read as code
// page 437, which is also the OEM character set.
void win_unicode(std::vector<GrFontUnicode>* table)
{
    if (state.charset != ansi_charset)
        return;
    for (std::uint32_t code = 0; code < 0x100; ++code) {
        const std::uint32_t c = code >= 0x80 && code < 0xA0 ? cp1252_80_9f[code - 0x80] : code;
        if (c != 0 || code == 0)
            table->push_back({c, code});
    }
}

} // namespace

constexpr font_driver fdv_win = {
    .name = "WIN",
    .ext = ".res",
    .scalable = 0,
    .openfile = win_open,
    .header = win_header,
    .charwdt = win_charwdt,
    .bitmap = win_bitmap,
    .cleanup = clear_state<state>,
    .unicode = win_unicode,
};
