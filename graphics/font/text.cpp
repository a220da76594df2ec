// Drawing text: lays the character cells of a string out in one of four directions, aligns the text box, clips each
// cell once and hands the visible part of its glyph to the frame driver's drawbitmap.
#include "core/c_entry.h"
#include "core/twgr_internal.h"
#include "font/fontdrv.h"
#include "font/textcodes.h"

#include <algorithm>

int _GR_textattrintensevideo = 0;

namespace
{

constexpr GrColor underline_bit = 0x10000000;

// Foreground, background and underline of one character.
struct cell_colors {
    GrColor fg, bg;
    bool underline;
};

GrColor table_color(const GrColor* table, unsigned index)
{
    if (!table || table[0] == 0)
        return GrNOCOLOR;
    return table[1 + index % table[0]];
}

cell_colors colors_of(const GrTextOption* opt, bool attributed, std::uint8_t attr)
{
    if (!attributed) {
        GrColor fg = opt->txo_fgcolor.v;
        return {fg & ~underline_bit, opt->txo_bgcolor.v, (fg & underline_bit) != 0};
    }
    bool intense = _GR_textattrintensevideo != 0;
    unsigned bg_index = intense ? attr >> 4 : (attr >> 4) & 7;
    return {table_color(opt->txo_fgcolor.p, attr & 15), table_color(opt->txo_bgcolor.p, bg_index),
            !intense && (attr & 0x80) != 0};
}

struct cell {
    int x, y, w, h; // context coordinates
};

// Draws one character cell, clipped to the current context's clip box.
void draw_cell(const GrTextOption* opt, unsigned code, const cell& c, const cell_colors& col)
{
    const GrContext& ctx = twgr::current_context();
    int x1 = std::max(c.x, ctx.gc_xcliplo), y1 = std::max(c.y, ctx.gc_ycliplo);
    int x2 = std::min(c.x + c.w - 1, ctx.gc_xcliphi), y2 = std::min(c.y + c.h - 1, ctx.gc_ycliphi);
    if (x1 > x2 || y1 > y2)
        return;
    const GrFrameDriver& drv = twgr::current_driver();
    int fx = x1 + ctx.gc_xoffset, fy = y1 + ctx.gc_yoffset;
    const unsigned char* bits =
        GrBuildAuxiliaryBitmap(opt->txo_font, static_cast<int>(code), opt->txo_direct & 3, col.underline);
    if (!bits) {
        drv.drawblock(fx, fy, x2 - x1 + 1, y2 - y1 + 1, col.bg);
        return;
    }
    int pitch = (c.w + 7) / 8;
    int start = (x1 - c.x) + 8 * pitch * (y1 - c.y);
    drv.drawbitmap(fx, fy, x2 - x1 + 1, y2 - y1 + 1, bits, pitch, start, col.fg, col.bg);
}

// Moves x and y from the given point to the top left corner of the aligned text box.
void align_box(const GrTextOption* opt, int box_w, int box_h, int& x, int& y)
{
    switch (opt->txo_xalign) {
    case GR_ALIGN_CENTER:
        x -= box_w >> 1;
        break;
    case GR_ALIGN_RIGHT:
        x -= box_w - 1;
        break;
    default:
        break;
    }
    switch (opt->txo_yalign) {
    case GR_ALIGN_MIDDLE:
        y -= box_h >> 1;
        break;
    case GR_ALIGN_BOTTOM:
        y -= box_h - 1;
        break;
    case GR_ALIGN_BASELINE:
        if (opt->txo_direct == GR_TEXT_RIGHT)
            y -= static_cast<int>(opt->txo_font->h.baseline);
        break;
    default:
        break;
    }
}

} // namespace

void GrDrawString(const void* text, int length, int x, int y, const GrTextOption* opt)
{
    twgr::or_nothing([&] {
        if (!opt || !opt->txo_font)
            return;
        const GrFont* font = opt->txo_font;
        bool attributed = opt->txo_chrtype == GR_ATTR_TEXT;
        std::vector<std::uint8_t> attrs;
        std::vector<std::uint16_t> codes =
            text_codes(font, text, length, opt->txo_chrtype, attributed ? &attrs : nullptr);
        long long total = 0;
        for (std::uint16_t code : codes)
            total += font_char_width(font, code);
        if (total == 0 || total > 0x7FFFFFF)
            return;
        int height = static_cast<int>(font->h.height), dir = opt->txo_direct & 3;
        bool vertical = (dir & 1) != 0;
        int box_w = vertical ? height : static_cast<int>(total), box_h = vertical ? static_cast<int>(total) : height;
        align_box(opt, box_w, box_h, x, y);
        // The pen runs along the writing direction; right-to-left and upward text start at the far end of the box.
        int pen = dir == GR_TEXT_LEFT ? x + box_w : dir == GR_TEXT_UP ? y + box_h : vertical ? y : x;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            int w = static_cast<int>(font_char_width(font, codes[i]));
            if (dir >= GR_TEXT_LEFT) // the two backward directions
                pen -= w;
            cell c = vertical ? cell{x, pen, height, w} : cell{pen, y, w, height};
            if (dir < GR_TEXT_LEFT)
                pen += w;
            draw_cell(opt, codes[i], c, colors_of(opt, attributed, attributed ? attrs[i] : 0));
        }
    });
}

void GrDrawChar(int chr, int x, int y, const GrTextOption* opt)
{
    if (!opt)
        return;
    unsigned char bytes[4] = {static_cast<unsigned char>(chr), static_cast<unsigned char>(chr >> 8), 0, 0};
    std::uint16_t wide = static_cast<std::uint16_t>(chr);
    if (opt->txo_chrtype == GR_WORD_TEXT) {
        GrDrawString(&wide, 1, x, y, opt);
        return;
    }
    int n = 1;
    if (opt->txo_chrtype == GR_UTF8_TEXT && chr >= 0x80) { // encode the code point so that it decodes as one character
        n = chr < 0x800 ? 2 : 3;
        bytes[0] = static_cast<unsigned char>(n == 2 ? 0xC0 | (chr >> 6) : 0xE0 | ((chr >> 12) & 0x0F));
        bytes[1] = static_cast<unsigned char>(n == 2 ? 0x80 | (chr & 0x3F) : 0x80 | ((chr >> 6) & 0x3F));
        bytes[2] = static_cast<unsigned char>(0x80 | (chr & 0x3F));
    }
    GrDrawString(bytes, n, x, y, opt);
}
