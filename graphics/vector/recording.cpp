// Recording the primitives drawn on a page as shapes, beside the raster drawing, for the vector writers.
#include "vector/recording.h"

#include "core/c_entry.h"
#include "core/cp437.h"
#include "core/twgr_internal.h"
#include "png/png_encode.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

GrRecording* twgr::active_recording = nullptr;

namespace
{

using namespace twgr::vector;

// The recording a primitive drawn now belongs to: only what lands on the recorded page's frame is kept.
GrRecording* recording_here()
{
    GrRecording* rec = twgr::active_recording;
    if (rec == nullptr || twgr::current_context().gc_frame.gf_baseaddr[0] != rec->frame_base)
        return nullptr;
    return rec;
}

// GrNOCOLOR (exclusive-or with 0) draws nothing; the other write operations are kept as plain colours.
bool draws_nothing(GrColor c)
{
    return c == GrNOCOLOR;
}

rgb rgb_of(GrColor c)
{
    int r = 0, g = 0, b = 0;
    GrQueryColor(c & twgr::value_mask, &r, &g, &b);
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

pixel_rect clip_of(const GrContext& ctx)
{
    return {ctx.gc_xcliplo + ctx.gc_xoffset, ctx.gc_ycliplo + ctx.gc_yoffset, ctx.gc_xcliphi + ctx.gc_xoffset,
            ctx.gc_ycliphi + ctx.gc_yoffset};
}

// Whether the bounding box (context coordinates, any order) reaches into the current clip box at all: shapes
// wholly outside draw nothing, so they are neither kept nor counted.
bool reaches_clip(long long x1, long long y1, long long x2, long long y2)
{
    const GrContext& ctx = twgr::current_context();
    return std::max(x1, x2) >= ctx.gc_xcliplo && std::min(x1, x2) <= ctx.gc_xcliphi &&
           std::max(y1, y2) >= ctx.gc_ycliplo && std::min(y1, y2) <= ctx.gc_ycliphi;
}

std::uint32_t clip_index(GrRecording& rec)
{
    const pixel_rect clip = clip_of(twgr::current_context());
    if (rec.clips.empty() || !(rec.clips.back() == clip))
        rec.clips.push_back(clip);
    return static_cast<std::uint32_t>(rec.clips.size() - 1);
}

point to_page(long long x, long long y)
{
    const GrContext& ctx = twgr::current_context();
    return {static_cast<int>(x + ctx.gc_xoffset), static_cast<int>(y + ctx.gc_yoffset)};
}

// Counts a mark while the marks are drawn; false when it is beyond the limit, its shapes then dropped: from there
// on the marks are counted only, and become an image of the plot area when they end.
bool keep_mark(GrRecording& rec)
{
    if (!rec.in_marks)
        return true;
    if (++rec.mark_count <= rec.mark_limit)
        return true;
    if (rec.shapes.size() > rec.marks_start) {
        rec.shapes.resize(rec.marks_start);
        rec.points.resize(rec.marks_points_start);
    }
    return false;
}

// A plain fill over the whole page hides everything before it (a page cleared for a new drawing).
void forget_hidden(GrRecording& rec, const shape& s)
{
    if (s.kind != shape_kind::fill_rect || rec.in_marks || s.a.x > 0 || s.a.y > 0 || s.b.x < rec.width - 1 ||
        s.b.y < rec.height - 1)
        return;
    rec.shapes.clear();
    rec.points.clear();
    rec.texts.clear();
    rec.images.clear();
}

void add_shape(GrRecording& rec, const shape& s)
{
    forget_hidden(rec, s);
    rec.shapes.push_back(s);
}

shape make_shape(GrRecording& rec, shape_kind kind, GrColor c, point a, point b)
{
    return shape{kind, rgb_of(c), clip_index(rec), a, b, 0, 0};
}

// A pixel that continues the run of dots before it (same colour and clip, the same step along a row or column).
bool extends_dots(GrRecording& rec, point p, GrColor c)
{
    if (rec.shapes.empty() || (rec.in_marks && rec.shapes.size() <= rec.marks_start))
        return false;
    shape& last = rec.shapes.back();
    if (last.kind != shape_kind::dots || !(last.color == rgb_of(c)) || last.clip != clip_index(rec))
        return false;
    if (last.count == 1) {
        const int dx = p.x - last.a.x, dy = p.y - last.a.y;
        if ((dx != 0) == (dy != 0))
            return false;
        last.b = {dx, dy};
    } else if (p.x != last.a.x + last.b.x * static_cast<int>(last.count) ||
               p.y != last.a.y + last.b.y * static_cast<int>(last.count)) {
        return false;
    }
    ++last.count;
    return true;
}

// The Unicode character a font code shows: from the font's own table, or code page 437 for the others.
char32_t unicode_of(const GrFont* font, std::uint16_t code)
{
    if (font->unicode != nullptr) {
        for (std::uint32_t i = 0; i < font->unicodecount; ++i)
            if (font->unicode[i].code == code)
                return font->unicode[i].codepoint;
        return U'?';
    }
    if (code >= 0x20 && code < 0x7F)
        return code;
    if (code >= 0x80 && code < 0x100)
        return cp437_upper[code - 0x80];
    return U'?';
}

bool meets(const pixel_rect& r, int x1, int y1, int x2, int y2)
{
    return x2 >= r.x1 && x1 <= r.x2 && y2 >= r.y1 && y1 <= r.y2;
}

// Whether any pixel the shape paints may lie in r (a box by its edges, the others by their bounding boxes).
bool paints_into(const GrRecording& rec, const shape& s, const pixel_rect& r)
{
    switch (s.kind) {
    case shape_kind::box:
        return meets(r, s.a.x, s.a.y, s.b.x, s.a.y) || meets(r, s.a.x, s.b.y, s.b.x, s.b.y) ||
               meets(r, s.a.x, s.a.y, s.a.x, s.b.y) || meets(r, s.b.x, s.a.y, s.b.x, s.b.y);
    case shape_kind::ellipse:
    case shape_kind::filled_ellipse:
        return meets(r, s.a.x - s.b.x, s.a.y - s.b.y, s.a.x + s.b.x, s.a.y + s.b.y);
    case shape_kind::dots: {
        const int n = static_cast<int>(s.count) - 1;
        const int lx = s.a.x + s.b.x * n, ly = s.a.y + s.b.y * n;
        return meets(r, std::min(s.a.x, lx), std::min(s.a.y, ly), std::max(s.a.x, lx), std::max(s.a.y, ly));
    }
    case shape_kind::polygon:
    case shape_kind::filled_polygon:
        for (std::uint32_t i = 0; i < s.count; ++i) {
            const point p = rec.points[s.first + i];
            if (meets(r, p.x, p.y, p.x, p.y))
                return true;
        }
        return s.count > 2; // a polygon around the rectangle may still cross it
    default:
        return meets(r, std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y), std::max(s.a.x, s.b.x), std::max(s.a.y, s.b.y));
    }
}

// The marks drawn over the limit: the current context (the plot area) as the raster page holds it now.
void capture_image(GrRecording& rec)
{
    const GrContext& ctx = twgr::current_context();
    embedded_image image;
    image.place = {ctx.gc_xoffset, ctx.gc_yoffset, ctx.gc_xoffset + ctx.gc_xmax, ctx.gc_yoffset + ctx.gc_ymax};
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&bytes, &size);
    if (memory == nullptr) {
        rec.failed = true;
        return;
    }
    const int result = twgr::write_current_png(memory, nullptr);
    const bool closed = std::fclose(memory) == 0;
    const std::unique_ptr<char, decltype(&std::free)> owned(bytes, &std::free);
    if (result != 0 || !closed) {
        rec.failed = true;
        return;
    }
    image.png.assign(bytes, bytes + size);
    // What was drawn under the image inside it (the grid) is hidden by it.
    std::erase_if(rec.shapes, [&](const shape& s) { return image.place.contains(rec.clips[s.clip]); });
    // The image goes right above the last shape it covers, so that renderers that widen an image by a fraction of
    // a pixel at its edges still show the frame around it on top.
    image.after = rec.shapes.size();
    while (image.after > 0 && !paints_into(rec, rec.shapes[image.after - 1], image.place))
        --image.after;
    rec.images.push_back(std::move(image));
}

} // namespace

namespace
{

void record_plot_now(int x, int y, GrColor c)
{
    GrRecording* rec = recording_here();
    if (rec == nullptr || draws_nothing(c) || !reaches_clip(x, y, x, y) || !keep_mark(*rec))
        return;
    const point p = to_page(x, y);
    if (!extends_dots(*rec, p, c))
        add_shape(*rec, shape{shape_kind::dots, rgb_of(c), clip_index(*rec), p, {0, 0}, 0, 1});
}

void record_line_now(int x1, int y1, int x2, int y2, GrColor c)
{
    GrRecording* rec = recording_here();
    if (rec == nullptr || draws_nothing(c) || !reaches_clip(x1, y1, x2, y2) || !keep_mark(*rec))
        return;
    add_shape(*rec, make_shape(*rec, shape_kind::line, c, to_page(x1, y1), to_page(x2, y2)));
}

void record_box_now(int x1, int y1, int x2, int y2, GrColor c, bool filled)
{
    GrRecording* rec = recording_here();
    if (rec == nullptr || draws_nothing(c) || !reaches_clip(x1, y1, x2, y2) || !keep_mark(*rec))
        return;
    const point a = to_page(std::min(x1, x2), std::min(y1, y2)), b = to_page(std::max(x1, x2), std::max(y1, y2));
    add_shape(*rec, make_shape(*rec, filled ? shape_kind::fill_rect : shape_kind::box, c, a, b));
}

void record_ellipse_now(int xc, int yc, int xa, int ya, GrColor c, bool filled)
{
    GrRecording* rec = recording_here();
    const long long a = std::llabs(xa), b = std::llabs(ya);
    if (rec == nullptr || draws_nothing(c) || !reaches_clip(xc - a, yc - b, xc + a, yc + b) || !keep_mark(*rec))
        return;
    const point centre = to_page(xc, yc);
    const point axes{static_cast<int>(std::min<long long>(a, INT32_MAX)),
                     static_cast<int>(std::min<long long>(b, INT32_MAX))};
    add_shape(*rec, make_shape(*rec, filled ? shape_kind::filled_ellipse : shape_kind::ellipse, c, centre, axes));
}

void record_polygon_now(int n, const int pts[][2], GrColor c, bool filled)
{
    GrRecording* rec = recording_here();
    if (rec == nullptr || n < 1 || draws_nothing(c))
        return;
    long long x1 = pts[0][0], y1 = pts[0][1], x2 = x1, y2 = y1;
    for (int i = 1; i < n; ++i) {
        x1 = std::min<long long>(x1, pts[i][0]);
        x2 = std::max<long long>(x2, pts[i][0]);
        y1 = std::min<long long>(y1, pts[i][1]);
        y2 = std::max<long long>(y2, pts[i][1]);
    }
    if (!reaches_clip(x1, y1, x2, y2) || !keep_mark(*rec))
        return;
    shape s = make_shape(*rec, filled ? shape_kind::filled_polygon : shape_kind::polygon, c, {}, {});
    s.first = static_cast<std::uint32_t>(rec->points.size());
    s.count = static_cast<std::uint32_t>(n);
    for (int i = 0; i < n; ++i)
        rec->points.push_back(to_page(pts[i][0], pts[i][1]));
    add_shape(*rec, s);
}

void record_text_now(const std::vector<std::uint16_t>& codes, int x, int y, int w, int h, const GrTextOption* opt)
{
    GrRecording* rec = recording_here();
    const GrColor fg = opt->txo_chrtype == 2 ? GrNOCOLOR : opt->txo_fgcolor.v & ~0x10000000U;
    if (rec == nullptr || draws_nothing(fg) || !reaches_clip(x, y, x + w - 1, y + h - 1) || !keep_mark(*rec))
        return;
    text_item t;
    for (const std::uint16_t code : codes)
        t.chars.push_back(unicode_of(opt->txo_font, code));
    const point at = to_page(x, y);
    t.box_x = at.x;
    t.box_y = at.y;
    t.box_w = w;
    t.box_h = h;
    t.direction = opt->txo_direct & 3;
    t.font_height = static_cast<int>(opt->txo_font->h.height);
    t.baseline = static_cast<int>(opt->txo_font->h.baseline);
    t.has_background = !draws_nothing(opt->txo_bgcolor.v);
    t.background = rgb_of(opt->txo_bgcolor.v);
    shape s = make_shape(*rec, shape_kind::text, fg, at, {at.x + w - 1, at.y + h - 1});
    s.first = static_cast<std::uint32_t>(rec->texts.size());
    rec->texts.push_back(std::move(t));
    add_shape(*rec, s);
}

// A recording that cannot grow is marked failed, so that saving it fails; the drawing itself goes on.
template <class Body> void keeping(Body&& body) noexcept
{
    try {
        body();
    } catch (const std::exception&) {
        if (twgr::active_recording != nullptr)
            twgr::active_recording->failed = true;
    }
}

} // namespace

void twgr::record_plot(int x, int y, GrColor c)
{
    keeping([&] { record_plot_now(x, y, c); });
}

void twgr::record_line(int x1, int y1, int x2, int y2, GrColor c)
{
    keeping([&] { record_line_now(x1, y1, x2, y2, c); });
}

void twgr::record_box(int x1, int y1, int x2, int y2, GrColor c, bool filled)
{
    keeping([&] { record_box_now(x1, y1, x2, y2, c, filled); });
}

void twgr::record_ellipse(int xc, int yc, int xa, int ya, GrColor c, bool filled)
{
    keeping([&] { record_ellipse_now(xc, yc, xa, ya, c, filled); });
}

void twgr::record_polygon(int n, const int pts[][2], GrColor c, bool filled)
{
    keeping([&] { record_polygon_now(n, pts, c, filled); });
}

void twgr::record_text(const std::vector<std::uint16_t>& codes, int x, int y, int w, int h, const GrTextOption* opt)
{
    keeping([&] { record_text_now(codes, x, y, w, h, opt); });
}

GrRecording* GrCreateRecording(int mark_limit)
{
    return twgr::result_or<GrRecording*>(nullptr, [&] {
        auto rec = std::make_unique<GrRecording>();
        rec->mark_limit = std::max(mark_limit, 0);
        return rec.release(); // owned by the caller until GrDestroyRecording
    });
}

void GrDestroyRecording(GrRecording* rec)
{
    if (twgr::active_recording == rec)
        twgr::active_recording = nullptr;
    const std::unique_ptr<GrRecording> owned(rec);
}

void GrSetRecording(GrRecording* rec)
{
    if (twgr::active_recording != nullptr && twgr::active_recording->in_marks)
        GrRecordMarks(0);
    twgr::active_recording = rec;
    if (rec == nullptr)
        return;
    const GrContext& page = twgr::context_info.screen;
    const int limit = rec->mark_limit;
    *rec = GrRecording{};
    rec->mark_limit = limit;
    rec->width = page.gc_xmax + 1;
    rec->height = page.gc_ymax + 1;
    rec->frame_base = page.gc_frame.gf_baseaddr[0];
}

void GrRecordMarks(int on)
{
    GrRecording* rec = twgr::active_recording;
    if (rec == nullptr || rec->in_marks == (on != 0))
        return;
    if (on != 0) {
        rec->in_marks = true;
        rec->marks_start = rec->shapes.size();
        rec->marks_points_start = rec->points.size();
        rec->mark_count = 0;
        return;
    }
    rec->in_marks = false;
    if (rec->mark_count > rec->mark_limit && recording_here() == rec)
        keeping([&] { capture_image(*rec); });
}

int GrRecordedMarks(const GrRecording* rec)
{
    return rec == nullptr ? 0 : static_cast<int>(std::min<long long>(rec->mark_count, INT32_MAX));
}
