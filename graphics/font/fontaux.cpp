// Turned and underlined glyphs: built once per font, code and kind, and kept in the font's auxmap so that vertical,
// upside-down and underlined text costs one transformation per glyph, not one per drawing.
#include "font/fontdrv.h"

#include <algorithm>
#include <map>
#include <new>

namespace
{

constexpr std::size_t max_aux_bytes = 64u << 20;

// Fonts built into the library have no loaded_font around them; their caches live here.
font_aux_store& aux_store_of(GrFont* font)
{
    if (!font->h.preloaded)
        return static_cast<loaded_font*>(font)->aux;
    static std::map<const GrFont*, font_aux_store> preloaded_stores;
    return preloaded_stores[font];
}

// Makes room for size more bytes: at least four times the need, or 64 nominal glyph cells.
bool reserve_aux(GrFont* font, font_aux_store& store, std::size_t size)
{
    if (font->auxnext + size <= store.map.size())
        return true;
    std::size_t cell = (font->h.width + 7) / 8 * std::size_t{font->h.height};
    std::size_t grown = font->auxnext + std::max(4 * size, 64 * cell);
    if (grown > max_aux_bytes)
        return false;
    try {
        store.map.resize(grown, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    font->auxmap = store.map.data();
    font->auxsize = static_cast<std::uint32_t>(store.map.size());
    return true;
}

bool pixel(const unsigned char* bits, std::size_t pitch, std::size_t x, std::size_t y)
{
    return (bits[y * pitch + x / 8] & (0x80 >> (x % 8))) != 0;
}

// Source pixel (x, y) of a w x h glyph goes to (h-1-y, x) downward, (w-1-x, h-1-y) right to left, (y, w-1-x)
// upward; underlined rows are set before turning.
void transform_glyph(const GrFont* font, const unsigned char* src, std::size_t w, int kind, unsigned char* dst)
{
    std::size_t h = font->h.height;
    bool vertical = (kind & 1) != 0;
    std::size_t src_pitch = (w + 7) / 8, dst_pitch = ((vertical ? h : w) + 7) / 8;
    bool underline = (kind & 4) != 0;
    for (std::size_t y = 0; y < h; ++y) {
        bool ul_row = underline && y >= font->h.ulpos && y - font->h.ulpos < font->h.ulheight;
        for (std::size_t x = 0; x < w; ++x) {
            if (!ul_row && !pixel(src, src_pitch, x, y))
                continue;
            std::size_t dx = x, dy = y;
            switch (kind & 3) {
            case 1:
                dx = h - 1 - y, dy = x;
                break;
            case 2:
                dx = w - 1 - x, dy = h - 1 - y;
                break;
            case 3:
                dx = y, dy = w - 1 - x;
                break;
            default:
                break;
            }
            dst[dy * dst_pitch + dx / 8] |= static_cast<unsigned char>(0x80 >> (dx % 8));
        }
    }
}

} // namespace

const unsigned char* GrBuildAuxiliaryBitmap(GrFont* font, int code, int direct, int underline)
{
    if (!font || code < static_cast<int>(font->h.minchar))
        return nullptr;
    std::uint32_t index = static_cast<std::uint32_t>(code) - font->h.minchar;
    if (index >= font->h.numchars)
        return nullptr;
    const GrFontChrInfo& ci = font->chrinfo[index];
    int kind = ((underline && font->h.ulheight > 0) ? 4 : 0) + (direct & 3);
    if (kind == 0)
        return font->bitmap + ci.offset;
    font_aux_store& store = aux_store_of(font);
    auto& table = store.offsets[kind - 1];
    if (table.empty()) {
        table.assign(font->h.numchars, 0);
        font->auxoffs[kind - 1] = table.data();
    }
    if (table[index] != 0)
        return store.map.data() + (table[index] - 1);
    std::size_t w = ci.width, h = font->h.height;
    std::size_t size = (kind & 1) ? (h + 7) / 8 * w : (w + 7) / 8 * h;
    if (!reserve_aux(font, store, size))
        return nullptr;
    unsigned char* dst = store.map.data() + font->auxnext;
    transform_glyph(font, font->bitmap + ci.offset, w, kind, dst);
    table[index] = font->auxnext + 1;
    font->auxnext += static_cast<std::uint32_t>(size);
    return dst;
}
