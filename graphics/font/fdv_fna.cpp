// Font driver for ".fna" text fonts: keyword lines, then one picture of '#' and '.' rows per character. The file is
// untrusted: lines, keywords, numbers and glyph rows are all checked, and the glyph count is bounded by the lines
// actually present before anything is allocated for them.
#include "font/fontdrv.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string_view>

namespace
{

constexpr std::size_t max_line = 127;
constexpr std::uint32_t max_number = 0xFFFFFF;

struct fna_state {
    std::map<std::string, std::string> keys;
    std::uint32_t width = 0, height = 0, numchars = 0, baseline = 0, ulheight = 0;
    bool fixed = true;
    glyph_table glyphs; // offsets into bits
    std::vector<unsigned char> bits;
};
fna_state state;

bool is_letter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool is_blank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The meaningful lines of the file: trailing blanks removed, empty lines and ';' comments dropped. Null when a
// line is too long.
std::optional<std::vector<std::string_view>> meaningful_lines(std::span<const std::uint8_t> file)
{
    std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        while (!line.empty() && is_blank(line.back()))
            line.remove_suffix(1);
        if (line.size() > max_line)
            return std::nullopt;
        if (!line.empty() && line.front() != ';')
            lines.push_back(line);
    }
    return lines;
}

// Splits "keyword value" and records it; false for an unknown or repeated keyword.
bool take_keyword(std::string_view line)
{
    static constexpr std::string_view known[] = {"name",     "family",   "isfixed",  "width",    "height",
                                                 "minchar",  "maxchar",  "baseline", "undwidth", "avgwidth",
                                                 "minwidth", "maxwidth", "note"};
    std::size_t end = 0;
    while (end < line.size() && !is_blank(line[end]))
        ++end;
    std::string key(line.substr(0, end));
    std::string_view value = line.substr(end);
    while (!value.empty() && is_blank(value.front()))
        value.remove_prefix(1);
    if (std::find(std::begin(known), std::end(known), key) == std::end(known))
        return false;
    if (key == "note")
        return true;
    if (key == "avgwidth")
        key = "width";
    return state.keys.emplace(key, std::string(value)).second;
}

// A non-negative decimal that fills the whole value.
std::optional<std::uint32_t> number(const std::string& key)
{
    auto it = state.keys.find(key);
    if (it == state.keys.end() || it->second.empty())
        return std::nullopt;
    std::uint32_t v = 0;
    for (char c : it->second) {
        if (c < '0' || c > '9' || v > max_number / 10)
            return std::nullopt;
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return v;
}

bool check_header_values()
{
    for (const char* key : {"name", "family", "isfixed", "width", "height", "minchar", "maxchar", "baseline"})
        if (!state.keys.count(key))
            return false;
    auto fixed = number("isfixed"), width = number("width"), height = number("height");
    auto minchar = number("minchar"), maxchar = number("maxchar"), baseline = number("baseline");
    if (!fixed || !width || !height || !minchar || !maxchar || !baseline || *maxchar < *minchar ||
        *maxchar >= max_font_chars || *height == 0 || *height > max_glyph_side)
        return false;
    for (const char* key : {"undwidth", "minwidth", "maxwidth"})
        if (state.keys.count(key) && !number(key))
            return false;
    if ((state.keys.count("minwidth") && *number("minwidth") == 0) ||
        (state.keys.count("maxwidth") && *number("maxwidth") > max_line))
        return false;
    state.fixed = *fixed != 0;
    state.width = *width;
    state.height = *height;
    state.glyphs.first = *minchar;
    state.numchars = *maxchar - *minchar + 1;
    state.baseline = *baseline;
    state.ulheight = state.keys.count("undwidth") ? *number("undwidth") : std::max<std::uint32_t>(*height / 15, 1);
    return true;
}

// One character's rows, packed most significant bit first; false for a row of the wrong length or content.
bool take_glyph(std::span<const std::string_view> rows)
{
    std::size_t w = state.fixed ? state.width : rows.front().size();
    if (w == 0 || w > max_line)
        return false;
    std::size_t pitch = (w + 7) / 8;
    state.glyphs.widths.push_back(static_cast<std::uint32_t>(w));
    state.glyphs.offsets.push_back(state.bits.size());
    state.bits.resize(state.bits.size() + pitch * rows.size(), 0);
    unsigned char* out = state.bits.data() + state.glyphs.offsets.back();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].size() != w)
            return false;
        for (std::size_t x = 0; x < w; ++x) {
            char c = rows[r][x];
            if (c != '#' && c != '.')
                return false;
            if (c == '#')
                out[r * pitch + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        }
    }
    return true;
}

int fna_open(std::span<const std::uint8_t> file, const char*)
{
    state = {};
    auto lines = meaningful_lines(file);
    if (!lines)
        return 0;
    std::size_t at = 0;
    for (; at < lines->size() && is_letter((*lines)[at].front()); ++at)
        if (!take_keyword((*lines)[at]))
            return 0;
    if (!check_header_values())
        return 0;
    std::size_t rows = lines->size() - at;
    if (state.numchars > rows / state.height)
        return 0;
    std::span<const std::string_view> body(lines->data() + at, rows);
    for (std::uint32_t i = 0; i < state.numchars; ++i)
        if (!take_glyph(body.subspan(std::size_t{i} * state.height, state.height)))
            return 0;
    return 1;
}

int fna_header(GrFontHeader* hdr)
{
    hdr->name = state.keys["name"].c_str();
    hdr->family = state.keys["family"].c_str();
    hdr->proportional = !state.fixed;
    hdr->width = state.width;
    hdr->height = state.height;
    hdr->baseline = state.baseline;
    hdr->ulheight = std::min(state.ulheight, state.height);
    hdr->ulpos = state.height - hdr->ulheight;
    hdr->minchar = state.glyphs.first;
    hdr->numchars = state.numchars;
    return 1;
}

int fna_charwdt(int code)
{
    return state.glyphs.width_of(code);
}

int fna_bitmap(int code, int w, int h, unsigned char* buffer)
{
    auto i = state.glyphs.stored_glyph(code, w, h, state.height);
    if (!i)
        return 0;
    std::size_t pitch = (static_cast<std::size_t>(w) + 7) / 8;
    copy_glyph_rows(buffer, state.bits.data() + state.glyphs.offsets[*i], pitch, w, h);
    return 1;
}

} // namespace

constexpr font_driver fdv_fna = {
    .name = "FNA",
    .ext = ".fna",
    .scalable = 0,
    .openfile = fna_open,
    .header = fna_header,
    .charwdt = fna_charwdt,
    .bitmap = fna_bitmap,
    .cleanup = clear_state<state>,
    .unicode = nullptr, // no Unicode table: code page 437
};
