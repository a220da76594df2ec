// Font driver for BGI ".chr" stroke fonts, rasterised at load: each glyph is drawn as one-pixel lines between its
// stroke points. The file is untrusted: tables are checked against the file size, every character's stroke list
// must end inside the file, and the total stroke work is capped so that shared or overlapping lists stay cheap.
#include "font/byte_reader.h"
#include "font/fontdrv.h"

#include <algorithm>
#include <cstdlib>

namespace
{

constexpr std::size_t max_bgi_file = 1u << 20;
constexpr std::size_t max_stroke_words = 1u << 16; // summed over all characters; real fonts use a few thousand
constexpr std::size_t marker_window = 116;         // the 0x1A marker must appear this early

enum class stroke_op { end, scan, move, draw };

struct stroke {
    stroke_op op;
    int x, y; // font units, y upward from the origin
};

struct bgi_state {
    std::span<const std::uint8_t> file;
    std::size_t strokes = 0;           // offset of the stroke data
    int top = 0, bottom = 0, base = 0; // y extent of the font and of the baseline, font units
    glyph_table glyphs;                // widths are the advances, offsets the starts of the stroke lists
    std::string name;
};
bgi_state state;

int seven_bit(std::uint8_t b)
{
    return (b & 0x40) ? (b & 0x7F) - 128 : (b & 0x7F);
}

// The x byte carries the first opcode bit, the y byte the second: 00 end, 01 scan, 10 move, 11 draw.
stroke stroke_at(std::size_t pos)
{
    std::uint8_t bx = state.file[pos], by = state.file[pos + 1];
    static constexpr stroke_op ops[4] = {stroke_op::end, stroke_op::scan, stroke_op::move, stroke_op::draw};
    return {ops[((bx >> 7) << 1) | (by >> 7)], seven_bit(bx), seven_bit(by)};
}

// Walks one character's strokes to its end marker, widening the font's y extent; false when the list runs off the
// file or the total work exceeds the cap.
bool scan_character(std::size_t pos, std::size_t& budget)
{
    for (;; pos += 2) {
        if (pos > state.file.size() || state.file.size() - pos < 2 || budget == 0)
            return false;
        --budget;
        stroke s = stroke_at(pos);
        if (s.op == stroke_op::end)
            return true;
        if (s.op != stroke_op::scan) {
            state.top = std::max(state.top, s.y);
            state.bottom = std::min(state.bottom, s.y);
        }
    }
}

// The file header: "PK" 8 8, a description ended by 0x1A, then the font header's offset and the font's name.
bool read_file_header(byte_reader& in, std::size_t& font_header)
{
    auto f = state.file;
    if (f.size() < 30 || f.size() > max_bgi_file || f[0] != 'P' || f[1] != 'K' || f[2] != 8 || f[3] != 8)
        return false;
    auto window = f.first(std::min(f.size(), marker_window));
    auto marker = std::find(window.begin(), window.end(), 0x1A);
    if (marker == window.end())
        return false;
    in.seek(static_cast<std::size_t>(marker - f.begin()) + 1);
    font_header = in.u16le();
    auto name = in.bytes(4);
    state.name.assign(name.begin(), name.end());
    state.name.erase(std::find(state.name.begin(), state.name.end(), '\0'), state.name.end());
    return in.ok();
}

// The font header ('+', count, first code, stroke offset, cap/baseline/descender) and the two per-character tables.
bool read_font_header(byte_reader& in, std::size_t at)
{
    in.seek(at);
    bool signed_ok = in.u8() == '+';
    std::uint32_t count = in.u16le();
    in.u8();
    state.glyphs.first = in.u8();
    std::size_t stroke_offset = in.u16le();
    in.u8(); // scan flag
    state.top = static_cast<std::int8_t>(in.u8());
    state.base = static_cast<std::int8_t>(in.u8());
    state.bottom = static_cast<std::int8_t>(in.u8());
    in.skip(5);
    if (!signed_ok || !in.ok() || count == 0 || !in.has_range(in.pos(), std::size_t{3} * count))
        return false;
    state.strokes = at + stroke_offset;
    state.glyphs.offsets.resize(count);
    state.glyphs.widths.resize(count);
    for (auto& s : state.glyphs.offsets)
        s = state.strokes + in.u16le();
    for (auto& a : state.glyphs.widths)
        a = in.u8();
    return in.ok() && state.strokes <= state.file.size();
}

int bgi_open(std::span<const std::uint8_t> file, const char*)
{
    state = {};
    state.file = file;
    byte_reader in(file);
    std::size_t font_header = 0;
    if (!read_file_header(in, font_header) || !read_font_header(in, font_header))
        return 0;
    std::size_t budget = max_stroke_words;
    for (std::size_t start : state.glyphs.offsets)
        if (!scan_character(start, budget))
            return 0;
    return state.top > state.bottom;
}

int bgi_header(GrFontHeader* hdr)
{
    std::uint64_t sum = 0;
    for (auto a : state.glyphs.widths)
        sum += a;
    auto height = static_cast<std::uint32_t>(state.top - state.bottom + 1);
    hdr->name = state.name.c_str();
    hdr->family = "BGI";
    hdr->proportional = 1;
    std::uint32_t count = state.glyphs.count();
    hdr->width = static_cast<std::uint32_t>((sum + count / 2) / count);
    hdr->height = height;
    hdr->baseline = static_cast<std::uint32_t>(std::clamp(state.top - state.base, 0, state.top - state.bottom));
    hdr->ulheight = std::max<std::uint32_t>(height / 15, 1);
    hdr->ulpos = height - hdr->ulheight;
    hdr->minchar = state.glyphs.first;
    hdr->numchars = count;
    return 1;
}

int bgi_charwdt(int code)
{
    return state.glyphs.width_of(code);
}

// n * num / den rounded to nearest, halves away from zero (den > 0).
int scale_round(int n, int num, int den)
{
    long long p = static_cast<long long>(n) * num * 2;
    return static_cast<int>(p >= 0 ? (p + den) / (2LL * den) : -((-p + den) / (2LL * den)));
}

struct glyph_canvas {
    unsigned char* bits;
    int w, h, pitch;
    void plot(int x, int y) const
    {
        if (x >= 0 && x < w && y >= 0 && y < h)
            bits[y * pitch + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
    // One-pixel line, both ends drawn.
    void line(int x0, int y0, int x1, int y1) const
    {
        int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
        for (;;) {
            plot(x0, y0);
            if (x0 == x1 && y0 == y1)
                return;
            int e2 = 2 * err;
            if (e2 >= dy)
                err += dy, x0 += sx;
            if (e2 <= dx)
                err += dx, y0 += sy;
        }
    }
};

int bgi_bitmap(int code, int w, int h, unsigned char* buffer)
{
    auto i = state.glyphs.index_of(code);
    if (!i || w <= 0 || h <= 0)
        return 0;
    int advance = static_cast<int>(state.glyphs.widths[*i]);
    int span_y = state.top - state.bottom;
    glyph_canvas canvas{buffer, w, h, (w + 7) / 8};
    auto px = [&](int x) { return advance > 1 ? scale_round(x, w - 1, advance - 1) : 0; };
    auto py = [&](int y) { return scale_round(state.top - y, h - 1, span_y); };
    int pen_x = 0, pen_y = 0;
    for (std::size_t pos = state.glyphs.offsets[*i];; pos += 2) {
        stroke s = stroke_at(pos); // bgi_open proved that every list ends inside the file
        if (s.op == stroke_op::end)
            return 1;
        if (s.op == stroke_op::draw)
            canvas.line(pen_x, pen_y, px(s.x), py(s.y));
        if (s.op == stroke_op::move || s.op == stroke_op::draw)
            pen_x = px(s.x), pen_y = py(s.y);
    }
}

} // namespace

constexpr font_driver fdv_bgi = {
    .name = "BGI",
    .ext = ".chr",
    .scalable = 1,
    .openfile = bgi_open,
    .header = bgi_header,
    .charwdt = bgi_charwdt,
    .bitmap = bgi_bitmap,
    .cleanup = clear_state<state>,
    .unicode = nullptr, // no Unicode table: code page 437
};
