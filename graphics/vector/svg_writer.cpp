// The SVG writer of a recording: one element per shape in page coordinates (pixel centres at half pixels, strokes
// one pixel wide), texts as <text> stretched to their bitmap boxes, the marks' image as an embedded PNG.
#include "vector/vector_writers.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace
{

using namespace twgr::vector;

// Shapes up to this many are written one after the other; the writer reserves room for them.
constexpr std::size_t bytes_per_shape = 64;
constexpr double monospace_advance = 0.6;

// A pixel coordinate, or the centre of the pixel (x + 0.5), as the shortest text.
std::string num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

std::string centre(int v)
{
    return num(v + 0.5);
}

std::string colour(const rgb& c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

bool xml_char(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c < 0xD800) || (c >= 0xE000 && c < 0xFFFE) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void append_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Characters as XML text: markup characters escaped, those XML cannot hold as '?'.
std::string xml_text(const std::u32string& chars)
{
    std::string out;
    for (const char32_t c : chars) {
        switch (c) {
        case U'&':
            out += "&amp;";
            break;
        case U'<':
            out += "&lt;";
            break;
        case U'>':
            out += "&gt;";
            break;
        case U'"':
            out += "&quot;";
            break;
        default:
            append_utf8(out, xml_char(c) ? c : U'?');
        }
    }
    return out;
}

std::string base64(const std::vector<unsigned char>& bytes)
{
    static constexpr char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (n > 1)
            v |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        if (n > 2)
            v |= bytes[i + 2];
        out += digits[(v >> 18) & 63];
        out += digits[(v >> 12) & 63];
        out += n > 1 ? digits[(v >> 6) & 63] : '=';
        out += n > 2 ? digits[v & 63] : '=';
    }
    return out;
}

std::string rect_element(int x, int y, int w, int h, const rgb& fill)
{
    return "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) +
           "\" fill=\"" + colour(fill) + "\" shape-rendering=\"crispEdges\"/>\n";
}

// A line through pixel centres; both end pixels covered by the square caps.
std::string line_element(point a, point b, const rgb& c)
{
    if (a.x == b.x && a.y == b.y)
        return rect_element(a.x, a.y, 1, 1, c);
    const bool straight = a.x == b.x || a.y == b.y;
    return "<line x1=\"" + centre(a.x) + "\" y1=\"" + centre(a.y) + "\" x2=\"" + centre(b.x) + "\" y2=\"" +
           centre(b.y) + "\" stroke=\"" + colour(c) + "\" stroke-linecap=\"square\"" +
           (straight ? " shape-rendering=\"crispEdges\"" : "") + "/>\n";
}

std::string box_element(point a, point b, const rgb& c)
{
    return "<path d=\"M" + centre(a.x) + " " + centre(a.y) + "H" + centre(b.x) + "V" + centre(b.y) + "H" + centre(a.x) +
           "Z\" fill=\"none\" stroke=\"" + colour(c) +
           "\" stroke-linecap=\"square\" shape-rendering=\"crispEdges\"/>\n";
}

// Pixels a step apart along a row or column: a dashed line of one-pixel dashes.
std::string dots_element(const shape& s)
{
    if (s.count == 1)
        return rect_element(s.a.x, s.a.y, 1, 1, s.color);
    const int n = static_cast<int>(s.count) - 1;
    const point last{s.a.x + s.b.x * n, s.a.y + s.b.y * n};
    const point from{std::min(s.a.x, last.x), std::min(s.a.y, last.y)};
    const point to{std::max(s.a.x, last.x), std::max(s.a.y, last.y)};
    const int step = std::abs(s.b.x + s.b.y);
    const bool row = s.b.y == 0;
    const std::string dashes = step > 1 ? " stroke-dasharray=\"1 " + num(step - 1) + "\"" : "";
    const std::string x1 = row ? num(from.x) : centre(from.x), y1 = row ? centre(from.y) : num(from.y);
    const std::string x2 = row ? num(to.x + 1) : centre(to.x), y2 = row ? centre(to.y) : num(to.y + 1);
    return "<line x1=\"" + x1 + "\" y1=\"" + y1 + "\" x2=\"" + x2 + "\" y2=\"" + y2 + "\" stroke=\"" + colour(s.color) +
           "\"" + dashes + " shape-rendering=\"crispEdges\"/>\n";
}

// An outline through the pixel centres at the half-axes; a fill reaching the outer edge of those pixels. A flat
// ellipse is the line the raster draws for it.
std::string ellipse_element(const shape& s, bool filled)
{
    if (s.b.x == 0 || s.b.y == 0)
        return line_element({s.a.x - s.b.x, s.a.y - s.b.y}, {s.a.x + s.b.x, s.a.y + s.b.y}, s.color);
    const double grow = filled ? 0.5 : 0.0;
    const std::string paint =
        filled ? "fill=\"" + colour(s.color) + "\"" : "fill=\"none\" stroke=\"" + colour(s.color) + "\"";
    const std::string at = "cx=\"" + centre(s.a.x) + "\" cy=\"" + centre(s.a.y) + "\" ";
    if (s.b.x == s.b.y)
        return "<circle " + at + "r=\"" + num(s.b.x + grow) + "\" " + paint + "/>\n";
    return "<ellipse " + at + "rx=\"" + num(s.b.x + grow) + "\" ry=\"" + num(s.b.y + grow) + "\" " + paint + "/>\n";
}

std::string polygon_element(const GrRecording& rec, const shape& s, bool filled)
{
    std::string pts;
    for (std::uint32_t i = 0; i < s.count; ++i) {
        const point p = rec.points[s.first + i];
        if (i > 0)
            pts += ' ';
        pts += centre(p.x);
        pts += ',';
        pts += centre(p.y);
    }
    // A fill covers the pixels of its edges too, as the raster fill does.
    const std::string fill = filled ? colour(s.color) : "none";
    return "<polygon points=\"" + pts + "\" fill=\"" + fill + "\" stroke=\"" + colour(s.color) +
           "\" stroke-linejoin=\"round\"/>\n";
}

std::string text_element(const text_item& t, const rgb& c)
{
    std::string out;
    if (t.has_background)
        out += rect_element(t.box_x, t.box_y, t.box_w, t.box_h, t.background);
    if (t.chars.empty())
        return out;
    const text_frame f = frame_of(t);
    // Monospace faces advance 0.6 em: the text is squeezed to the bitmap font's cells by a scale, which renderers
    // without textLength follow too; textLength, in the scaled units, only trims what the face differs by.
    const double squeeze = f.length / (monospace_advance * t.font_height * static_cast<double>(t.chars.size()));
    out += "<text transform=\"translate(" + num(f.x) + " " + num(f.y) + ")";
    if (f.angle != 0)
        out += " rotate(" + num(f.angle) + ")";
    out += " scale(" + num(squeeze) + " 1)\" font-size=\"" + num(t.font_height) + "\" textLength=\"" +
           num(f.length / squeeze) + "\" lengthAdjust=\"spacingAndGlyphs\" fill=\"" + colour(c) + "\">" +
           xml_text(t.chars) + "</text>\n";
    return out;
}

std::string shape_element(const GrRecording& rec, const shape& s)
{
    switch (s.kind) {
    case shape_kind::fill_rect:
        return rect_element(s.a.x, s.a.y, s.b.x - s.a.x + 1, s.b.y - s.a.y + 1, s.color);
    case shape_kind::box:
        return box_element(s.a, s.b, s.color);
    case shape_kind::line:
        return line_element(s.a, s.b, s.color);
    case shape_kind::dots:
        return dots_element(s);
    case shape_kind::ellipse:
    case shape_kind::filled_ellipse:
        return ellipse_element(s, s.kind == shape_kind::filled_ellipse);
    case shape_kind::polygon:
    case shape_kind::filled_polygon:
        return polygon_element(rec, s, s.kind == shape_kind::filled_polygon);
    case shape_kind::text:
        return text_element(rec.texts[s.first], s.color);
    }
    return {};
}

std::string image_element(const embedded_image& image)
{
    const pixel_rect& p = image.place;
    return "<image x=\"" + num(p.x1) + "\" y=\"" + num(p.y1) + "\" width=\"" + num(p.x2 - p.x1 + 1) + "\" height=\"" +
           num(p.y2 - p.y1 + 1) + "\" preserveAspectRatio=\"none\" image-rendering=\"optimizeSpeed\" " +
           "xlink:href=\"data:image/png;base64," + base64(image.png) + "\"/>\n";
}

// Writes the shapes in order, each run under one clip box inside a group clipped to it (the whole page needs none).
class svg_body
{
public:
    explicit svg_body(const GrRecording& rec) : rec_(rec) {}

    std::string write()
    {
        out_.reserve(rec_.shapes.size() * bytes_per_shape);
        std::size_t next_image = 0;
        for (std::size_t i = 0; i <= rec_.shapes.size(); ++i) {
            for (; next_image < rec_.images.size() && rec_.images[next_image].after == i; ++next_image) {
                leave_clip();
                out_ += image_element(rec_.images[next_image]);
            }
            if (i == rec_.shapes.size())
                break;
            const shape& s = rec_.shapes[i];
            enter_clip(rec_.clips[s.clip]);
            out_ += shape_element(rec_, s);
        }
        leave_clip();
        return std::move(out_);
    }

private:
    bool whole_page(const pixel_rect& r) const { return r.contains({0, 0, rec_.width - 1, rec_.height - 1}); }

    void enter_clip(const pixel_rect& r)
    {
        if (open_ && r == current_)
            return;
        leave_clip();
        if (whole_page(r))
            return;
        auto [at, added] = ids_.try_emplace({r.x1, r.y1, r.x2, r.y2}, ids_.size());
        const std::string id = "clip" + std::to_string(at->second);
        if (added)
            out_ += "<clipPath id=\"" + id + "\"><rect x=\"" + num(r.x1) + "\" y=\"" + num(r.y1) + "\" width=\"" +
                    num(r.x2 - r.x1 + 1) + "\" height=\"" + num(r.y2 - r.y1 + 1) + "\"/></clipPath>\n";
        out_ += "<g clip-path=\"url(#" + id + ")\">\n";
        open_ = true;
        current_ = r;
    }

    void leave_clip()
    {
        if (open_)
            out_ += "</g>\n";
        open_ = false;
    }

    const GrRecording& rec_;
    std::string out_;
    bool open_ = false;
    pixel_rect current_;
    std::map<std::array<int, 4>, std::size_t> ids_;
};

// The page's size for a viewer: pixels, or with another scale than a point per pixel, points.
std::string page_size(const GrRecording& rec, double points_per_pixel)
{
    if (points_per_pixel == 1.0)
        return "width=\"" + num(rec.width) + "\" height=\"" + num(rec.height) + "\"";
    return "width=\"" + num(rec.width * points_per_pixel) + "pt\" height=\"" + num(rec.height * points_per_pixel) +
           "pt\"";
}

} // namespace

std::optional<std::string> twgr::vector::svg_document(const GrRecording& rec, const char* comment,
                                                      double points_per_pixel)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                      "version=\"1.1\" " +
                      page_size(rec, points_per_pixel) + " viewBox=\"0 0 " + num(rec.width) + " " + num(rec.height) +
                      "\">\n";
    if (comment != nullptr)
        out += "<desc>" + xml_text(decode_text(comment)) + "</desc>\n";
    out += "<g font-family=\"monospace\" xml:space=\"preserve\">\n";
    out += svg_body(rec).write();
    out += "</g>\n</svg>\n";
    return out;
}
