// Builds a font record from an opened font-file driver: widths first (so the bitmap size is known and capped before
// it is allocated), then every glyph copied in code order. Also the drivers' shared character table.
#include "font/fontdrv.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace
{

std::uint32_t glyph_bytes(std::uint32_t w, std::uint32_t h)
{
    return (w + 7) / 8 * h;
}

bool header_is_sane(const GrFontHeader& hdr)
{
    return hdr.numchars >= 1 && hdr.numchars <= max_font_chars && hdr.minchar < max_font_chars && hdr.height >= 1 &&
           hdr.height <= max_glyph_side && hdr.width <= max_glyph_side;
}

// Asks the driver for every width; fails on a refused width or a bitmap too large to be a real font.
bool collect_widths(const font_driver& drv, loaded_font& font)
{
    const GrFontHeader& hdr = font.h;
    std::uint64_t total = 0;
    font.chrinfo_store.resize(hdr.numchars);
    font.minwidth = max_glyph_side;
    font.maxwidth = 0;
    for (std::uint32_t i = 0; i < hdr.numchars; ++i) {
        int w = drv.charwdt(static_cast<int>(hdr.minchar + i));
        if (w < 0 || static_cast<std::uint32_t>(w) > max_glyph_side)
            return false;
        auto width = static_cast<std::uint32_t>(w);
        font.chrinfo_store[i] = {width, static_cast<std::uint32_t>(total)};
        font.minwidth = std::min(font.minwidth, width);
        font.maxwidth = std::max(font.maxwidth, width);
        total += glyph_bytes(width, hdr.height);
        if (total > max_font_bitmap_bytes)
            return false;
    }
    font.bitmap_store.assign(static_cast<std::size_t>(total), 0);
    return true;
}

bool collect_glyphs(const font_driver& drv, loaded_font& font)
{
    const GrFontHeader& hdr = font.h;
    std::vector<unsigned char> scratch(static_cast<std::size_t>(glyph_bytes(font.maxwidth, hdr.height)));
    for (std::uint32_t i = 0; i < hdr.numchars; ++i) {
        const GrFontChrInfo& ci = font.chrinfo_store[i];
        std::size_t size = glyph_bytes(ci.width, hdr.height);
        std::fill(scratch.begin(), scratch.end(), 0);
        if (!drv.bitmap(static_cast<int>(hdr.minchar + i), static_cast<int>(ci.width), static_cast<int>(hdr.height),
                        scratch.data()))
            return false;
        std::copy_n(scratch.begin(), size, font.bitmap_store.begin() + ci.offset);
    }
    return true;
}

// The driver's Unicode table sorted by character, the first code kept for a character listed twice and codes
// outside the font dropped. A font without one holds code page 437.
void collect_unicode(const font_driver& drv, loaded_font& font)
{
    if (!drv.unicode)
        return;
    std::vector<GrFontUnicode> table;
    drv.unicode(&table);
    const std::uint32_t first = font.h.minchar, count = font.h.numchars;
    std::erase_if(table, [&](const GrFontUnicode& e) { return e.code < first || e.code - first >= count; });
    std::stable_sort(table.begin(), table.end(),
                     [](const GrFontUnicode& a, const GrFontUnicode& b) { return a.codepoint < b.codepoint; });
    auto same = [](const GrFontUnicode& a, const GrFontUnicode& b) { return a.codepoint == b.codepoint; };
    table.erase(std::unique(table.begin(), table.end(), same), table.end());
    font.unicode_store = std::move(table);
}

} // namespace

std::optional<std::size_t> glyph_table::index_of(int code) const
{
    if (code < static_cast<int>(first) || static_cast<std::uint32_t>(code) - first >= count())
        return std::nullopt;
    return static_cast<std::size_t>(static_cast<std::uint32_t>(code) - first);
}

int glyph_table::width_of(int code) const
{
    auto i = index_of(code);
    return i ? static_cast<int>(widths[*i]) : -1;
}

std::optional<std::size_t> glyph_table::stored_glyph(int code, int w, int h, std::uint32_t height) const
{
    auto i = index_of(code);
    if (!i || w <= 0 || static_cast<std::uint32_t>(w) != widths[*i] || static_cast<std::uint32_t>(h) != height)
        return std::nullopt;
    return i;
}

void copy_glyph_rows(unsigned char* dst, const std::uint8_t* src, std::size_t src_pitch, int w, int h)
{
    std::size_t pitch = (static_cast<std::size_t>(w) + 7) / 8;
    for (std::size_t row = 0; row < static_cast<std::size_t>(h); ++row)
        std::memcpy(dst + row * pitch, src + row * src_pitch, std::min(src_pitch, pitch));
}

GrFont* build_font(const font_driver& drv)
{
    GrFontHeader hdr{};
    if (!drv.header(&hdr) || !header_is_sane(hdr))
        return nullptr;
    auto font = std::make_unique<loaded_font>();
    font->name_store = hdr.name ? hdr.name : "";
    font->family_store = hdr.family ? hdr.family : "";
    font->h = hdr;
    font->h.preloaded = 0;
    font->h.modified = 0;
    font->h.scalable = static_cast<unsigned char>(drv.scalable);
    // A lying header must not put the underline below the glyph.
    font->h.ulheight = std::min(font->h.ulheight, font->h.height);
    font->h.ulpos = std::min(font->h.ulpos, font->h.height - font->h.ulheight);
    if (!collect_widths(drv, *font) || !collect_glyphs(drv, *font))
        return nullptr;
    font->h.name = font->name_store.c_str();
    font->h.family = font->family_store.c_str();
    font->bitmap = font->bitmap_store.data();
    font->chrinfo = font->chrinfo_store.data();
    collect_unicode(drv, *font);
    font->unicode = font->unicode_store.empty() ? nullptr : font->unicode_store.data();
    font->unicodecount = static_cast<std::uint32_t>(font->unicode_store.size());
    font->auxmap = nullptr;
    font->auxsize = font->auxnext = 0;
    std::fill(std::begin(font->auxoffs), std::end(font->auxoffs), nullptr);
    return font.release();
}
